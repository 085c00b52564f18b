// The splash screen's insect: flies up from below the view to a target
// beside the name, lands, folds its wings and ends the splash.
#ifndef ZV_SPLASH_ZELVRA_H
#define ZV_SPLASH_ZELVRA_H

#include <zelvra/core/Vector.h>
#include <zelvra/effects/SplashObject.h>

namespace zv {

class SplashZelvra : public SplashObject {
 private:
  Vector target;
  int countdown;

 protected:
  int step() override;

 public:
  explicit SplashZelvra(Vector init_target);
};

} // namespace zv

#endif
