#include "FrameCounter.h"

#include <zelvra/zelvra.h>

FrameCounter::FrameCounter(int new_limit) : limit(new_limit) {
  setLocation(zv::TOP_RIGHT);
  setViewString("Frames");
  setColor(zv::YELLOW);
  registerInterest(zv::STEP_EVENT);
}

int FrameCounter::eventHandler(const zv::Event* p_e) {
  if (p_e->getType() != zv::STEP_EVENT)
    return ViewObject::eventHandler(p_e);
  setValue(getValue() + 1);
  if (limit > 0 && getValue() == limit) {
    zv::LogManager::getInstance().writeLog("FrameCounter: %d frames done.", getValue());
    zv::GameManager::getInstance().setGameOver();
  }
  return 1;
}
