// The engine's random numbers: the C library's generator (seeded at start-up),
// folded into 0..RANDOM_MAX. Effects and game are tuned for draws of at most
// 32767; glibc's rand() reaches 2^31 - 1, so every draw goes through here.
#ifndef ZV_RANDOM_H
#define ZV_RANDOM_H

namespace zv {

const int RANDOM_MAX = 32767;

// 0 to RANDOM_MAX inclusive, one rand() call.
int randomNumber();
// randomNumber() / RANDOM_MAX: 0 to 1 inclusive.
float randomFraction();

} // namespace zv

#endif
