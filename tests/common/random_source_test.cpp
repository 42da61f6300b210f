#include "common/random_source.h"

#include <gtest/gtest.h>

#include <array>

using lumaro::RandomSource;

TEST(RandomSource, SameSeedSameSequenceAndValuesStayInRange)
{
    RandomSource a(42), b(42), c(43);
    bool differs = false;
    std::array<int, 7> seen {};
    for (int i = 0; i < 7000; ++i) {
        const int x = a.below(7);
        EXPECT_EQ(x, b.below(7));
        ASSERT_GE(x, 0);
        ASSERT_LT(x, 7);
        ++seen[x];
        differs = differs || x != c.below(7);
        const int y = a.between(-3, 3);
        b.between(-3, 3);
        ASSERT_GE(y, -3);
        ASSERT_LE(y, 3);
    }
    EXPECT_TRUE(differs);
    for (int count : seen)
        EXPECT_GT(count, 800); // about 1000 each
    EXPECT_EQ(a.below(1), 0);
}
