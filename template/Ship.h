// The player's ship: drifts to the right, comes back in on the left when it
// leaves the screen, and steers with the arrow keys or W/A/S/D. Q quits.
#ifndef SHIP_H
#define SHIP_H

#include <zelvra/world/Object.h>

class Ship : public zv::Object {
 public:
  Ship();
  int eventHandler(const zv::Event* p_e) override;
};

#endif
