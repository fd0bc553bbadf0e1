#include "math/random.hpp"

#include <gtest/gtest.h>

namespace zelm {
namespace {

TEST(Random, DefaultStateGivesTheKnownSequence) {
    EXPECT_EQ(random_source.state, 1u);
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int value : expected) {
        EXPECT_EQ(random_next(), value);
    }
}

TEST(Random, SeedOneRestartsTheSequence) {
    for (int i = 0; i < 100; ++i) {
        random_next();
    }
    random_seed(1);
    EXPECT_EQ(random_next(), 41);
    EXPECT_EQ(random_next(), 18467);
}

TEST(Random, ValuesStayWithinFifteenBitsAcrossManySeeds) {
    for (std::uint32_t seed : {0u, 0xFFFFFFFFu, 0x80000000u, 12345u}) {
        random_seed(seed);
        for (int i = 0; i < 100000; ++i) {
            const int v = random_next();
            ASSERT_GE(v, 0);
            ASSERT_LE(v, 32767);
        }
    }
}

TEST(Random, StateWrapsModuloTwoToTheThirtySecond) {
    random_seed(0xFFFFFFFFu);
    random_next();
    EXPECT_EQ(random_source.state, 0xFFFFFFFFu * 214013u + 2531011u);
}

}  // namespace
}  // namespace zelm
