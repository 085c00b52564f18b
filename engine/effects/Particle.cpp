#include <zelvra/effects/Particle.h>

#include <zelvra/core/LogManager.h>
#include <zelvra/display/Shape.h>
#include <zelvra/world/WorldManager.h>

namespace zv {

namespace {
// Built on first use (its default size needs the display's cells) and
// reused, so a particle only copies it.
Shape& templateShape() {
  static Shape shape;
  return shape;
}
} // namespace

Particle::Particle(float size, int new_age, unsigned char opacity, unsigned char r, unsigned char g,
                   unsigned char b) {
  setSolidness(SPECTRAL);
  setType("Particle");
  setAltitude(3);
  age = new_age;
  // Particles are too many and too brief to use up object ids.
  setId(0);
  releaseLastId();
  Shape& shape = templateShape();
  shape.setColor(r, g, b);
  shape.setType(CIRCLE);
  shape.setSize(size);
  shape.setOpacity(opacity);
  setShape(shape);
  registerInterest(STEP_EVENT);
}

Particle::~Particle() {}

int Particle::getAge() const { return age; }

int Particle::eventHandler(const Event* p_e) {
  if (p_e->getType() == STEP_EVENT) {
    age--;
    if (age > 0)
      return 1;
    WorldManager::getInstance().markForDelete(this);
    return 1;
  }
  if (p_e->getType() == OUT_EVENT) {
    WorldManager::getInstance().markForDelete(this);
    return 1;
  }
  return 0;
}

std::string Particle::serialize(std::string attributes) {
  LogManager::getInstance().writeLog(1, "Particle::serialize(): Warning!  Particles attributes are not serialized");
  return Object::serialize(attributes);
}

int Particle::deserialize(std::string text) {
  LogManager::getInstance().writeLog(1, "Particle::deserialize(): Warning! Cannot deserialize particles.");
  return Object::deserialize(text);
}

} // namespace zv
