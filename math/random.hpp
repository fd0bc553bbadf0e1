// The process-wide random source: a fixed linear congruential rule, so a seed always gives
// the same sequence. The mesh's heights and the particle emitters draw from it.
#pragma once

#include <cstdint>

namespace zelm {

struct RandomSource {
    std::uint32_t state;
};

// 1 at process start.
extern RandomSource random_source;

// Makes value the whole state.
void random_seed(std::uint32_t value);

// Advances the state and returns 0 to 32767.
int random_next();

}  // namespace zelm
