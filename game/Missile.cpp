#include "Missile.h"

#include "Spawner.h"
#include <zelvra/world/WorldManager.h>

Missile::Missile() : warning_countdown(60) {
  setSprite("warning");
  setType("Warning");
  setBaseSpeed(0.0f);
  setDamage(50);
  setAltitude(zv::MAX_ALTITUDE);
}

Missile::~Missile() {
  // The next warning comes a while after this missile is gone; at shut-down
  // the spawner may already be deleted.
  Spawner* p_spawner = Spawner::existing();
  if (p_spawner)
    p_spawner->missileGone();
}

int Missile::eventHandler(const zv::Event* p_e) {
  if (p_e->getType() == zv::STEP_EVENT) {
    if (warning_countdown >= 1) {
      warning_countdown--;
    } else if (warning_countdown == 0) {
      warning_countdown = -1;
      setSprite("missile");
      setType("Obstacle");
      setBaseSpeed(-1.0f);
      setAltitude(2);
      zv::WorldManager::getInstance().moveObject(this, getPosition() + zv::Vector(29, 0));
    }
  }
  RoadObstacle::eventHandler(p_e);
  return 0;
}

void Missile::hit() {
  setDamage(0);
  zv::WorldManager::getInstance().markForDelete(this);
}

int Missile::getWarningCountdown() const { return warning_countdown; }
