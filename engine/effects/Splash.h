// The engine's start-up title: the name slides in from the right, switches
// to upright lettering and calls in the insect. Any key ends the splash.
#ifndef ZV_SPLASH_H
#define ZV_SPLASH_H

#include <string>

#include "world/Object.h"

namespace zv {

class Sprite;

// Runs the splash in the game loop until it ends; -1 when the engine is not started.
int splash();

// The rows of a picture drawn in code, joined into one frame string.
std::string joinRows(const char* const* rows, int height);

class Splash : public Object {
 private:
  int countdown;
  Sprite* p_sprite;

 public:
  Splash();
  ~Splash() override;
  int eventHandler(const Event* p_e) override;
};

} // namespace zv

#endif
