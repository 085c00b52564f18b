// First a warning at the right edge in the racer's row, then a missile that
// flies along that row at twice the road's speed.
#ifndef GAME_MISSILE_H
#define GAME_MISSILE_H

#include "RoadObstacle.h"

class Missile : public RoadObstacle {
 private:
  int warning_countdown;  // steps the warning still shows; -1 once launched

 public:
  Missile();
  ~Missile() override;
  int eventHandler(const zv::Event* p_e) override;
  void hit() override;
  int getWarningCountdown() const;
};

#endif
