#include <zelvra/effects/Particles.h>

#include <new>

#include <zelvra/core/LogManager.h>
#include <zelvra/core/Random.h>
#include <zelvra/effects/Firework.h>
#include <zelvra/effects/Particle.h>

namespace zv {

namespace {

// value ± spread/2, drawn uniformly.
float spreadAround(float value, float spread) { return value + randomFraction() * spread - spread * 0.5f; }

// x truncated toward zero; a scale too large for a count gives none.
int whole(float x) {
  if (!(x > -1e9f && x < 1e9f))
    return 0;
  return static_cast<int>(x);
}

unsigned char clampChannel(int value) {
  if (value < 0)
    return 0;
  if (value > 255)
    return 255;
  return static_cast<unsigned char>(value);
}

} // namespace

int addParticles(int count, int, Vector position, float position_spread, Vector direction, float direction_spread,
                 float size, float size_spread, float speed, float speed_spread, int age, int age_spread,
                 unsigned char opacity, signed char opacity_spread, unsigned char r, unsigned char g,
                 unsigned char b, unsigned char color_spread, ParticleKind kind) {
  if (count < 1)
    return 0;
  LogManager& log = LogManager::getInstance();
  for (int i = 0; i < count; i++) {
    // Eight-bit arithmetic on purpose: a spread around 255 wraps to faint.
    unsigned char p_opacity = opacity;
    if (opacity_spread != 0)
      p_opacity = static_cast<unsigned char>(opacity + randomNumber() % opacity_spread - opacity_spread / 2);

    int p_age = age;
    if (age_spread != 0)
      p_age = age + randomNumber() % age_spread - age_spread / 2;

    float p_size = size;
    if (size_spread != 0)
      p_size = spreadAround(size, size_spread);

    // One offset for all channels keeps the hue; a channel at 0 stays 0.
    unsigned char p_r = r, p_g = g, p_b = b;
    if (color_spread != 0) {
      int d = randomNumber() % color_spread - color_spread / 2;
      if (p_r != 0)
        p_r = clampChannel(p_r + d);
      if (p_g != 0)
        p_g = clampChannel(p_g + d);
      if (p_b != 0)
        p_b = clampChannel(p_b + d);
    }

    Particle* p_particle = nullptr;
    switch (kind) {
      case PARTICLE:
        p_particle = new (std::nothrow) Particle(p_size, p_age, p_opacity, p_r, p_g, p_b);
        break;
      case FIREWORK:
        p_particle = new (std::nothrow) Firework(p_size, p_age, p_opacity, p_r, p_g, p_b);
        break;
      default:
        log.writeLog("addParticles(): Type %d not defined.", static_cast<int>(kind));
        return -1;
    }
    if (!p_particle) {
      log.writeLog("addParticles(): Error!  Unable to create new Particle!");
      return -1;
    }

    Vector p_direction = direction;
    if (direction == Vector(0, 0)) {
      int x1 = randomNumber();
      int x2 = randomNumber();
      int y1 = randomNumber();
      int y2 = randomNumber();
      p_direction = Vector(static_cast<float>(x1 - x2) / RANDOM_MAX, static_cast<float>(y1 - y2) / RANDOM_MAX);
    } else if (direction_spread != 0) {
      float x = spreadAround(direction.getX(), direction_spread);
      float y = spreadAround(direction.getY(), direction_spread);
      p_direction = Vector(x, y);
    }
    p_direction.normalize();

    float p_speed = speed;
    if (speed_spread != 0)
      p_speed = spreadAround(speed, speed_spread);
    Vector velocity = p_direction;
    velocity.scale(p_speed);

    Vector p_position = position;
    if (position_spread != 0) {
      float x = spreadAround(position.getX(), position_spread);
      float y = spreadAround(position.getY(), position_spread);
      p_position = Vector(x, y);
    }

    p_particle->setPosition(p_position);
    p_particle->setVelocity(velocity);
  }
  return 0;
}

void addParticles(ParticlePreset preset, Vector position, float scale, Color color) {
  const float s = scale;
  int count = 0, count_spread = 0, age = 0, age_spread = 0;
  Vector direction;
  float direction_spread = 0, size = 0, size_spread = 0, speed = 0, speed_spread = 0;
  unsigned char opacity = 255, r = 0, g = 0, b = 0, color_spread = 0;
  signed char opacity_spread = 75;
  ParticleKind kind = PARTICLE;
  switch (preset) {
    case PUFF:
      count = whole(20 * s);
      direction = Vector(0, -1);
      direction_spread = 0.15f * s;
      size = 5 * s / 1.5f;
      size_spread = 0.15f * s;
      speed = 0.2f;
      speed_spread = 0.05f;
      age = whole(20 * s);
      age_spread = whole(5 * s);
      opacity = 128;
      opacity_spread = 50;
      r = g = b = 128;
      color_spread = 50;
      break;
    case BURST:
      count = whole(50 * s);
      count_spread = whole(20 * s);
      size = 1.5f * s;
      speed = (0.25f * s + 1) * 0.08f;
      speed_spread = speed;
      age = whole(15 * s);
      age_spread = whole(15 * s);
      r = 255;
      g = 69;
      break;
    case SPRAY:
      count = whole(50 * s);
      size = 2.5f * s;
      speed = (0.25f * s + 1) * 0.08f;
      age = whole(10 * s);
      r = 255;
      g = 20;
      b = 147;
      break;
    case FIREWORKS:
      count = whole(4 * s);
      count_spread = whole(5 * s);
      direction = Vector(0, -1);
      direction_spread = 1.5f;
      size = 2 * s;
      speed = (s / 3 + 1) * 0.1f;
      speed_spread = speed;
      age = whole(20 * s);
      age_spread = whole(20 * s);
      r = 255;
      g = 69;
      color_spread = 255;
      kind = FIREWORK;
      break;
    default:
      break;  // count 0: nothing
  }
  colorToRGB(color, r, g, b);
  addParticles(count, count_spread, position, 0, direction, direction_spread, size, size_spread, speed,
               speed_spread, age, age_spread, opacity, opacity_spread, r, g, b, color_spread, kind);
}

} // namespace zv
