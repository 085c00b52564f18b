// The racing game's entry: start the engine, run the game loop, stop.
#include "core/GameManager.h"
#include "core/LogManager.h"

int main(int, char*[]) {
  zv::GameManager& game_manager = zv::GameManager::getInstance();
  if (game_manager.startUp() != 0) {
    zv::LogManager::getInstance().writeLog("Error starting game manager!");
    game_manager.shutDown();
    return 1;
  }
  zv::LogManager::getInstance().setFlush(true);
  game_manager.run();
  game_manager.shutDown();
  return 0;
}
