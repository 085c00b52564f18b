// The road's obstacles and the gas can.
#ifndef GAME_OBSTACLES_H
#define GAME_OBSTACLES_H

#include "RoadObstacle.h"

// Takes 10 fuel, then honks and shows knocked-over cones.
class Cones : public RoadObstacle {
 public:
  Cones();
  void hit() override;
};

// Takes 20 fuel, then screeches and shows a smeared slick.
class OilSlick : public RoadObstacle {
 public:
  OilSlick();
  void hit() override;
};

// Takes 40 fuel, then pops and shows a sprung trap.
class Spiketrap : public RoadObstacle {
 public:
  Spiketrap();
  void hit() override;
};

// Gives 50 fuel and disappears.
class Gas : public RoadObstacle {
 public:
  Gas();
  void hit() override;
};

#endif
