// Everything the racer meets on the road: enters beyond the right edge,
// scrolls left at the road speed, changes the racer's fuel on contact.
#ifndef GAME_ROAD_OBSTACLE_H
#define GAME_ROAD_OBSTACLE_H

#include <zelvra/world/Object.h>

class RoadObstacle : public zv::Object {
 private:
  float base_speed;  // before the road speed factor; negative is leftwards
  int damage;        // fuel taken on a hit; negative gives fuel

 public:
  RoadObstacle();
  int eventHandler(const zv::Event* p_e) override;
  // Places a new obstacle just beyond the right edge on a random road row.
  void moveToStart();
  // The reaction to touching the racer; the base one removes the obstacle.
  virtual void hit();

  float getBaseSpeed() const;
  void setBaseSpeed(float new_base_speed);
  int getDamage() const;
  void setDamage(int new_damage);
};

#endif
