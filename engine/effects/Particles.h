// Batches of particles around a position, with sizes, lifetimes, colours,
// directions and speeds drawn at random around given values.
#ifndef ZV_PARTICLES_H
#define ZV_PARTICLES_H

#include <zelvra/core/Color.h>
#include <zelvra/core/Vector.h>

namespace zv {

enum ParticleKind : int {
  PARTICLE = 0,
  FIREWORK,
};

enum ParticlePreset : int {
  PUFF = 0,
  BURST,
  SPRAY,
  FIREWORKS,
};

// Makes exactly count particles (count_spread has no effect). Sizes in
// pixels, positions in world cells, speeds in cells per step, ages in steps.
// A direction of (0, 0) means a random one. 0, or -1 (logged) for an
// unknown kind or a failed creation; particles already made stay.
int addParticles(int count, int count_spread, Vector position, float position_spread, Vector direction,
                 float direction_spread, float size, float size_spread, float speed, float speed_spread, int age,
                 int age_spread, unsigned char opacity, signed char opacity_spread, unsigned char r,
                 unsigned char g, unsigned char b, unsigned char color_spread, ParticleKind kind);

// One of the preset effects at a scale; a named colour replaces the
// preset's own, CUSTOM keeps it.
void addParticles(ParticlePreset preset, Vector position, float scale, Color color);

} // namespace zv

#endif
