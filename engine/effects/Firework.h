// A particle that falls a little faster every step and leaves a trail of
// smaller particles behind it.
#ifndef ZV_FIREWORK_H
#define ZV_FIREWORK_H

#include <zelvra/effects/Particle.h>

namespace zv {

class Firework : public Particle {
 private:
  unsigned char red, green, blue;
  int lifetime;  // the age it was created with
  float size;    // the size it was created with

 public:
  Firework(float size, int age, unsigned char opacity, unsigned char r, unsigned char g, unsigned char b);
  ~Firework() override;

  // As a particle; every step event also drops a trail particle where it
  // is: half the size, a quarter of the lifetime, fully opaque.
  int eventHandler(const Event* p_e) override;
};

} // namespace zv

#endif
