#pragma once

// The C library's documented generator, reproduced so that the animation is the same on every
// platform: state = state * 214013 + 2531011, result = bits 16..30 of the new state. The state
// is per thread and starts at 1, like the runtime's own.

constexpr int RAND_LIMIT = 32768; // results lie in 0 .. RAND_LIMIT - 1

// Seeds the calling thread's generator.
void SeedRandom(unsigned int nSeed);

// The next value of the calling thread's generator, 0 .. 32767.
int Random();
