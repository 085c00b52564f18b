// The player's car: stays near the left edge and moves up and down.
#ifndef GAME_RACER_H
#define GAME_RACER_H

#include <zelvra/world/Object.h>

class Fuel;

class Racer : public zv::Object {
 private:
  int move_slowdown;
  int move_countdown;
  Fuel* p_fuel;

 public:
  Racer();
  ~Racer() override;
  int eventHandler(const zv::Event* p_e) override;
  // One vertical move attempt: at most one every move_slowdown steps.
  void move(int dy);
  Fuel* getFuel() const;
  int getMoveCountdown() const;
};

#endif
