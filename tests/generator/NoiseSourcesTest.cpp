#include "generator/ClassicRandom.h"
#include "generator/PinkNoise.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace tonewell {
namespace {

TEST(ClassicRandom, SeedOneGivesTheTargetSequence) {
    ClassicRandom random(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int value : expected) EXPECT_EQ(random.next(), value);
}

TEST(ClassicRandom, ReseedingRestartsAndValuesStayInRange) {
    ClassicRandom random(987654321u);
    int first = random.next();
    int largest = 0;
    for (int i = 0; i < 100000; ++i) {
        int v = random.next();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, ClassicRandom::kMax);
        if (v > largest) largest = v;
    }
    EXPECT_GT(largest, 32000);
    random.seed(987654321u);
    EXPECT_EQ(random.next(), first);
}

TEST(PinkNoise, FirstValuesForSeed12345) {
    // Row sums worked out step by step: offset 260046832, rows renewed by trailing zeros of 1..8.
    const std::int32_t sums[] = {4550958, 9188531, 16091505, 14288970, -2796376, -1216374, 7660168, -7842999};
    const float scale = 1.0f / 260046832.0f;
    PinkNoise pink(12345);
    for (std::int32_t sum : sums) EXPECT_EQ(pink.next(), static_cast<float>(sum) * scale);
    // Eight steps draw sixteen values: one row renewal and one white value each.
    EXPECT_EQ(pink.seed(), 3914361289u);
}

TEST(PinkNoise, StaysNearUnitRangeOverALongRun) {
    PinkNoise pink(7);
    float lo = 0, hi = 0;
    for (int i = 0; i < 1 << 20; ++i) {
        float v = pink.next();
        lo = v < lo ? v : lo;
        hi = v > hi ? v : hi;
    }
    EXPECT_GT(lo, -1.01f);
    EXPECT_LT(hi, 1.01f);
    EXPECT_LT(lo, -0.3f);
    EXPECT_GT(hi, 0.3f);
}

}  // namespace
}  // namespace tonewell
