#include "StartMenu.h"

#include "Points.h"
#include "Racer.h"
#include "Spawner.h"
#include <zelvra/core/GameManager.h>
#include <zelvra/display/EventKeyboard.h>

StartMenu::StartMenu() {
  setType("Start Menu");
  setSprite("start");
  setLocation(zv::CENTER_CENTER);
  registerInterest(zv::KEYBOARD_EVENT);
}

int StartMenu::eventHandler(const zv::Event* p_e) {
  if (p_e->getType() != zv::KEYBOARD_EVENT)
    return 0;
  auto p_key = static_cast<const zv::EventKeyboard*>(p_e);
  if (p_key->getKey() == zv::SPACE) {
    new Points;
    Spawner& spawner = Spawner::getInstance();
    spawner.setActive(true);
    Racer* p_racer = new Racer;
    spawner.startRun(p_racer);
    setActive(false);
  } else if (p_key->getKey() == zv::Q) {
    zv::GameManager::getInstance().setGameOver(true);
  }
  return 1;
}

int StartMenu::draw() { return zv::Object::draw(); }
