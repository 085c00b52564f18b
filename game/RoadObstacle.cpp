#include "RoadObstacle.h"

#include <zelvra/core/Random.h>

#include "Fuel.h"
#include "Racer.h"
#include "Spawner.h"
#include <zelvra/world/EventCollision.h>
#include <zelvra/world/WorldManager.h>

RoadObstacle::RoadObstacle() : base_speed(0.0f), damage(0) {
  setSolidness(zv::SOFT);
  registerInterest(zv::STEP_EVENT);
}

int RoadObstacle::eventHandler(const zv::Event* p_e) {
  if (p_e->getType() == zv::STEP_EVENT) {
    setVelocity(zv::Vector(Spawner::getInstance().getRoadSpeed() * base_speed, 0));
    return 0;
  }
  if (p_e->getType() == zv::OUT_EVENT) {
    // Only leaving on the left ends an obstacle; it enters from the right.
    if (getPosition().getX() < 0)
      zv::WorldManager::getInstance().markForDelete(this);
    return 0;
  }
  if (p_e->getType() == zv::COLLISION_EVENT) {
    auto p_c = static_cast<const zv::EventCollision*>(p_e);
    zv::Object* p_other = nullptr;
    if (p_c->getObject1()->getType() == "Racer")
      p_other = p_c->getObject1();
    else if (p_c->getObject2()->getType() == "Racer")
      p_other = p_c->getObject2();
    Racer* p_racer = dynamic_cast<Racer*>(p_other);
    if (p_racer && p_racer->getFuel()) {
      Fuel* p_fuel = p_racer->getFuel();
      int value = p_fuel->getValue() - damage;
      p_fuel->setValue(value > 100 ? 100 : value);
      if (damage != 0)
        hit();
    }
    return 1;
  }
  return 0;
}

void RoadObstacle::moveToStart() {
  zv::WorldManager& world = zv::WorldManager::getInstance();
  zv::Box boundary = world.getBoundary();
  float w = boundary.getHorizontal();
  float v = boundary.getVertical();
  // Rows 7 to V - 4; a world too low for that range gets row 7.
  int rows = static_cast<int>(v - 10);
  float y = rows > 0 ? static_cast<float>(zv::randomNumber() % rows + 7) : 7.0f;
  zv::Vector where(w + 3, y);
  if (!world.getCollisions(this, where).isEmpty())
    where.setY(v - y);
  world.moveObject(this, where);
}

void RoadObstacle::hit() { zv::WorldManager::getInstance().markForDelete(this); }

float RoadObstacle::getBaseSpeed() const { return base_speed; }
void RoadObstacle::setBaseSpeed(float new_base_speed) { base_speed = new_base_speed; }
int RoadObstacle::getDamage() const { return damage; }
void RoadObstacle::setDamage(int new_damage) { damage = new_damage; }
