// A short-lived, non-colliding object drawn as a small coloured shape. It
// counts its lifetime down one per step and then removes itself.
#ifndef ZV_PARTICLE_H
#define ZV_PARTICLE_H

#include <string>

#include <zelvra/world/Object.h>

namespace zv {

class Particle : public Object {
 private:
  int age;  // steps left to live

 public:
  // size in pixels, age in steps, the colour and opacity of the shape.
  Particle(float size, int age, unsigned char opacity, unsigned char r, unsigned char g, unsigned char b);
  ~Particle() override;

  int getAge() const;
  // Step: one step older, deleted once no life is left. Leaving the world
  // deletes it too. Both answer 1; anything else 0.
  int eventHandler(const Event* p_e) override;
  // Particles are not meant to travel: both warn and defer to the object.
  std::string serialize(std::string attributes = "") override;
  int deserialize(std::string text) override;
};

} // namespace zv

#endif
