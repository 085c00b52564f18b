#include "GameOver.h"

#include "Spawner.h"
#include <zelvra/resources/Sprite.h>
#include <zelvra/world/ObjectListIterator.h>
#include <zelvra/world/WorldManager.h>

GameOver::GameOver() : time_to_live(0) {
  setType("Game Over");
  if (setSprite("gameover") == 0) {
    zv::Sprite* p_sprite = getAnimation().getSprite();
    time_to_live = p_sprite->getSlowdown() * p_sprite->getFrameCount() * 3;
  }
  Spawner* p_spawner = Spawner::existing();
  if (p_spawner)
    p_spawner->setActive(false);
  setLocation(zv::CENTER_CENTER);
  registerInterest(zv::STEP_EVENT);
}

GameOver::~GameOver() {
  zv::WorldManager& world = zv::WorldManager::getInstance();
  // At shut-down the world deletes everything itself.
  if (!world.isStarted())
    return;
  zv::ObjectList all = world.getAllObjects(true);
  zv::ObjectListIterator li(&all);
  for (li.first(); !li.isDone(); li.next()) {
    zv::Object* p_o = li.currentObject();
    if (p_o->getType() == "Obstacle" || p_o->getType() == "ViewObject")
      world.markForDelete(p_o);
    if (p_o->getType() == "Start Menu")
      p_o->setActive(true);
  }
}

int GameOver::eventHandler(const zv::Event* p_e) {
  if (p_e->getType() == zv::STEP_EVENT) {
    time_to_live--;
    if (time_to_live <= 0)
      zv::WorldManager::getInstance().markForDelete(this);
  }
  return 0;
}

int GameOver::draw() { return zv::Object::draw(); }

int GameOver::getTimeToLive() const { return time_to_live; }
