// The racing game's entry: the engine's splash, then the start menu and as
// many runs as the player wants until Q at the menu. Installed, it runs
// from any working directory.
#include "GameResources.h"
#include "StartMenu.h"
#include <zelvra/core/GameManager.h>
#include <zelvra/core/InstalledData.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/effects/Splash.h>

int main(int, char*[]) {
  zv::InstalledData::getInstance().use("zelvra");
  zv::GameManager& game_manager = zv::GameManager::getInstance();
  if (game_manager.startUp() != 0) {
    zv::LogManager::getInstance().writeLog("Error starting game manager!");
    game_manager.shutDown();
    return 1;
  }
  zv::LogManager::getInstance().setFlush(true);
  zv::splash();
  loadResources();
  new StartMenu;
  game_manager.run();
  game_manager.shutDown();
  return 0;
}
