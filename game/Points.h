// Points gauge: one point for every 30 steps survived.
#ifndef GAME_POINTS_H
#define GAME_POINTS_H

#include <zelvra/display/ViewObject.h>

class Points : public zv::ViewObject {
 public:
  Points();
  int eventHandler(const zv::Event* p_e) override;
};

#endif
