#include "Ship.h"

#include <zelvra/zelvra.h>

Ship::Ship() {
  setType("Ship");
  setSprite("ship");
  float height = zv::WorldManager::getInstance().getBoundary().getVertical();
  setPosition(zv::Vector(10, height / 2));
  setVelocity(zv::Vector(0.5f, 0));
  registerInterest(zv::KEYBOARD_EVENT);
}

int Ship::eventHandler(const zv::Event* p_e) {
  if (p_e->getType() == zv::OUT_EVENT) {
    // Past the right edge: back in on the left, in the same row.
    setPosition(zv::Vector(0, getPosition().getY()));
    return 1;
  }
  if (p_e->getType() != zv::KEYBOARD_EVENT)
    return Object::eventHandler(p_e);
  auto p_key = static_cast<const zv::EventKeyboard*>(p_e);
  if (p_key->getAction() == zv::KEYBOARD_RELEASED)
    return 0;
  zv::Vector step;
  switch (p_key->getKey()) {
    case zv::Q:
      zv::GameManager::getInstance().setGameOver();
      return 1;
    case zv::UP:
    case zv::W:
      step = zv::Vector(0, -1);
      break;
    case zv::DOWN:
    case zv::S:
      step = zv::Vector(0, 1);
      break;
    case zv::LEFT:
    case zv::A:
      step = zv::Vector(-1, 0);
      break;
    case zv::RIGHT:
    case zv::D:
      step = zv::Vector(1, 0);
      break;
    default:
      return 0;
  }
  zv::WorldManager::getInstance().moveObject(this, getPosition() + step);
  return 1;
}
