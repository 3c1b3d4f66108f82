#include "spectrum/SpectrumExport.h"

#include "acquisition/SignalRecord.h"
#include "platform/RecordingShell.h"
#include "spectrum/SpectrumAnalysis.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace tonewell {
namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) break;
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    for (const auto& line : lines) EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
    return lines;
}

std::string printed(const char* format, int i, double x, double v) {
    char text[128];
    std::snprintf(text, sizeof text, format, i, x, v);
    return text;
}

// A record at 44100 Hz (16 bit, ±1 V) with a tone on each recorded channel, analysed.
struct Exported {
    RecordingShell shell;
    SignalRecord record;
    SpectrumAnalysis analysis{shell};
    testing::TempDir dir;

    Exported(std::uint8_t samplingType, SpectrumType type, int n = 1024, std::uint32_t count = 4096) {
        record.samplingType = samplingType;
        record.riffHeader.format.samplesPerSecond = 44100;
        record.resolutionA = 16;
        record.resolutionB = 8;
        record.intervalMantissa = 22675;
        record.intervalExponent = 3;
        record.zeroA = record.zeroB = 32768;
        record.sampleCount = count;
        record.dataA.resize(std::max<std::uint32_t>(count, 1));
        record.dataB.resize(std::max<std::uint32_t>(count, 1));
        for (std::uint32_t i = 0; i < count; ++i) {
            record.dataA[i] = static_cast<std::uint16_t>(32768 + std::lround(9000 * std::sin(0.3 * i)));
            record.dataB[i] = static_cast<std::uint16_t>(32768 + std::lround(5000 * std::sin(0.3 * i - 0.4)));
        }
        EXPECT_TRUE(analysis.setFftSize(n));
        analysis.setSpectrumType(type);
        const bool hasB = samplingType != kSamplingTypeA;
        analysis.UpdateSpectra(record, DcOffsets{}, samplingType != kSamplingTypeB,
                               hasB && type != SpectrumType::CrossCorrelation, false);
    }

    std::vector<std::string> write() {
        const auto path = dir / "export.txt";
        EXPECT_TRUE(WriteSpectrumExport(shell, path, record, analysis));
        return linesOf(testing::readFileBytes(path));
    }
};

TEST(SpectrumExport, AmplitudeSpectrumOfChannelA) {
    Exported e(kSamplingTypeA, SpectrumType::Amplitude);
    const auto lines = e.write();
    ASSERT_EQ(lines.size(), 6u + 513u);
    EXPECT_EQ(lines[0], "RMS Spectrum");
    EXPECT_EQ(lines[1], "Sampling Frequency=44100 Hz");
    EXPECT_EQ(lines[2], "Sampling Resolution=16 Bits");
    EXPECT_EQ(lines[3], "Total Data Points=4096");
    EXPECT_EQ(lines[4], "FFT Point=1024");
    EXPECT_EQ(lines[5], "No.,   Frequency (Hz),   Channel A (V)");
    const float step = 44100.0f / 1024.0f;
    for (int i : {0, 1, 49, 512})
        EXPECT_EQ(lines[6 + i], printed("%d,   %f,   %f", i, static_cast<float>(i) * step,
                                        e.analysis.resultA()[i]));
    EXPECT_EQ(lines[6 + 512].substr(0, 21), "512,   22050.000000, ");
}

TEST(SpectrumExport, AutoCorrelationRunsOverBothDelaysWithTheZeroDelayAtIndex511) {
    Exported e(kSamplingTypeA, SpectrumType::AutoCorrelation);
    const auto lines = e.write();
    ASSERT_EQ(lines.size(), 6u + 1023u);
    EXPECT_EQ(lines[0], "Auto-Correlation");
    EXPECT_EQ(lines[5], "No.,   Time Delay (S),   Channel A ");
    const float ts = 1.0f / 44100.0f;
    EXPECT_EQ(lines[6], printed("%d,   %f,   %f", 0, -511 * ts, e.analysis.resultA()[0]));
    EXPECT_EQ(lines[6 + 511], "511,   0.000000,   1.000000");
    EXPECT_EQ(lines[6 + 1022], printed("%d,   %f,   %f", 1022, 511 * ts, e.analysis.resultA()[1022]));
}

TEST(SpectrumExport, BothChannelsGiveFourColumnsAndCrossCorrelationThree) {
    Exported amplitude(kSamplingTypeAB, SpectrumType::Amplitude);
    auto lines = amplitude.write();
    EXPECT_EQ(lines[5], "No.,   Frequency (Hz),   Channel A, (V)Channel B (V)");
    char expected[160];
    std::snprintf(expected, sizeof expected, "%d,   %f,   %f,   %f", 7,
                  static_cast<double>(7 * (44100.0f / 1024.0f)),
                  static_cast<double>(amplitude.analysis.resultA()[7]),
                  static_cast<double>(amplitude.analysis.resultB()[7]));
    EXPECT_EQ(lines[6 + 7], expected);
    EXPECT_NE(amplitude.analysis.resultA()[7], amplitude.analysis.resultB()[7]);

    Exported phase(kSamplingTypeAB, SpectrumType::Phase);
    lines = phase.write();
    EXPECT_EQ(lines[0], "Phase Spectrum");
    EXPECT_EQ(lines[5], "No.,   Frequency (Hz),   Channel A, (Degree) Channel B (Degree) ");

    Exported cross(kSamplingTypeAB, SpectrumType::CrossCorrelation);
    lines = cross.write();
    ASSERT_EQ(lines.size(), 6u + 1023u);
    EXPECT_EQ(lines[0], "Cross-Correlation");
    EXPECT_EQ(lines[5], "No.,   Time Delay (S),   Channel A & Channel B");
    EXPECT_EQ(lines[6 + 100], printed("%d,   %f,      %f", 100, (100 - 511) * (1.0f / 44100.0f),
                                      cross.analysis.resultA()[100]));
}

TEST(SpectrumExport, ChannelBOnlyNamesBAndItsResolution) {
    Exported e(kSamplingTypeB, SpectrumType::Amplitude);
    const auto lines = e.write();
    EXPECT_EQ(lines[2], "Sampling Resolution=8 Bits");
    EXPECT_EQ(lines[5], "No.,   Frequency (Hz),   Channel B (V)");
    EXPECT_EQ(lines[6 + 3], printed("%d,   %f,   %f", 3, 3 * (44100.0f / 1024.0f),
                                    e.analysis.resultB()[3]));
}

TEST(SpectrumExport, AnEmptyRecordWritesTheFiveHeaderLinesOnly) {
    Exported e(kSamplingTypeA, SpectrumType::Amplitude, 256, 0);
    const auto lines = e.write();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[3], "Total Data Points=0");
    EXPECT_EQ(lines[4], "FFT Point=256");
}

TEST(SpectrumExport, TheCommandAsksForTheFileAddsTxtAndReportsAFileItCannotCreate) {
    Exported e(kSamplingTypeA, SpectrumType::Amplitude, 128, 512);
    std::filesystem::create_directory(e.dir / "my.dir");
    e.shell.saveFileAnswers.push_back((e.dir / "data").string());
    e.shell.saveFileAnswers.push_back((e.dir / "my.dir" / "data").string());
    e.shell.saveFileAnswers.push_back(std::nullopt);
    e.shell.saveFileAnswers.push_back((e.dir / "missing" / "data").string());
    ExportSpectrum(e.shell, e.record, e.analysis);
    ExportSpectrum(e.shell, e.record, e.analysis);
    EXPECT_EQ(linesOf(testing::readFileBytes(e.dir / "data.txt")).size(), 6u + 65u);
    EXPECT_TRUE(std::filesystem::exists(e.dir / "my.dir" / "data"));
    EXPECT_TRUE(e.shell.fileRequests.back().promptOverwrite);
    EXPECT_EQ(e.shell.fileRequests.back().filter, "Text File (*.txt)|*.txt|");
    ExportSpectrum(e.shell, e.record, e.analysis);  // cancelled
    EXPECT_TRUE(e.shell.messages().empty());
    ExportSpectrum(e.shell, e.record, e.analysis);
    EXPECT_EQ(e.shell.messages(), std::vector<std::string>{"fail to create the file"});
    EXPECT_EQ(e.shell.fileRequests.size(), 4u);
}

TEST(SpectrumExport, UndefinedPointsAreWrittenAsZero) {
    Exported e(kSamplingTypeA, SpectrumType::AutoCorrelation, 256, 1000);
    std::fill(e.record.dataA.begin(), e.record.dataA.end(), 32768);
    e.analysis.spectrumDirty = true;
    e.analysis.UpdateSpectra(e.record, DcOffsets{}, true, false, false);
    const auto lines = e.write();
    EXPECT_EQ(lines[6 + 127], "127,   0.000000,   0.000000");
    for (const auto& line : lines) EXPECT_EQ(line.find("nan"), std::string::npos);
}

}  // namespace
}  // namespace tonewell
