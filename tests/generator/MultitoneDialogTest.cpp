#include "generator/GeneratorTables.h"
#include "generator/MultitoneDialog.h"
#include "platform/RecordingShell.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tonewell {
namespace {

using testing::readFileBytes;
using testing::TempDir;
using testing::writeFileBytes;

class MultitoneFixture : public ::testing::Test {
protected:
    GeneratorSettings settings;
    ToneLists lists;
    std::string toneFilePath = "old.tcf";
    RecordingShell shell;
    MultitoneDialog dialog{lists, toneFilePath, settings, shell};
    TempDir dir;

    void addTones(int channel, int n) {
        for (int i = 0; i < n; ++i) {
            dialog.frequency.userEditText(std::to_string(100 * (i + 1)));
            dialog.add[channel].click();
        }
    }
};

TEST_F(MultitoneFixture, OpensWithSineAt1000AndTheCurrentLists) {
    lists[1].append(kWaveformWhiteNoise, 0, 0.5f);
    dialog.open();
    EXPECT_EQ(dialog.waveform.items(),
              (std::vector<std::string>{"Sine", "Square", "Triangle", "SawTooth", "WhiteNoise", "PinkNoise"}));
    EXPECT_EQ(dialog.waveform.text(), "Sine");
    EXPECT_EQ(dialog.frequency.count(), 11);
    EXPECT_EQ(dialog.frequency.text(), "1000");
    EXPECT_TRUE(dialog.amplitude.items().empty());
    EXPECT_EQ(dialog.lines[0].count(), 0);
    EXPECT_EQ(dialog.lines[1].items(), std::vector<std::string>{"1:WhiteNoise,---,0.500000"});
    EXPECT_FALSE(dialog.remove[1].enabled());
    EXPECT_TRUE(dialog.add[1].enabled());
}

TEST_F(MultitoneFixture, AddBuildsTheLineAndTheToneList) {
    dialog.amplitude.userEditText("0.25");
    dialog.add[0].click();
    dialog.waveform.userSelect(4);  // WhiteNoise
    EXPECT_FALSE(dialog.frequency.enabled());
    dialog.add[0].click();
    EXPECT_EQ(dialog.lines[0].items(),
              (std::vector<std::string>{"1:Sine,1000Hz,0.250000", "2:WhiteNoise,---,0.250000"}));
    ASSERT_EQ(lists[0].count, 2u);
    EXPECT_EQ(lists[0].waveform[1], kWaveformWhiteNoise);
    EXPECT_EQ(lists[0].frequency[1], 0u);
    EXPECT_EQ(lists[0].amplitude[0], 0.25f);
    EXPECT_EQ(toneFilePath, "");
    EXPECT_EQ(lists[1].count, 0u);
    dialog.waveform.userSelect(1);
    EXPECT_TRUE(dialog.frequency.enabled());
}

TEST_F(MultitoneFixture, ThirtySecondToneDisablesAddAndRemovingEnablesIt) {
    addTones(1, 31);
    EXPECT_TRUE(dialog.add[1].enabled());
    addTones(1, 1);
    EXPECT_FALSE(dialog.add[1].enabled());
    dialog.add[1].click();  // a disabled button ignores the click
    EXPECT_EQ(dialog.lines[1].count(), 32);
    EXPECT_EQ(lists[1].count, 32u);
    dialog.lines[1].userFocus(true);
    EXPECT_EQ(dialog.lines[1].selection(), 0);
    EXPECT_TRUE(dialog.remove[1].enabled());
    dialog.remove[1].click();
    EXPECT_TRUE(dialog.add[1].enabled());
    EXPECT_EQ(lists[1].count, 31u);
    EXPECT_TRUE(dialog.add[0].enabled());
}

TEST_F(MultitoneFixture, RemoveRenumbersAndKeepsThePosition) {
    addTones(0, 3);
    dialog.lines[0].userSelect(1);
    ASSERT_TRUE(dialog.remove[0].enabled());
    dialog.remove[0].click();
    EXPECT_EQ(dialog.lines[0].items(), (std::vector<std::string>{"1:Sine,100Hz,1.000000", "2:Sine,300Hz,1.000000"}));
    EXPECT_EQ(dialog.lines[0].selection(), 1);
    EXPECT_TRUE(dialog.remove[0].enabled());
    EXPECT_EQ(lists[0].frequency[1], 300u);
    dialog.remove[0].click();  // the last line: nothing left at that position
    EXPECT_FALSE(dialog.lines[0].hasSelection());
    EXPECT_FALSE(dialog.remove[0].enabled());
    EXPECT_EQ(lists[0].count, 1u);
}

TEST_F(MultitoneFixture, FocusSelectsTheFirstLineOnlyWhenNoneIs) {
    dialog.lines[0].userFocus(true);
    EXPECT_FALSE(dialog.remove[0].enabled());  // nothing to remove
    dialog.lines[0].userFocus(false);
    addTones(0, 2);
    dialog.lines[0].userSelect(1);
    dialog.lines[0].userFocus(true);
    EXPECT_EQ(dialog.lines[0].selection(), 1);
}

struct FrequencyRow {
    int rateIndex;
    const char* typed;
    const char* shown;
    const char* message;  // empty: no message
};
class MultitoneFrequency : public MultitoneFixture, public ::testing::WithParamInterface<FrequencyRow> {};

TEST_P(MultitoneFrequency, OutOfRangeIsCorrectedAndNamesTheLimit) {
    settings.sampleRateIndex = GetParam().rateIndex;
    dialog.open();
    dialog.frequency.userEditText(GetParam().typed);
    EXPECT_EQ(dialog.frequency.text(), GetParam().shown);
    if (*GetParam().message) {
        EXPECT_EQ(shell.messages(), std::vector<std::string>{GetParam().message});
    } else {
        EXPECT_TRUE(shell.messages().empty());
    }
}
INSTANTIATE_TEST_SUITE_P(Texts, MultitoneFrequency,
                         ::testing::Values(FrequencyRow{2, "22050", "22050", ""},
                                           FrequencyRow{2, "22051", "22050", "Please input a value within 1~22050 Hz"},
                                           FrequencyRow{0, "6000", "5512", "Please input a value within 1~5512 Hz"},
                                           FrequencyRow{2, "0", "1", "Please input a value within 1~22050 Hz"},
                                           FrequencyRow{2, "-40", "1", "Please input a value within 1~22050 Hz"},
                                           FrequencyRow{4, "48000", "48000", ""}));

TEST_F(MultitoneFixture, PresetAboveTheLimitAndLeavingTheBoxAreCheckedToo) {
    dialog.frequency.userSelect(0);  // 40000 at 44100 Hz
    EXPECT_EQ(dialog.frequency.text(), "22050");
    settings.sampleRateIndex = 0;
    dialog.frequency.userFocus(true);
    dialog.frequency.userFocus(false);
    EXPECT_EQ(dialog.frequency.text(), "5512");
    EXPECT_EQ(shell.messages(), (std::vector<std::string>{"Please input a value within 1~22050 Hz",
                                                          "Please input a value within 1~5512 Hz"}));
}

TEST_F(MultitoneFixture, AmplitudeTextIsHeldWithinZeroAndOne) {
    dialog.amplitude.userEditText("1.5");
    EXPECT_EQ(dialog.amplitude.text(), "1.0");
    dialog.amplitude.userEditText("-0.1");
    EXPECT_EQ(dialog.amplitude.text(), "0");
    dialog.amplitude.userEditText("0.");
    EXPECT_EQ(dialog.amplitude.text(), "0.");
    EXPECT_TRUE(shell.messages().empty());
}

TEST_F(MultitoneFixture, SaveAndLoadThroughTheChoosers) {
    addTones(0, 2);
    dialog.waveform.userSelect(5);
    dialog.add[1].click();
    shell.saveFileAnswers.push_back((dir / "mine").string());
    dialog.save.click();
    ASSERT_EQ(shell.fileRequests.size(), 1u);
    EXPECT_EQ(shell.fileRequests[0].filter, "Tone Config. File (*.tcf)|*.tcf|");
    EXPECT_EQ(shell.fileRequests[0].defaultExtension, "tcf");
    EXPECT_EQ(shell.fileRequests[0].initialPath, "tcf1");
    EXPECT_EQ(readFileBytes(dir / "mine.tcf"),
              "#1\n1:Sine,100Hz,1.000000\n2:Sine,200Hz,1.000000\n#2\n1:PinkNoise,---,1.000000\n");
    EXPECT_EQ(toneFilePath, (dir / "mine.tcf").string());

    writeFileBytes(dir / "other.tcf", "#1\n1:Square,50Hz,0.5\n#2\n");
    shell.openFileAnswers.push_back((dir / "other.tcf").string());
    dialog.load.click();
    EXPECT_EQ(shell.fileRequests[1].filter, "Tone Config. File (*.tcf)|*.tcf|All Files (*.*)|*.*|");
    EXPECT_EQ(dialog.lines[0].items(), std::vector<std::string>{"1:Square,50Hz,0.5"});
    EXPECT_EQ(dialog.lines[1].count(), 0);
    EXPECT_EQ(lists[0].count, 1u);
    EXPECT_EQ(lists[1].count, 0u);
    EXPECT_EQ(toneFilePath, (dir / "other.tcf").string());

    std::string shown = "unset";
    dialog.onClosed = [&](const std::string& path) { shown = path; };
    dialog.close.click();
    EXPECT_EQ(shown, toneFilePath);
}

TEST_F(MultitoneFixture, CancelledOrRefusedFilesChangeNothing) {
    addTones(0, 1);
    toneFilePath = "kept";
    dialog.save.click();
    dialog.load.click();
    writeFileBytes(dir / "bad.tcf", "hello\n");
    shell.openFileAnswers.push_back((dir / "bad.tcf").string());
    dialog.load.click();
    EXPECT_EQ(shell.messages(), std::vector<std::string>{"The file is not in Tone Configuration File (tcf) Format."});
    EXPECT_EQ(dialog.lines[0].count(), 1);
    EXPECT_EQ(lists[0].count, 1u);
    EXPECT_EQ(toneFilePath, "kept");
}

TEST_F(MultitoneFixture, LoadingMoreThan32LinesKeeps32AndDisablesAdd) {
    std::string text = "#1\n";
    for (int i = 1; i <= 35; ++i) text += std::to_string(i) + ":Sine," + std::to_string(i) + "Hz,1\n";
    writeFileBytes(dir / "big.tcf", text);
    shell.openFileAnswers.push_back((dir / "big.tcf").string());
    dialog.load.click();
    EXPECT_EQ(dialog.lines[0].count(), 32);
    EXPECT_FALSE(dialog.add[0].enabled());
    EXPECT_TRUE(dialog.add[1].enabled());
    EXPECT_EQ(lists[0].count, 32u);
}

TEST_F(MultitoneFixture, ClearingEmptiesListsAndPath) {
    addTones(0, 2);
    addTones(1, 1);
    toneFilePath = "x.tcf";
    dialog.clearLists();
    EXPECT_EQ(dialog.lines[0].count(), 0);
    EXPECT_EQ(dialog.lines[1].count(), 0);
    EXPECT_EQ(lists[0].count, 0u);
    EXPECT_EQ(lists[1].count, 0u);
    EXPECT_EQ(toneFilePath, "");
}

}  // namespace
}  // namespace tonewell
