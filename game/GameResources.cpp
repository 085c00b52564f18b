#include "GameResources.h"

#include <zelvra/resources/ResourceManager.h>

namespace {
struct Entry {
  const char* label;
  const char* file;
};

const Entry SPRITES[] = {
    {"car", "sprites/racer-spr.txt"},
    {"spiketrap", "sprites/spiketrap-spr.txt"},
    {"spiketrapHit", "sprites/spiketrap-hit-spr.txt"},
    {"cones", "sprites/cones-spr.txt"},
    {"conesHit", "sprites/cones-hit-spr.txt"},
    {"gas", "sprites/gas-spr.txt"},
    {"oil", "sprites/oil-spr.txt"},
    {"oilHit", "sprites/oil-hit-spr.txt"},
    {"warning", "sprites/warning-spr.txt"},
    {"missile", "sprites/missile-spr.txt"},
    {"start", "sprites/start-spr.txt"},
    {"gameover", "sprites/gameOver-spr.txt"},
};

const Entry SOUNDS[] = {
    {"honk", "sounds/Honk.wav"},
    {"pop", "sounds/TirePop.wav"},
    {"screech", "sounds/TireScreech.wav"},
};
} // namespace

void loadResources() {
  zv::ResourceManager& rm = zv::ResourceManager::getInstance();
  for (const Entry& e : SPRITES)
    rm.loadSprite(e.file, e.label);
  for (const Entry& e : SOUNDS)
    rm.loadSound(e.file, e.label);
}
