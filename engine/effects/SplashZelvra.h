// The splash screen's insect: flies up from below the view to a target
// beside the name, lands, folds its wings and ends the splash.
#ifndef ZV_SPLASH_ZELVRA_H
#define ZV_SPLASH_ZELVRA_H

#include "core/Vector.h"
#include "world/Object.h"

namespace zv {

class Sprite;

class SplashZelvra : public Object {
 private:
  Vector target;
  int countdown;
  Sprite* p_sprite;

 public:
  explicit SplashZelvra(Vector init_target);
  ~SplashZelvra() override;
  int eventHandler(const Event* p_e) override;
};

} // namespace zv

#endif
