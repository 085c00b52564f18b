// The engine's start-up title: the name slides in from the right, switches
// to upright lettering and calls in the insect. Any key ends the splash.
#ifndef ZV_SPLASH_H
#define ZV_SPLASH_H

#include <zelvra/effects/SplashObject.h>

namespace zv {

// Runs the splash in the game loop until it ends; -1 when the engine is not started.
int splash();

class Splash : public SplashObject {
 private:
  int countdown;

 protected:
  int step() override;

 public:
  Splash();
};

} // namespace zv

#endif
