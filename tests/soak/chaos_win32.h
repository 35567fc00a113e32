#pragma once
// The chaos mode of the soak: remote presses interleaved at random with everything a user and
// the system do meanwhile, replayable from its seed.

#include <cstdint>

// Runs `steps` steps chosen from `seed`; the process exit code: 0 when no input was left down
// and every press that had to arrive arrived exactly once.
int RunChaos(uint32_t seed, long steps);
