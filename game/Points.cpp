#include "Points.h"

#include <zelvra/core/EventStep.h>

Points::Points() {
  setLocation(zv::TOP_RIGHT);
  setViewString("Points");
  setColor(zv::YELLOW);
  registerInterest(zv::STEP_EVENT);
}

int Points::eventHandler(const zv::Event* p_e) {
  if (zv::ViewObject::eventHandler(p_e) != 0)
    return 1;
  if (p_e->getType() == zv::STEP_EVENT) {
    if (static_cast<const zv::EventStep*>(p_e)->getStepCount() % 30 == 0)
      setValue(getValue() + 1);
    return 1;
  }
  return 0;
}
