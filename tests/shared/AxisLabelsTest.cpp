#include "shared/AxisLabels.h"

#include <gtest/gtest.h>

namespace tonewell {
namespace {

struct StepCase {
    int spanMantissa;
    int prefixIndex;
    int multiplier;
    AxisLabelStep expected;
};

class AxisLabelStepTable : public ::testing::TestWithParam<StepCase> {};

TEST_P(AxisLabelStepTable, DividesTheSpanOrDropsToTheNextSmallerUnit) {
    const StepCase& c = GetParam();
    EXPECT_EQ(AxisLabelStepFor(c.spanMantissa, c.prefixIndex, c.multiplier), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, AxisLabelStepTable,
    ::testing::Values(
        // "10ms" x1: step 10, one trailing zero leaves one decimal.
        StepCase{10, 3, 1, {10, 3, 1, 0}},
        // "100ms" x1: two trailing zeros, no decimals.
        StepCase{100, 3, 1, {100, 3, 0, 0}},
        // "±1v" (span 2) with multiplier "Off" counts as x1.
        StepCase{2, 4, 0, {2, 4, 2, 0}},
        // "±1v" x5: 2/5 is not whole, so millivolts: 2000/5 = 400.
        StepCase{2, 4, 5, {400, 3, 0, 1}},
        // "±20mv" x5: 40/5 = 8, whole.
        StepCase{40, 3, 5, {8, 3, 2, 0}},
        // "±20mv" x10: 40/10 = 4.
        StepCase{40, 3, 10, {4, 3, 2, 0}},
        // "1ms" x2: 1/2 -> 1000/2 = 500 us, at most two decimals dropped.
        StepCase{1, 3, 2, {500, 2, 0, 1}},
        // "500s" x1000: 500/1000 is 0 -> 500000/1000 = 500 ms.
        StepCase{500, 4, 1000, {500, 3, 0, 1}},
        // "20ms" x50 -> 20000/50 = 400 us.
        StepCase{20, 3, 50, {400, 2, 0, 1}}));

struct LabelCase {
    long long hundredths;
    int decimals;
    const char* text;
};

class AxisLabelText : public ::testing::TestWithParam<LabelCase> {};

TEST_P(AxisLabelText, PutsThePointBeforeTheLastTwoDigits) {
    EXPECT_EQ(FormatAxisLabel(GetParam().hundredths, GetParam().decimals), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, AxisLabelText,
                         ::testing::Values(LabelCase{1000, 1, "10.0"}, LabelCase{500, 1, "5.0"}, LabelCase{0, 1, "0.0"},
                                           LabelCase{0, 2, "0.00"}, LabelCase{0, 0, "0"}, LabelCase{100, 2, "1.00"},
                                           LabelCase{-100, 2, "-1.00"}, LabelCase{5, 2, "0.05"},
                                           LabelCase{-5, 2, "-0.05"}, LabelCase{5000, 0, "50"},
                                           LabelCase{-20000, 0, "-200"}, LabelCase{123456, 2, "1234.56"}));

TEST(HorizontalLabelHundredths, CountsFromTheLeftEndOrFromTheMiddleOfASymmetricAxis) {
    // "50kH" x1: 0, 25 and 50 kHz.
    const AxisLabelStep kilohertz = AxisLabelStepFor(50, 5, 1);
    EXPECT_EQ(HorizontalLabelHundredths(kilohertz, 0, 0, 1, false), 0);
    EXPECT_EQ(HorizontalLabelHundredths(kilohertz, 0, 5, 1, false), 2500);
    EXPECT_EQ(HorizontalLabelHundredths(kilohertz, 0, 10, 1, false), 5000);
    // "±20ms" x1 (span 40): -20, 0 and 20 ms.
    const AxisLabelStep lag = AxisLabelStepFor(40, 3, 1);
    EXPECT_EQ(HorizontalLabelHundredths(lag, 0, 0, 1, true), -2000);
    EXPECT_EQ(HorizontalLabelHundredths(lag, 0, 5, 1, true), 0);
    EXPECT_EQ(HorizontalLabelHundredths(lag, 0, 10, 1, true), 2000);
    // x1000 scrolled to the end: the right label is the end of the whole axis, in microseconds.
    const AxisLabelStep fine = AxisLabelStepFor(40, 3, 1000);
    EXPECT_EQ(HorizontalLabelHundredths(fine, 99900, 10, 1000, true), 2000000);
    EXPECT_EQ(HorizontalLabelHundredths(fine, 99900, 0, 1000, true), 1996000);
}

TEST(VerticalLabelHundredths, PutsZeroOnTheBottomOrInTheMiddle) {
    // "1v" x1 with the bar centred: 1, 0.5 and 0 V.
    const AxisLabelStep volt = AxisLabelStepFor(1, 4, 1);
    EXPECT_EQ(VerticalLabelHundredths(volt, 100, 200, 0, 1, false), 100);
    EXPECT_EQ(VerticalLabelHundredths(volt, 100, 200, 5, 1, false), 50);
    EXPECT_EQ(VerticalLabelHundredths(volt, 100, 200, 10, 1, false), 0);
    // Multiplier "Off" counts as x1 (bar of 100 centred).
    EXPECT_EQ(VerticalLabelHundredths(volt, 50, 100, 0, 0, false), 100);
    // x2 centred shows the middle half: 750 to 250 mV; at the bottom of the bar 1000 to 500.
    const AxisLabelStep half = AxisLabelStepFor(1, 4, 2);
    EXPECT_EQ(VerticalLabelHundredths(half, 150, 300, 0, 2, false), 75000);
    EXPECT_EQ(VerticalLabelHundredths(half, 150, 300, 10, 2, false), 25000);
    // The bar at its top shows up to 1.5 V, beyond the range (such labels are left out).
    EXPECT_EQ(VerticalLabelHundredths(half, 0, 300, 0, 2, false), 150000);
    // "±180" x1: 180, 0, -180; and the oscilloscope's "±1v" x5 scrolled down a screen.
    const AxisLabelStep degrees = AxisLabelStepFor(360, 4, 1);
    EXPECT_EQ(VerticalLabelHundredths(degrees, 100, 200, 0, 1, true), 18000);
    EXPECT_EQ(VerticalLabelHundredths(degrees, 100, 200, 5, 1, true), 0);
    EXPECT_EQ(VerticalLabelHundredths(degrees, 100, 200, 10, 1, true), -18000);
    const AxisLabelStep fine = AxisLabelStepFor(2, 4, 5);
    EXPECT_EQ(VerticalLabelHundredths(fine, 400, 600, 0, 5, true), (300 - 400 + 50) * 400);
}

TEST(AxisLabelWithinRange, ComparesInTheRangesUnit) {
    // "±20mv": 20 mV is 2000 hundredths.
    EXPECT_TRUE(AxisLabelWithinRange(2000, 0, 20));
    EXPECT_TRUE(AxisLabelWithinRange(-2000, 0, 20));
    EXPECT_FALSE(AxisLabelWithinRange(2001, 0, 20));
    EXPECT_FALSE(AxisLabelWithinRange(-4000, 0, 20));
    // "±1v" in millivolt labels: 100000 hundredths of a mV are 1 V.
    EXPECT_TRUE(AxisLabelWithinRange(100000, 1, 1));
    EXPECT_FALSE(AxisLabelWithinRange(100400, 1, 1));
}

TEST(AxisCaption, DropsBlanksSoNoPrefixLeavesTheBareUnit) {
    EXPECT_EQ(AxisCaption("A(", UnitPrefixLetter(4), "V)"), "A(V)");
    EXPECT_EQ(AxisCaption("A+B(", UnitPrefixLetter(3), "V)"), "A+B(mV)");
    EXPECT_EQ(AxisCaption("", UnitPrefixLetter(2), "s"), "us");
    EXPECT_EQ(AxisCaption("", UnitPrefixLetter(4), "s"), "s");
    EXPECT_EQ(UnitPrefixLetter(7), '?');
}

}  // namespace
}  // namespace tonewell
