#include "acquisition/WaveDocumentReader.h"
#include "acquisition/WaveDocumentWriter.h"
#include "generator/DurationDialog.h"
#include "generator/GeneratedSignalFile.h"
#include "generator/GeneratorExport.h"
#include "generator/GeneratorTables.h"
#include "platform/ByteWriter.h"
#include "platform/FileByteReader.h"
#include "platform/RecordingShell.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace tonewell {
namespace {

using testing::readFileBytes;
using testing::TempDir;
using testing::writeFileBytes;

std::uint32_t U32(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint8_t>(bytes[at]) | (static_cast<std::uint8_t>(bytes[at + 1]) << 8) |
           (static_cast<std::uint8_t>(bytes[at + 2]) << 16) | (static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 3])) << 24);
}
std::uint16_t U16(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) | (static_cast<std::uint8_t>(bytes[at + 1]) << 8));
}

// The IBIN bytes the export writes for a format.
std::string InformationBlock(const WaveFormat& format, const OutputCalibration& calibration) {
    ByteWriter out;
    WriteInfoBlock(out, ExportInfoBlock(format, calibration));
    return std::string(out.chars());
}

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(text.substr(at));
            break;
        }
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

class ExportFixture : public ::testing::Test {
protected:
    GeneratorSettings settings;
    ToneLists tones;
    WaveformLibrary library;
    OutputCalibration calibration;
    FixedSeedClock clock{42};
    RecordingShell shell;
    GeneratorSources sources{settings, tones, library, calibration, clock, shell};
    TempDir dir;

    void format(int rateIndex, int resolutionIndex, int channelsIndex) {
        settings.sampleRateIndex = rateIndex;
        settings.resolutionIndex = resolutionIndex;
        settings.channelsIndex = channelsIndex;
        if (channelsIndex == 1) settings.waveformIndexB = kWaveformSine;
    }
    std::string exportWave(std::uint32_t seconds, const std::string& name = "out.wav") {
        EXPECT_EQ(ExportGeneratedSignal(sources, dir / name, ExportFileType::Wave, seconds), ExportOutcome::Written);
        return readFileBytes(dir / name);
    }
    std::string exportText(std::uint32_t seconds, const std::string& name = "out.txt") {
        EXPECT_EQ(ExportGeneratedSignal(sources, dir / name, ExportFileType::Text, seconds), ExportOutcome::Written);
        return readFileBytes(dir / name);
    }
};

struct WaveRow {
    const char* name;
    int rateIndex, resolutionIndex, channelsIndex;
    std::uint32_t seconds;
    std::uint32_t dataBytes, riffSize, listSize, infoSize;
    std::size_t fileSize;
};
class ExportWaveLayout : public ExportFixture, public ::testing::WithParamInterface<WaveRow> {};

TEST_P(ExportWaveLayout, SizesPadAndInformationBlock) {
    const WaveRow& row = GetParam();
    format(row.rateIndex, row.resolutionIndex, row.channelsIndex);
    const std::string file = exportWave(row.seconds);
    ASSERT_EQ(file.size(), row.fileSize);
    EXPECT_EQ(file.substr(0, 4), "RIFF");
    EXPECT_EQ(U32(file, 4), row.riffSize);
    EXPECT_EQ(file.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(U32(file, 16), 16u);
    EXPECT_EQ(U16(file, 20), 1u);
    const WaveFormat f = OutputFormatFor(settings);
    EXPECT_EQ(U16(file, 22), f.channels);
    EXPECT_EQ(U32(file, 24), f.samplesPerSecond);
    EXPECT_EQ(U32(file, 28), f.averageBytesPerSecond);
    EXPECT_EQ(U16(file, 32), f.blockAlign);
    EXPECT_EQ(U16(file, 34), f.bitsPerSample);
    EXPECT_EQ(file.substr(36, 4), "data");
    EXPECT_EQ(U32(file, 40), row.dataBytes);
    std::size_t at = 44 + row.dataBytes;
    if (row.dataBytes % 2 == 1) {
        EXPECT_EQ(file[at], '\0');
        ++at;
    }
    EXPECT_EQ(file.substr(at, 4), "LIST");
    EXPECT_EQ(U32(file, at + 4), row.listSize);
    EXPECT_EQ(file.substr(at + 8, 8), "INFOIBIN");
    EXPECT_EQ(U32(file, at + 16), row.infoSize);
    const std::string info = file.substr(at + 20, row.infoSize);
    EXPECT_EQ(info[0], row.channelsIndex == 1 ? 3 : 1);
    EXPECT_EQ(info.substr(row.infoSize - 4), "01.0");
    for (std::uint32_t channel = 0; channel < (row.channelsIndex == 1 ? 2u : 1u); ++channel) {
        const std::size_t c = 4 + 6 * channel;
        EXPECT_EQ(static_cast<int>(info[c]), static_cast<int>(f.bitsPerSample));
        EXPECT_EQ(static_cast<std::int16_t>(U16(info, c + 1)), 1000);
        EXPECT_EQ(static_cast<std::int16_t>(U16(info, c + 3)), -1000);
        EXPECT_EQ(static_cast<int>(info[c + 5]), 9);
    }
    EXPECT_EQ(file.substr(at + 20 + row.infoSize), std::string("ICMT\0\0\0\0", 8));
}
INSTANTIATE_TEST_SUITE_P(
    Formats, ExportWaveLayout,
    ::testing::Values(WaveRow{"Mono16At44100For2s", 2, 1, 0, 2, 176400, 176478, 34, 14, 176486},
                      WaveRow{"Stereo8At11025", 0, 0, 1, 1, 22050, 22050 + 44 + 40, 40, 20, 22050 + 44 + 48},
                      WaveRow{"OddDataGetsAPadByte", 0, 0, 0, 1, 11025, 11025 + 44 + 34 + 1, 34, 14, 11112},
                      WaveRow{"ZeroSecondsHeadersOnly", 2, 1, 0, 0, 0, 78, 34, 14, 86}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExportFixture, IntervalAndRangeFollowRateAndCalibration) {
    calibration.outputFullScale8 = 250.0f;
    format(0, 0, 1);  // 11025 Hz: 1/11025 s = 9070 x 10^-8
    std::string block = InformationBlock(OutputFormatFor(settings), calibration);
    ASSERT_EQ(block.size(), 20u);
    EXPECT_EQ(U16(block, 1), 9070u);
    EXPECT_EQ(static_cast<int>(block[3]), 4);
    EXPECT_EQ(static_cast<std::int16_t>(U16(block, 5)), 2500);  // 250 mV = 2500 x 10^-4 V
    EXPECT_EQ(static_cast<int>(block[9]), 8);
    format(2, 1, 0);  // 44100 Hz
    block = InformationBlock(OutputFormatFor(settings), calibration);
    ASSERT_EQ(block.size(), 14u);
    EXPECT_EQ(U16(block, 1), 22675u);
    EXPECT_EQ(static_cast<int>(block[3]), 3);
}

// The export and the document's Save write one layout: an exported file read by the document
// and saved again comes out byte for byte the same, odd data and its pad byte included.
TEST_F(ExportFixture, DocumentSavesAnExportedWaveByteForByte) {
    for (const std::array<int, 3>& f : {std::array<int, 3>{0, 0, 0}, std::array<int, 3>{3, 1, 1}}) {
        format(f[0], f[1], f[2]);
        calibration.outputFullScale8 = calibration.outputFullScale16 = 730.0f;
        const std::string exported = exportWave(1);
        ByteReader source({reinterpret_cast<const std::uint8_t*>(exported.data()), exported.size()});
        SignalRecord record;
        ASSERT_TRUE(ReadWaveDocument(source, record).accepted);
        EXPECT_EQ(EncodeWaveDocument(record), exported);
    }
}

TEST_F(ExportFixture, ExportedWaveOpensInTheDocumentWithItsRanges) {
    format(3, 1, 1);  // 48000 Hz stereo 16 bit
    calibration.outputFullScale16 = 5000.0f;
    settings.amplitudeA = 2500;
    settings.phaseDifference = 90;
    const std::string file = exportWave(2);
    FileByteReader source;
    ASSERT_TRUE(source.open(dir / "out.wav"));
    SignalRecord record;
    WaveReadResult read = ReadWaveDocument(source, record);
    ASSERT_TRUE(read.accepted);
    EXPECT_TRUE(read.messages.empty());
    EXPECT_EQ(record.samplingType, kSamplingTypeAB);
    EXPECT_EQ(record.sampleCount, 96000u);
    EXPECT_NEAR(record.intervalSeconds(), 1.0 / 48000, 1e-9);
    EXPECT_EQ(record.resolutionA, 16);
    for (const VoltageRange& range : {record.rangeA(), record.rangeB()}) {
        EXPECT_EQ(range.max, 500);  // 5000 mV = 500 x 10^-2 V
        EXPECT_EQ(range.min, -500);
        EXPECT_EQ(range.exponent, 10);
    }
    // Samples come back as the signed value + 32768: A starts at 0 V, B (90 degrees ahead) at its peak.
    EXPECT_EQ(record.dataA[0], 32768);
    EXPECT_EQ(record.dataB[0], 32768 + 6553);  // 1000 of 5000 mV
    EXPECT_EQ(record.dataA[12], 32768 + 16383);  // the quarter period: 2500 of 5000 mV
    EXPECT_TRUE(record.notes.empty());
}

TEST_F(ExportFixture, WaveDataIsTheSynthesisedSecondsFromPhaseZero) {
    settings.sweepEnabled = true;
    settings.sweepDuration = 2;
    const std::string file = exportWave(2);
    EXPECT_EQ(U16(file, 44), 0u);  // first sample at phase 0
    // Second 1 continues the sweep rather than repeating second 0.
    EXPECT_NE(file.substr(44, 88200), file.substr(44 + 88200, 88200));
    // A second export starts again at phase 0 and gives the same bytes.
    EXPECT_EQ(exportWave(2, "again.wav"), file);
}

TEST_F(ExportFixture, TextOfAFullScaleEightBitSine) {
    format(0, 0, 0);
    const std::vector<std::string> lines = SplitCrLf(exportText(1));
    ASSERT_EQ(lines.size(), 5u + 11025u);
    EXPECT_EQ(lines[0], "Data Points");
    EXPECT_EQ(lines[1], "Sampling Frequency=11025 Hz");
    EXPECT_EQ(lines[2], "Sampling Resolution=8 Bits");
    EXPECT_EQ(lines[3], "Total Data Points=11025");
    EXPECT_EQ(lines[4], "No.,     Time (S),     Channel A (V)");
    EXPECT_EQ(lines[5], "0,   0.000000,   0.000000");
    double lo = 0, hi = 0;
    for (std::size_t i = 5; i < lines.size(); ++i) {
        double volts = std::atof(lines[i].substr(lines[i].rfind(' ') + 1).c_str());
        lo = std::min(lo, volts);
        hi = std::max(hi, volts);
    }
    EXPECT_EQ(lo, -1.0);
    EXPECT_EQ(hi, 1.0);
    EXPECT_EQ(lines.back().substr(0, 20), "11024,   0.999909,  ");
}

// Every line of a stereo 16-bit second equals what printf's "%d,   %f,   %f,   %f" makes of
// the WAV export's samples.
TEST_F(ExportFixture, TextLinesAreExactlyThoseOfPrintf) {
    format(4, 1, 1);
    settings.waveformIndexA = kWaveformPinkNoise;
    settings.waveformIndexB = kWaveformSawTooth;
    settings.frequencyB = 440;
    settings.amplitudeB = 700;
    calibration.outputFullScale16 = 1234.5f;
    const std::string wave = exportWave(2);
    const std::vector<std::string> lines = SplitCrLf(exportText(2));
    ASSERT_EQ(lines.size(), 5u + 192000u);
    EXPECT_EQ(lines[3], "Total Data Points=192000");
    EXPECT_EQ(lines[4], "No.,     Time (S),     Channel A (V),     Channel B (V)");
    char expected[160];
    for (std::size_t i = 0; i < 192000; ++i) {
        auto a = static_cast<std::int16_t>(U16(wave, 44 + 4 * i));
        auto b = static_cast<std::int16_t>(U16(wave, 46 + 4 * i));
        std::snprintf(expected, sizeof expected, "%d,   %f,   %f,   %f", static_cast<int>(i),
                      static_cast<double>(i) / 96000.0, a * calibration.outputFullScale16 * 3.0518510e-08,
                      b * calibration.outputFullScale16 * 3.0518510e-08);
        ASSERT_EQ(lines[5 + i], expected) << "line " << i;
    }
}

TEST_F(ExportFixture, ZeroSecondsOfTextIsTheFiveHeaderLines) {
    EXPECT_EQ(exportText(0), "Data Points\r\nSampling Frequency=44100 Hz\r\nSampling Resolution=16 Bits\r\n"
                             "Total Data Points=0\r\nNo.,     Time (S),     Channel A (V)\r\n");
}

TEST(SampleTime, MatchesPrintfAtEveryRateIncludingHalves) {
    char expected[64];
    for (const auto& row : RateTable()) {
        const auto rate = static_cast<std::uint32_t>(row.value);
        std::vector<std::uint64_t> indexes;
        for (std::uint64_t i = 0; i < 200000; ++i) indexes.push_back(i);
        for (std::uint64_t i = 1'999'990'000ull; i < 2'000'010'000ull; ++i) indexes.push_back(i);
        indexes.push_back(400'000'000'000'000ull + 6);
        // One index after another, as the table is written, and each index on its own.
        SampleTimeText running(rate, indexes.front());
        char text[64];
        for (std::size_t i = 0; i < indexes.size(); ++i) {
            if (i > 0 && indexes[i] != indexes[i - 1] + 1) running = SampleTimeText(rate, indexes[i]);
            std::snprintf(expected, sizeof expected, "%f", static_cast<double>(indexes[i]) / rate);
            ASSERT_EQ(std::string(text, running.put(text)), expected) << indexes[i] << " at " << rate;
        }
        std::string single;
        AppendSampleTime(single, 123457, rate);
        std::snprintf(expected, sizeof expected, "%f", 123457.0 / rate);
        EXPECT_EQ(single, expected);
    }
}

TEST_F(ExportFixture, SoxReadsTheSameFormatAndDuration) {
    if (std::system("command -v soxi >/dev/null 2>&1") != 0) GTEST_SKIP() << "sox is not installed";
    struct Case {
        int rate, resolution, channels;
        std::uint32_t seconds;
        const char* expected;  // rate channels bits samples
    };
    const Case cases[] = {{2, 1, 0, 2, "44100 1 16 88200"}, {0, 0, 1, 1, "11025 2 8 11025"},
                          {4, 1, 1, 3, "96000 2 16 288000"}, {0, 0, 0, 1, "11025 1 8 11025"}};
    for (const Case& c : cases) {
        format(c.rate, c.resolution, c.channels);
        const auto path = dir / "sox.wav";
        ASSERT_EQ(ExportGeneratedSignal(sources, path, ExportFileType::Wave, c.seconds), ExportOutcome::Written);
        const std::string command = "soxi -r '" + path.string() + "' && soxi -c '" + path.string() + "' && soxi -b '" +
                                    path.string() + "' && soxi -s '" + path.string() + "'";
        std::FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string output;
        char chunk[256];
        while (std::fgets(chunk, sizeof chunk, pipe) != nullptr) output += chunk;
        EXPECT_EQ(pclose(pipe), 0) << output;
        std::istringstream words(output);
        std::string word, joined;
        while (words >> word) joined += (joined.empty() ? "" : " ") + word;
        EXPECT_EQ(joined, c.expected);
    }
}

TEST_F(ExportFixture, LibraryWithoutPointsKeepsTheOldFile) {
    writeFileBytes(dir / "good.wav", "previous");
    settings.waveformIndexA = kWaveformLibrary;
    EXPECT_EQ(ExportGeneratedSignal(sources, dir / "good.wav", ExportFileType::Wave, 3), ExportOutcome::Refused);
    EXPECT_EQ(readFileBytes(dir / "good.wav"), "previous");
    EXPECT_EQ(shell.messages(), std::vector<std::string>{"Waveform Library File have not been loaded."});
}

TEST_F(ExportFixture, UncreatableFileIsReported) {
    EXPECT_EQ(ExportGeneratedSignal(sources, dir / "missing" / "x.wav", ExportFileType::Wave, 1), ExportOutcome::Failed);
    EXPECT_EQ(ExportGeneratedSignal(sources, dir / "missing" / "x.txt", ExportFileType::Text, 1), ExportOutcome::Failed);
    EXPECT_EQ(shell.messages(), (std::vector<std::string>{"fail to create the file", "fail to create the file"}));
}

TEST_F(ExportFixture, ZeroSweepDurationIsSetToOneAndNothingStarts) {
    settings.sweepDuration = 0;
    EXPECT_EQ(ExportGeneratedSignal(sources, dir / "x.wav", ExportFileType::Wave, 1), ExportOutcome::Refused);
    EXPECT_EQ(settings.sweepDuration, 1u);
    EXPECT_FALSE(std::filesystem::exists(dir / "x.wav"));
}

TEST_F(ExportFixture, WaveTooLongForRiffIsRefused) {
    format(4, 1, 1);
    EXPECT_EQ(ExportGeneratedSignal(sources, dir / "x.wav", ExportFileType::Wave, 11200), ExportOutcome::Refused);
    EXPECT_EQ(shell.messages(), std::vector<std::string>{"The signal is too long for a WAV file."});
    EXPECT_TRUE(WaveFitsRiff(OutputFormatFor(settings), 11184));
}

TEST_F(ExportFixture, MultiTonesCheckNamesTheSamplingFrequency) {
    settings.waveformIndexA = settings.waveformIndexB = kWaveformMultiTones;
    tones[0].append(kWaveformSine, 44100, 1);
    EXPECT_FALSE(MultiTonesCheck(settings, tones));
    tones[1].append(kWaveformSine, 44101, 1);
    EXPECT_FALSE(MultiTonesCheck(settings, tones));  // B is not played on a mono output
    settings.channelsIndex = 1;
    EXPECT_EQ(MultiTonesCheck(settings, tones),
              "The multitone file contains fundamental frequency outside the range 1~44100 Hz");
    settings.sweepEnabled = true;
    EXPECT_FALSE(MultiTonesCheck(settings, tones));
    settings.sweepEnabled = false;
    EXPECT_EQ(SaveGeneratedSignal(sources, [] { return std::optional<std::uint32_t>(1); }), ExportOutcome::Refused);
    EXPECT_TRUE(shell.fileRequests.empty());
}

TEST_F(ExportFixture, SaveFlowFollowsTheSelectedFilter) {
    int asked = 0;
    auto askOne = [&] {
        ++asked;
        return std::optional<std::uint32_t>(1);
    };
    shell.saveFileAnswers.push_back((dir / "plain").string());
    shell.saveFilterAnswers.push_back(1);
    EXPECT_EQ(SaveGeneratedSignal(sources, askOne), ExportOutcome::Written);
    EXPECT_EQ(shell.fileRequests.back().filter, "Wave File (*.wav)|*.wav|Text File (*.txt)|*.txt|");
    EXPECT_EQ(readFileBytes(dir / "plain.txt").substr(0, 11), "Data Points");

    // The type follows the filter, not the typed extension.
    shell.saveFileAnswers.push_back((dir / "typed.wav").string());
    shell.saveFilterAnswers.push_back(1);
    EXPECT_EQ(SaveGeneratedSignal(sources, askOne), ExportOutcome::Written);
    EXPECT_EQ(readFileBytes(dir / "typed.wav").substr(0, 11), "Data Points");

    shell.saveFileAnswers.push_back((dir / "wave").string());
    shell.saveFilterAnswers.push_back(0);
    EXPECT_EQ(SaveGeneratedSignal(sources, askOne), ExportOutcome::Written);
    EXPECT_EQ(readFileBytes(dir / "wave.wav").substr(0, 4), "RIFF");
    EXPECT_EQ(asked, 3);

    // A sweep takes its own duration and asks nothing.
    settings.sweepEnabled = true;
    settings.sweepDuration = 2;
    shell.saveFileAnswers.push_back((dir / "sweep").string());
    EXPECT_EQ(SaveGeneratedSignal(sources, askOne), ExportOutcome::Written);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(U32(readFileBytes(dir / "sweep.wav"), 40), 2u * 88200u);

    // Cancelling either dialog ends the operation.
    settings.sweepEnabled = false;
    const std::size_t requests = shell.fileRequests.size();
    EXPECT_EQ(SaveGeneratedSignal(sources, [] { return std::optional<std::uint32_t>(); }), ExportOutcome::Cancelled);
    EXPECT_EQ(shell.fileRequests.size(), requests);
    EXPECT_EQ(SaveGeneratedSignal(sources, askOne), ExportOutcome::Cancelled);
    EXPECT_TRUE(shell.messages().empty());
}

TEST(ExportFileName, ExtensionOnlyWhenTheNameHasNoDot) {
    EXPECT_EQ(ExportFileName("/tmp/signal", ExportFileType::Wave), "/tmp/signal.wav");
    EXPECT_EQ(ExportFileName("/tmp/signal", ExportFileType::Text), "/tmp/signal.txt");
    EXPECT_EQ(ExportFileName("/tmp/signal.dat", ExportFileType::Text), "/tmp/signal.dat");
    EXPECT_EQ(ExportFileName("/home/me/.config/signal", ExportFileType::Wave), "/home/me/.config/signal.wav");
}

struct DurationRow {
    const char* text;
    std::optional<std::uint32_t> seconds;
};
class DurationText : public ::testing::TestWithParam<DurationRow> {};

TEST_P(DurationText, UnsignedIntegersOnly) {
    RecordingShell shell;
    DurationDialog dialog;
    EXPECT_EQ(dialog.text, "1");
    dialog.text = GetParam().text;
    EXPECT_EQ(dialog.accept(shell), GetParam().seconds);
    if (GetParam().seconds) {
        EXPECT_TRUE(shell.messages().empty());
    } else {
        EXPECT_EQ(shell.messages(), std::vector<std::string>{"Please enter a positive integer."});
    }
}
INSTANTIATE_TEST_SUITE_P(Texts, DurationText,
                         ::testing::Values(DurationRow{"1", 1u}, DurationRow{"0", 0u}, DurationRow{" 60 ", 60u},
                                           DurationRow{"4294967295", 4294967295u}, DurationRow{"4294967296", {}},
                                           DurationRow{"-1", {}}, DurationRow{"1.5", {}}, DurationRow{"", {}},
                                           DurationRow{"12a", {}}));

}  // namespace
}  // namespace tonewell
