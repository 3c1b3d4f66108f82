#include "generator/GeneratorTables.h"
#include "generator/ToneFile.h"
#include "platform/RecordingShell.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

namespace tonewell {
namespace {

using testing::readFileBytes;
using testing::TempDir;
using testing::writeFileBytes;

class ToneFileFixture : public ::testing::Test {
protected:
    TempDir dir;
    RecordingShell shell;
    ToneLists lists;
    std::string toneFilePath = "previous.tcf";
};

TEST_F(ToneFileFixture, WritesTheLayoutLineByLine) {
    lists[0].append(kWaveformSine, 1000, 1.0f);
    lists[0].append(kWaveformPinkNoise, 0, 0.5f);
    lists[1].append(kWaveformSawTooth, 4294967295u, 0.125f);
    auto path = dir / "set.tcf";
    ASSERT_TRUE(WriteToneFile(path, lists, toneFilePath, shell));
    EXPECT_EQ(readFileBytes(path),
              "#1\n1:Sine,1000Hz,1.000000\n2:PinkNoise,---,0.500000\n#2\n1:SawTooth,4294967295Hz,0.125000\n");
    EXPECT_EQ(toneFilePath, path.string());
}

TEST_F(ToneFileFixture, RoundTripKeepsEveryTone) {
    for (std::uint32_t i = 0; i < kMaxTones; ++i)
        lists[0].append(kWaveformSine + static_cast<int>(i % 6), (i % 6) >= 4 ? 0 : 50 * (i + 1), 1.0f / (i + 1));
    lists[1].append(kWaveformWhiteNoise, 0, 0.25f);
    auto path = dir / "round.tcf";
    ASSERT_TRUE(WriteToneFile(path, lists, toneFilePath, shell));
    ToneLists back;
    std::string backPath;
    ASSERT_TRUE(ReadToneFile(path, back, backPath, shell));
    EXPECT_EQ(backPath, path.string());
    for (int c = 0; c < 2; ++c) {
        ASSERT_EQ(back[c].count, lists[c].count);
        for (std::uint32_t i = 0; i < back[c].count; ++i) {
            EXPECT_EQ(back[c].waveform[i], lists[c].waveform[i]);
            EXPECT_EQ(back[c].frequency[i], lists[c].frequency[i]);
            EXPECT_NEAR(back[c].amplitude[i], lists[c].amplitude[i], 5e-7);  // six decimals
        }
    }
    EXPECT_TRUE(shell.messages().empty());
}

struct ReadRow {
    const char* name;
    const char* text;
    unsigned countA, countB;
    bool accepted;
};
class ToneFileRead : public ToneFileFixture, public ::testing::WithParamInterface<ReadRow> {};

TEST_P(ToneFileRead, CountsAndRefusals) {
    const ReadRow& row = GetParam();
    lists[0].append(kWaveformSquare, 77, 0.7f);
    lists[1].append(kWaveformSquare, 77, 0.7f);
    auto path = dir / "in.tcf";
    writeFileBytes(path, row.text);
    EXPECT_EQ(ReadToneFile(path, lists, toneFilePath, shell), row.accepted);
    EXPECT_EQ(lists[0].count, row.countA);
    EXPECT_EQ(lists[1].count, row.countB);
    if (row.accepted) {
        EXPECT_TRUE(shell.messages().empty());
        EXPECT_EQ(toneFilePath, path.string());
    } else {
        EXPECT_EQ(shell.messages(), std::vector<std::string>{"The file is not in Tone Configuration File (tcf) Format."});
        EXPECT_EQ(toneFilePath, "previous.tcf");
        EXPECT_EQ(lists[0].frequency[0], 77u);  // lists unchanged
    }
}

std::string ManyLines(int n) {
    std::string text = "#1\n";
    for (int i = 1; i <= n; ++i) text += std::to_string(i) + ":Sine," + std::to_string(i) + "Hz,0.5\n";
    return text + "#2\n1:Square,10Hz,1\n";
}

INSTANTIATE_TEST_SUITE_P(
    Files, ToneFileRead,
    ::testing::Values(ReadRow{"OnlyMarkers", "#1\n#2\n", 0, 0, true},
                      ReadRow{"NoSecondMarker", "#1\n1:Sine,1000Hz,1.0\n2:Square,20Hz,0.5\n", 2, 0, true},
                      ReadRow{"CrLfAndBlanks", "#1\r\n  1:Sine,1000Hz,1.0\r\n#2\r\n1:Sine,5Hz,1\r\n", 1, 1, true},
                      ReadRow{"WrongFirstToken", "#2\n1:Sine,1000Hz,1.0\n", 1, 1, false},
                      ReadRow{"Empty", "", 1, 1, false},
                      ReadRow{"Binary", "\x01\x02\x7f", 1, 1, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ToneFileFixture, MoreThan32TonesKeepTheFirst32AndStillReadB) {
    auto path = dir / "many.tcf";
    writeFileBytes(path, ManyLines(40));
    ASSERT_TRUE(ReadToneFile(path, lists, toneFilePath, shell));
    EXPECT_EQ(lists[0].count, 32u);
    EXPECT_EQ(lists[0].frequency[31], 32u);
    ASSERT_EQ(lists[1].count, 1u);
    EXPECT_EQ(lists[1].waveform[0], kWaveformSquare);
}

TEST_F(ToneFileFixture, MissingFileChangesNothingSilently) {
    lists[0].append(kWaveformSine, 1, 1);
    EXPECT_FALSE(ReadToneFile(dir / "absent.tcf", lists, toneFilePath, shell));
    EXPECT_EQ(lists[0].count, 1u);
    EXPECT_TRUE(shell.messages().empty());
}

struct LineRow {
    const char* line;
    int code;
    unsigned frequency;
    float amplitude;
};
class ToneLineParse : public ::testing::TestWithParam<LineRow> {};

TEST_P(ToneLineParse, FieldsAreReadLikeTheFileWritesThem) {
    ToneList list;
    list.waveform[0] = 99;  // an unknown name keeps what the slot held
    ParseToneLine(GetParam().line, list, 0);
    EXPECT_EQ(list.waveform[0], GetParam().code);
    EXPECT_EQ(list.frequency[0], GetParam().frequency);
    EXPECT_EQ(list.amplitude[0], GetParam().amplitude);
}
INSTANTIATE_TEST_SUITE_P(Lines, ToneLineParse,
                         ::testing::Values(LineRow{"1:Sine,1000Hz,1.000000", 1, 1000, 1.0f},
                                           LineRow{"2:PinkNoise,---,0.500000", 6, 0, 0.5f},
                                           LineRow{"3:Triangle,250,0.25", 3, 250, 0.25f},
                                           LineRow{"4:Chirp,100Hz,0.5", 99, 100, 0.5f},
                                           LineRow{"5:sine,100Hz,0.5", 99, 100, 0.5f},
                                           LineRow{"6:Square,-7Hz,x", 2, 0, 0.0f},
                                           LineRow{"Square", 2, 0, 0.0f},
                                           LineRow{"", 99, 0, 0.0f},
                                           LineRow{"7:WFLibrary,99999999999Hz,+0.75", 8, 4294967295u, 0.75f},
                                           // Beyond the range of a double: too small reads as 0,
                                           // too large as infinity, by the size of the whole number.
                                           LineRow{"8:Sine,1Hz,1e-400", 1, 1, 0.0f},
                                           LineRow{"9:Sine,1Hz,-1e-400", 1, 1, 0.0f},
                                           LineRow{"10:Sine,1Hz,0.00001e-320", 1, 1, 0.0f},
                                           LineRow{"11:Sine,1Hz,1e400", 1, 1, INFINITY},
                                           LineRow{"12:Sine,1Hz,-1e400", 1, 1, -INFINITY}));

TEST(ToneLineAmplitude, OutOfRangeIsJudgedByTheWholeNumberNotItsExponentAlone) {
    ToneList list;
    ParseToneLine("1:Sine,1Hz,1" + std::string(400, '0') + "e-10", list, 0);
    EXPECT_EQ(list.amplitude[0], INFINITY);
    ParseToneLine("1:Sine,1Hz,0." + std::string(400, '0') + "1e10", list, 0);
    EXPECT_EQ(list.amplitude[0], 0.0f);
    ParseToneLine("1:Sine,1Hz,00000000001e-330", list, 0);
    EXPECT_EQ(list.amplitude[0], 0.0f);
}

TEST_F(ToneFileFixture, FailedWriteSaysSoAndKeepsThePath) {
    lists[0].append(kWaveformSine, 1000, 1.0f);
    EXPECT_FALSE(WriteToneFile(dir / "no-such-folder" / "x.tcf", lists, toneFilePath, shell));
    EXPECT_EQ(shell.messages(), std::vector<std::string>{"fail to create the file"});
    EXPECT_EQ(toneFilePath, "previous.tcf");
}

}  // namespace
}  // namespace tonewell
