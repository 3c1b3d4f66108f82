#include "shared/ScrollScaling.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tonewell {
namespace {

// The fraction of the whole record at the centre of the view for a time bar.
double CentreFraction(ScrollRange bar) {
    const int m = TimeMultiplierOf(bar.maximum);
    return (static_cast<double>(bar.position) / bar.maximum * (m - 1) + 0.5) / m;
}

TEST(RescaleTimeScroll, KeepsTheCentreInstantAcrossZooms) {
    ScrollRange bar{0, TimeScrollMaximum(1)};
    EXPECT_EQ(bar.maximum, 10);
    bar = RescaleTimeScroll(bar, 10);
    EXPECT_EQ(bar, (ScrollRange{450, 900}));  // the middle of ten screens
    EXPECT_DOUBLE_EQ(CentreFraction(bar), 0.5);

    bar.position = 100;  // one screen from the start: centre at 0.15 of the record
    const double centre = CentreFraction(bar);
    bar = RescaleTimeScroll(bar, 100);
    EXPECT_EQ(bar.maximum, 9900);
    EXPECT_NEAR(CentreFraction(bar), centre, 1.0 / 9900);
    bar = RescaleTimeScroll(bar, 5);
    EXPECT_EQ(bar, (ScrollRange{25, 400}));
    EXPECT_NEAR(CentreFraction(bar), centre, 1e-9);
    EXPECT_EQ(RescaleTimeScroll(bar, 1), (ScrollRange{0, 10}));
}

TEST(RescaleTimeScroll, ClampsACentreTooNearAnEndAndIgnoresTheSameMultiplier) {
    // Centre at the very end of ten screens cannot stay centred at x2.
    EXPECT_EQ(RescaleTimeScroll({900, 900}, 2), (ScrollRange{100, 100}));
    EXPECT_EQ(RescaleTimeScroll({0, 900}, 2), (ScrollRange{0, 100}));
    EXPECT_EQ(RescaleTimeScroll({333, 900}, 10), (ScrollRange{333, 900}));
}

TEST(RescaleValueScroll, KeepsTheSameValueAtTheSameHeight) {
    // x1, half a screen up (position 150 of 200) -> x2: one whole screen up at the new scale.
    EXPECT_EQ(RescaleValueScroll({150, 200}, 2), (ScrollRange{250, 300}));
    EXPECT_EQ(RescaleValueScroll({250, 300}, 1), (ScrollRange{150, 200}));
    // From "Off" the offset starts in the middle; to "Off" it goes back there.
    EXPECT_EQ(RescaleValueScroll({50, 100}, 5), (ScrollRange{300, 600}));
    EXPECT_EQ(RescaleValueScroll({600, 600}, 0), (ScrollRange{50, 100}));
    // Zooming out shrinks the offset: 5.5 screens at x10 are 0.55 screens at x1.
    EXPECT_EQ(RescaleValueScroll({1100, 1100}, 1), (ScrollRange{155, 200}));
    // (-0.55 screens is not exact in binary: the truncated position is 44.)
    EXPECT_EQ(RescaleValueScroll({0, 1100}, 1), (ScrollRange{44, 200}));
    // Zooming in past the new ends is clamped.
    EXPECT_EQ(RescaleValueScroll({200, 200}, 10), (ScrollRange{1100, 1100}));
    EXPECT_EQ(RescaleValueScroll({0, 200}, 10), (ScrollRange{0, 1100}));
    EXPECT_EQ(RescaleValueScroll({123, 300}, 2), (ScrollRange{123, 300}));
}

struct WidenCase {
    int current;
    int full;  // where the thumb really is
};

class WidenThumb : public ::testing::TestWithParam<WidenCase> {};

TEST_P(WidenThumb, RebuildsTheFullPositionFromSixteenBits) {
    const WidenCase& c = GetParam();
    EXPECT_EQ(WidenThumbPosition(c.current, static_cast<std::int16_t>(c.full)), c.full);
}

INSTANTIATE_TEST_SUITE_P(
    AcrossTheBands, WidenThumb,
    ::testing::Values(WidenCase{0, 100}, WidenCase{30000, 32767}, WidenCase{30000, 40000}, WidenCase{40000, 30000},
                      WidenCase{40000, 50000}, WidenCase{50000, 40000}, WidenCase{50000, 65535},
                      WidenCase{60000, 70000}, WidenCase{70000, 60000}, WidenCase{80000, 90000},
                      WidenCase{85000, 99900}, WidenCase{99000, 90000}, WidenCase{99900, 98304},
                      WidenCase{98304, 65537}));

TEST(WidenThumb, FollowsADragInSmallStepsAcrossTheWholeX1000Bar) {
    int position = 0;
    for (int target = 0; target <= 99900; target += 7000) {
        position = *WidenThumbPosition(position, static_cast<std::int16_t>(target));
        ASSERT_EQ(position, target);
    }
    for (int target = 99900; target >= 0; target -= 11000) {
        position = *WidenThumbPosition(position, static_cast<std::int16_t>(target));
        ASSERT_EQ(position, target);
    }
}

TEST(WidenThumb, APositionBeyondTheBandsCannotBeRebuilt) {
    EXPECT_FALSE(WidenThumbPosition(131072, 5).has_value());
    EXPECT_FALSE(WidenThumbPosition(-1, 5).has_value());
}

}  // namespace
}  // namespace tonewell
