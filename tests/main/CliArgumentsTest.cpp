#include "main/CliArguments.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tonewell {
namespace {

const CommandForm kForm{"export",
                        "FILE.wav",
                        "Exports.",
                        {{"output", "FILE", {}, false, "file to write", true},
                         {"type", "A|B", {"A", "B"}, false, "type"},
                         {"quiet", "", {}, false, "say less"},
                         {"set", "F=V", {}, true, "a field"}}};

struct ParseCase {
    std::vector<std::string> words;
    std::string error;  // empty: read without complaint
};

class ParseArgumentsTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseArgumentsTest, RefusesWhatTheFormDoesNotTake) {
    const ParseCase& row = GetParam();
    try {
        Arguments arguments = ParseArguments(kForm, row.words);
        EXPECT_EQ(row.error, "") << "read without complaint";
        EXPECT_EQ(arguments.file, "f.wav");
        EXPECT_EQ(arguments.get("output"), "o.txt");
    } catch (const UsageError& error) {
        EXPECT_EQ(error.text, row.error);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Words, ParseArgumentsTest,
    ::testing::Values(ParseCase{{"f.wav", "--output", "o.txt"}, ""},
                      ParseCase{{"--output=o.txt", "f.wav", "--type", "B"}, ""},
                      ParseCase{{"--output", "o.txt"}, "missing FILE.wav"},
                      ParseCase{{"f.wav"}, "missing --output FILE"},
                      ParseCase{{"f.wav", "--output"}, "--output needs FILE"},
                      ParseCase{{"f.wav", "--output", "o.txt", "--bogus"}, "unknown option --bogus"},
                      ParseCase{{"f.wav", "--output", "o.txt", "--type", "C"},
                                "--type must be one of A, B, not \"C\""},
                      ParseCase{{"f.wav", "--output", "o.txt", "--output", "p.txt"}, "--output given twice"},
                      ParseCase{{"f.wav", "g.wav", "--output", "o.txt"}, "unexpected argument \"g.wav\""},
                      ParseCase{{"f.wav", "--output", "o.txt", "--quiet=1"}, "--quiet takes no value"}));

TEST(CliArguments, RepeatedOptionsKeepTheirOrderAndSwitchesReadAsOne) {
    Arguments arguments =
        ParseArguments(kForm, {"f.wav", "--set", "a=1", "--quiet", "--output", "o.txt", "--set=b=2"});
    EXPECT_EQ(arguments.all("set"), (std::vector<std::string>{"a=1", "b=2"}));
    EXPECT_EQ(arguments.get("quiet"), "1");
    EXPECT_EQ(arguments.get("type"), std::nullopt);
    EXPECT_TRUE(arguments.all("type").empty());
}

TEST(CliArguments, UsageAndHelpNameEveryOption) {
    EXPECT_EQ(UsageLine(kForm), "usage: tonewell-cli export FILE.wav [--output FILE] [--type A|B] [--quiet] [--set F=V]...");
    std::ostringstream help;
    PrintCommandHelp(help, kForm);
    EXPECT_EQ(help.str(), UsageLine(kForm) +
                              "\n\nExports.\n\noptions:\n"
                              "  --output FILE             file to write\n"
                              "  --type A|B                type\n"
                              "  --quiet                   say less\n"
                              "  --set F=V                 a field\n");
    EXPECT_TRUE(AsksForHelp({"f.wav", "-h"}));
    EXPECT_FALSE(AsksForHelp({"f.wav", "--output", "help"}));
}

}  // namespace
}  // namespace tonewell
