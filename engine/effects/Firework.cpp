#include <zelvra/effects/Firework.h>

#include <new>

namespace zv {

Firework::Firework(float new_size, int new_age, unsigned char new_opacity, unsigned char r, unsigned char g,
                   unsigned char b)
    : Particle(new_size, new_age, new_opacity, r, g, b),
      red(r),
      green(g),
      blue(b),
      lifetime(new_age),
      size(new_size) {
  setType("Firework");
  setAcceleration(Vector(0, 0.01f));
  // A second registration on top of the particle's: two step events a
  // frame, so a firework ages twice as fast and leaves a denser trail.
  registerInterest(STEP_EVENT);
}

Firework::~Firework() {}

int Firework::eventHandler(const Event* p_e) {
  int result = Particle::eventHandler(p_e);
  if (p_e->getType() != STEP_EVENT)
    return result;
  Particle* p_trail = new (std::nothrow) Particle(size / 2, lifetime / 4, 255, red, green, blue);
  if (p_trail)
    p_trail->setPosition(getPosition());
  return 1;
}

} // namespace zv
