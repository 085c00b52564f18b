// Fuel gauge: drains one unit every 15 steps; obstacles change it directly.
#ifndef GAME_FUEL_H
#define GAME_FUEL_H

#include <zelvra/display/ViewObject.h>

class Fuel : public zv::ViewObject {
 public:
  Fuel();
  int eventHandler(const zv::Event* p_e) override;
};

#endif
