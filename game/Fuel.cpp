#include "Fuel.h"

#include <zelvra/core/EventStep.h>

Fuel::Fuel() {
  setLocation(zv::TOP_LEFT);
  setViewString("Fuel");
  setColor(zv::RED);
  setValue(100);
  registerInterest(zv::STEP_EVENT);
}

int Fuel::eventHandler(const zv::Event* p_e) {
  if (zv::ViewObject::eventHandler(p_e) != 0)
    return 1;
  if (p_e->getType() == zv::STEP_EVENT) {
    if (static_cast<const zv::EventStep*>(p_e)->getStepCount() % 15 == 0)
      setValue(getValue() - 1);
    return 1;
  }
  return 0;
}
