#include "scope/ScopeExport.h"

#include "acquisition/SignalRecord.h"
#include "platform/RecordingShell.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace tonewell {
namespace {

// Three samples per channel at 8000 Hz: A 8-bit ±1 V (zero 128), B 16-bit ±2 V (zero 32768).
SignalRecord threeSamples(std::uint8_t samplingType) {
    SignalRecord record;
    record.samplingType = samplingType;
    record.riffHeader.format.samplesPerSecond = 8000;
    record.sampleCount = 3;
    record.resolutionA = 8;
    record.rangeMaxA = 1000, record.rangeMinA = -1000, record.rangeExponentA = 9;
    record.zeroA = 128;
    record.dataA = {128, 192, 0};
    record.resolutionB = 16;
    record.rangeMaxB = 2000, record.rangeMinB = -2000, record.rangeExponentB = 9;
    record.zeroB = 32768;
    record.dataB = {32768, 16384, 65535};
    return record;
}

std::string exported(const SignalRecord& record) {
    testing::TempDir dir;
    RecordingShell shell;
    EXPECT_TRUE(WriteScopeExport(shell, dir / "scope.txt", record));
    EXPECT_TRUE(shell.messages().empty());
    return testing::readFileBytes(dir / "scope.txt");
}

struct LayoutCase {
    const char* name;
    std::uint8_t samplingType;
    const char* text;
};

class ScopeExportLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ScopeExportLayout, WritesTheHeaderAndOneRowPerSample) {
    EXPECT_EQ(exported(threeSamples(GetParam().samplingType)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    ChannelSets, ScopeExportLayout,
    ::testing::Values(
        LayoutCase{"A", kSamplingTypeA,
                   "Data Points\r\nSampling Frequency=8000 Hz\r\nSampling Resolution=8 Bits\r\n"
                   "Total Data Points=3\r\nNo.,     Time (S),     Channel A (V)\r\n"
                   "0,   0.000000,   0.000000\r\n1,   0.000125,   0.500000\r\n"
                   "2,   0.000250,   -1.000000\r\n"},
        LayoutCase{"B", kSamplingTypeB,
                   "Data Points\r\nSampling Frequency=8000 Hz\r\nSampling Resolution=16 Bits\r\n"
                   "Total Data Points=3\r\nNo.,     Time (S),     Channel B (V)\r\n"
                   "0,   0.000000,   0.000000\r\n1,   0.000125,   -1.000000\r\n"
                   "2,   0.000250,   1.999939\r\n"},
        LayoutCase{"AB", kSamplingTypeAB,
                   "Data Points\r\nSampling Frequency=8000 Hz\r\nSampling Resolution=8 Bits\r\n"
                   "Total Data Points=3\r\nNo.,     Time (S),     Channel A (V),     Channel B (V)\r\n"
                   "0,   0.000000,   0.000000,   0.000000\r\n1,   0.000125,   0.500000,   -1.000000\r\n"
                   "2,   0.000250,   -1.000000,   1.999939\r\n"},
        LayoutCase{"Unknown", 0,
                   "Data Points\r\nSampling Frequency=8000 Hz\r\nSampling Resolution=8 Bits\r\n"
                   "Total Data Points=3\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScopeExport, TheCommandAddsTxtKeepsDottedFoldersAndReportsAFileItCannotCreate) {
    testing::TempDir dir;
    RecordingShell shell;
    const SignalRecord record = threeSamples(kSamplingTypeA);
    std::filesystem::create_directory(dir / "my.dir");
    testing::writeFileBytes(dir / "my.dir" / "data", "previous");
    shell.saveFileAnswers.push_back((dir / "data").string());
    shell.saveFileAnswers.push_back((dir / "my.dir" / "data").string());
    shell.saveFileAnswers.push_back(std::nullopt);
    shell.saveFileAnswers.push_back((dir / "missing" / "data").string());
    ExportScopeText(shell, record);
    ExportScopeText(shell, record);
    ExportScopeText(shell, record);
    EXPECT_TRUE(shell.messages().empty());
    EXPECT_EQ(testing::readFileBytes(dir / "data.txt"), exported(record));
    EXPECT_EQ(testing::readFileBytes(dir / "my.dir" / "data"), exported(record));
    EXPECT_EQ(shell.fileRequests[0].filter, "Text File (*.txt)|*.txt|");
    ExportScopeText(shell, record);
    EXPECT_EQ(shell.messages(), std::vector<std::string>{"fail to create the file"});
}

TEST(ScopeExport, ALongRecordHasOneLinePerSampleAndKeepsCountingTime) {
    SignalRecord record = threeSamples(kSamplingTypeA);
    record.riffHeader.format.samplesPerSecond = 44100;
    record.sampleCount = 300000;
    record.dataA.assign(300000, 128);
    const std::string text = exported(record);
    std::size_t lines = 0;
    for (char c : text) lines += c == '\n';
    EXPECT_EQ(lines, 5u + 300000u);
    char last[64];
    std::snprintf(last, sizeof last, "\r\n299999,   %f,   0.000000\r\n",
                  static_cast<double>(299999.0f / 44100.0f));
    EXPECT_EQ(text.substr(text.size() - std::strlen(last)), last);
    EXPECT_EQ(std::string(last).substr(0, 19), "\r\n299999,   6.80269");
}

}  // namespace
}  // namespace tonewell
