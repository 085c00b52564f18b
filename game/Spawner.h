// The game's director: on every step of a run it may put a gas can, a road
// obstacle or a missile on the road, and it makes the road a little faster.
#ifndef GAME_SPAWNER_H
#define GAME_SPAWNER_H

#include <zelvra/world/Object.h>

class Racer;

class Spawner : public zv::Object {
 private:
  int gas_countdown;
  int obstacle_countdown;
  int missile_countdown;  // negative while a missile is on its way
  int gas_interval;
  int obstacle_interval;
  int missile_interval;
  float road_speed;
  Racer* p_racer;  // missiles are aimed at its row

  Spawner();
  Spawner(const Spawner&) = delete;
  void operator=(const Spawner&) = delete;

 public:
  // Created on first use; the world deletes it at shut-down like any object.
  static Spawner& getInstance();
  // The spawner if it exists, else null (objects ending at shut-down use this).
  static Spawner* existing();
  ~Spawner() override;
  int eventHandler(const zv::Event* p_e) override;

  // A new run: reload the gas and obstacle countdowns, aim at this racer.
  void startRun(Racer* p_new_racer);
  // A missile ended: the next warning comes missile_interval / road speed steps later.
  void missileGone();

  float getRoadSpeed() const;
  int getGasCountdown() const;
  int getObstacleCountdown() const;
  int getMissileCountdown() const;
  Racer* getRacer() const;
};

#endif
