#include "Racer.h"

#include "Fuel.h"
#include "GameOver.h"
#include <zelvra/display/EventKeyboard.h>
#include <zelvra/effects/Particles.h>
#include <zelvra/world/WorldManager.h>

Racer::Racer() : move_slowdown(2), move_countdown(2), p_fuel(nullptr) {
  setSprite("car");
  setAltitude(zv::MAX_ALTITUDE);
  registerInterest(zv::KEYBOARD_EVENT);
  registerInterest(zv::MOUSE_EVENT);
  registerInterest(zv::STEP_EVENT);
  // Registered after the racer, so the racer's step sees the fuel of the
  // previous frame.
  p_fuel = new Fuel;
  setType("Racer");
  float v = zv::WorldManager::getInstance().getBoundary().getVertical();
  setPosition(zv::Vector(10, v / 2));
}

Racer::~Racer() {
  // At shut-down the world is deleting everything: start nothing new.
  if (!zv::WorldManager::getInstance().isStarted())
    return;
  new GameOver;
  zv::Vector here = getPosition();
  zv::addParticles(zv::BURST, here, 2.0f, zv::YELLOW);
  zv::addParticles(zv::BURST, here, 2.0f, zv::YELLOW);
  zv::addParticles(zv::BURST, here, 3.0f, zv::RED);
  zv::addParticles(zv::BURST, here, 3.0f, zv::RED);
}

int Racer::eventHandler(const zv::Event* p_e) {
  if (p_e->getType() == zv::KEYBOARD_EVENT) {
    auto p_key = static_cast<const zv::EventKeyboard*>(p_e);
    if (p_key->getKey() == zv::Q && p_key->getAction() == zv::KEYBOARD_PRESSED)
      zv::WorldManager::getInstance().markForDelete(this);
    else if (p_key->getKey() == zv::S && p_key->getAction() == zv::KEYBOARD_HELD)
      move(+1);
    else if (p_key->getKey() == zv::W && p_key->getAction() == zv::KEYBOARD_HELD)
      move(-1);
    return 1;
  }
  if (p_e->getType() == zv::STEP_EVENT) {
    if (p_fuel->getValue() < 1)
      zv::WorldManager::getInstance().markForDelete(this);
    if (move_countdown > 0)
      move_countdown--;
    return 1;
  }
  return 0;
}

void Racer::move(int dy) {
  if (move_countdown >= 1)
    return;
  move_countdown = move_slowdown;
  zv::WorldManager& world = zv::WorldManager::getInstance();
  zv::Vector target = getPosition() + zv::Vector(0, static_cast<float>(dy));
  float v = world.getBoundary().getVertical();
  if (target.getY() > 3 && target.getY() < v - 2)
    world.moveObject(this, target);
}

Fuel* Racer::getFuel() const { return p_fuel; }
int Racer::getMoveCountdown() const { return move_countdown; }
