// My game: one ship on the screen and a frame counter.
// Usage: mygame [frames]   (with frames, it ends by itself after that many)
#include <cstdlib>

#include <zelvra/zelvra.h>

#include "FrameCounter.h"
#include "Ship.h"

int main(int argc, char* argv[]) {
  int frames = argc > 1 ? atoi(argv[1]) : 0;
  // Installed, the game finds its data; in the build folder, nothing changes.
  zv::InstalledData::getInstance().use("mygame");
  zv::GameManager& game_manager = zv::GameManager::getInstance();
  zv::LogManager& log = zv::LogManager::getInstance();
  if (game_manager.startUp() != 0) {
    log.writeLog("Error starting game manager!");
    game_manager.shutDown();
    return 1;
  }
  log.setFlush(true);
  if (zv::ResourceManager::getInstance().loadSprite("sprites/ship-spr.txt", "ship") != 0) {
    log.writeLog("mygame: Error! The ship's sprite did not load.");
    game_manager.shutDown();
    return 1;
  }
  new Ship;
  new FrameCounter(frames);
  game_manager.run();
  game_manager.shutDown();
  return 0;
}
