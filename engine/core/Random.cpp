#include <zelvra/core/Random.h>

#include <cstdlib>

namespace zv {

// RANDOM_MAX + 1 is a power of two, so the low bits stay uniform.
int randomNumber() { return rand() % (RANDOM_MAX + 1); }

float randomFraction() { return static_cast<float>(randomNumber()) / static_cast<float>(RANDOM_MAX); }

} // namespace zv
