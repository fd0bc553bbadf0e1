#include "math/random.hpp"

namespace zelm {

RandomSource random_source{1};

void random_seed(std::uint32_t value) {
    random_source.state = value;
}

int random_next() {
    random_source.state = random_source.state * 214013u + 2531011u;
    return static_cast<int>((random_source.state >> 16) & 0x7FFFu);
}

}  // namespace zelm
