#include "Spawner.h"

#include <zelvra/core/Random.h>

#include "Missile.h"
#include "Obstacles.h"
#include "Racer.h"
#include <zelvra/world/WorldManager.h>

namespace {
Spawner* p_instance = nullptr;
} // namespace

Spawner::Spawner()
    : gas_countdown(300),
      obstacle_countdown(60),
      missile_countdown(300),
      gas_interval(300),
      obstacle_interval(60),
      missile_interval(300),
      road_speed(1.0f),
      p_racer(nullptr) {
  setType("Spawner");
  registerInterest(zv::STEP_EVENT);
}

Spawner& Spawner::getInstance() {
  if (!p_instance)
    p_instance = new Spawner;
  return *p_instance;
}

Spawner* Spawner::existing() { return p_instance; }

Spawner::~Spawner() {
  if (p_instance == this)
    p_instance = nullptr;
}

int Spawner::eventHandler(const zv::Event* p_e) {
  if (p_e->getType() != zv::STEP_EVENT)
    return 0;
  zv::WorldManager& world = zv::WorldManager::getInstance();

  if (gas_countdown == 0) {
    gas_countdown = gas_interval;
    new Gas;
  }
  gas_countdown--;

  if (obstacle_countdown == 0) {
    switch (zv::randomNumber() % 3) {
      case 0: new Spiketrap; break;
      case 1: new Cones; break;
      default: new OilSlick; break;
    }
    obstacle_countdown = static_cast<int>(static_cast<float>(obstacle_interval) / road_speed);
  }
  obstacle_countdown--;

  if (missile_countdown == 0) {
    Missile* p_missile = new Missile;
    zv::Box boundary = world.getBoundary();
    float y = p_racer ? p_racer->getPosition().getY() : boundary.getVertical() / 2;
    world.moveObject(p_missile, zv::Vector(boundary.getHorizontal() - 6, y));
  }
  missile_countdown--;

  road_speed += 0.00033333333f;
  return 0;
}

void Spawner::startRun(Racer* p_new_racer) {
  gas_countdown = gas_interval;
  obstacle_countdown = obstacle_interval;
  p_racer = p_new_racer;
}

void Spawner::missileGone() {
  missile_countdown = static_cast<int>(static_cast<float>(missile_interval) / road_speed);
}

float Spawner::getRoadSpeed() const { return road_speed; }
int Spawner::getGasCountdown() const { return gas_countdown; }
int Spawner::getObstacleCountdown() const { return obstacle_countdown; }
int Spawner::getMissileCountdown() const { return missile_countdown; }
Racer* Spawner::getRacer() const { return p_racer; }
