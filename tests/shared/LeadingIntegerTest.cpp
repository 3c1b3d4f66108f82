#include "shared/LeadingInteger.h"

#include <gtest/gtest.h>

namespace tonewell {
namespace {

struct Reading {
    std::string_view text;
    std::int32_t value;
};

class LeadingIntegerReading : public ::testing::TestWithParam<Reading> {};

TEST_P(LeadingIntegerReading, ReadsTheNumberTheTextStartsWith) {
    EXPECT_EQ(LeadingInteger(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, LeadingIntegerReading,
                         ::testing::Values(Reading{"25%", 25}, Reading{"-100%", -100}, Reading{"  +7", 7},
                                           Reading{"441", 441}, Reading{"", 0}, Reading{"abc", 0},
                                           Reading{"-", 0}, Reading{"12 34", 12}, Reading{"1e3", 1},
                                           Reading{"2147483647", 2147483647},
                                           Reading{"2147483648", 2147483647},
                                           Reading{"-2147483648", -2147483647 - 1},
                                           Reading{"-99999999999999999999999", -2147483647 - 1}));

}  // namespace
}  // namespace tonewell
