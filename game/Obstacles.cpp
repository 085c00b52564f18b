#include "Obstacles.h"

#include <zelvra/resources/ResourceManager.h>
#include <zelvra/resources/Sound.h>
#include <zelvra/world/WorldManager.h>

namespace {
void play(const char* label) {
  zv::Sound* p_sound = zv::ResourceManager::getInstance().getSound(label);
  if (p_sound)
    p_sound->play(false);
}

// Common order: sprite, type, speed, damage, then placement.
void setUp(RoadObstacle* p_o, const char* sprite, const char* type, int damage) {
  p_o->setSprite(sprite);
  p_o->setType(type);
  p_o->setBaseSpeed(-0.5f);
  p_o->setDamage(damage);
}
} // namespace

Cones::Cones() {
  setUp(this, "cones", "Obstacle", 10);
  moveToStart();
}

void Cones::hit() {
  setSprite("conesHit");
  setDamage(0);
  play("honk");
}

OilSlick::OilSlick() {
  setUp(this, "oil", "Obstacle", 20);
  moveToStart();
}

void OilSlick::hit() {
  setSprite("oilHit");
  setDamage(0);
  play("screech");
}

Spiketrap::Spiketrap() {
  setUp(this, "spiketrap", "Obstacle", 40);
  moveToStart();
}

void Spiketrap::hit() {
  setSprite("spiketrapHit");
  setDamage(0);
  play("pop");
}

Gas::Gas() {
  setSprite("gas");
  setType("Gas");
  setAltitude(3);
  setBaseSpeed(-0.5f);
  setDamage(-50);
  moveToStart();
}

void Gas::hit() {
  setDamage(0);
  zv::WorldManager::getInstance().markForDelete(this);
}
