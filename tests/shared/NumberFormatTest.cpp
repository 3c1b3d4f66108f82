#include "shared/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

namespace tonewell {
namespace {

TEST(FormatEngineering, ScalesToThePrefixLetters) {
    EXPECT_EQ(FormatEngineering(0.0123f), "12.300m");
    EXPECT_EQ(FormatEngineering(2500.0f), "2.500k");
    EXPECT_EQ(FormatEngineering(0.0f), "0.000");
    EXPECT_EQ(FormatEngineering(-0.5f), "-500.000m");
    EXPECT_EQ(FormatEngineering(1.0f), "1.000");
    EXPECT_EQ(FormatEngineering(999.0f), "999.000");
    EXPECT_EQ(FormatEngineering(2.5e-9f), "2.500n");
    EXPECT_EQ(FormatEngineering(-3.0e6f), "-3.000M");
}

TEST(FormatEngineering, ValuesBeyondThePrefixesKeepTheOutermostOne) {
    EXPECT_EQ(FormatEngineering(5.0e9f), "5000.000M");
    EXPECT_EQ(FormatEngineering(2.0e-15f), "0.002p");
    EXPECT_EQ(FormatEngineering(std::numeric_limits<float>::infinity()), "infM");
}

TEST(FormatFixed3, PrintsThreeDecimalsWithoutBlanks) {
    EXPECT_EQ(FormatFixed3(0.5f), "0.500");
    EXPECT_EQ(FormatFixed3(-12.3456f), "-12.346");
}

TEST(AppendFixed, GivesTheSameCharactersAsPrintf) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> wide(-2.0, 2.0);
    const double specials[] = {0.0,  -0.0,     1.0,      -1.0,       0.5,       1e-7,  -1e-7,
                               5e-7, 0.0000005, 2.5e-6, 1234567.8125, 1e20, -3.0517578125e-5};
    char expected[512];
    for (int decimals : {0, 3, 6}) {
        for (double v : specials) {
            std::snprintf(expected, sizeof expected, "%.*f", decimals, v);
            std::string out;
            AppendFixed(out, v, decimals);
            EXPECT_EQ(out, expected) << v;
        }
    }
    for (int i = 0; i < 20000; ++i) {
        double v = wide(random);
        if (i % 3 == 0) v = static_cast<float>(v);  // the exports print floats widened to double
        std::snprintf(expected, sizeof expected, "%f", v);
        std::string out;
        AppendFixed(out, v);
        ASSERT_EQ(out, expected) << v;
    }
}

TEST(AppendInteger, GivesTheSameCharactersAsPrintf) {
    for (long long v : {0LL, 7LL, -1LL, 32767LL, -32768LL, 4294967295LL, -9223372036854775807LL}) {
        char expected[32];
        std::snprintf(expected, sizeof expected, "%lld", v);
        std::string out;
        AppendInteger(out, v);
        EXPECT_EQ(out, expected);
    }
}

}  // namespace
}  // namespace tonewell
