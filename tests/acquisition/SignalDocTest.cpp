#include "acquisition/SignalDoc.h"

#include "acquisition/WavBytes.h"
#include "acquisition/WaveDocumentReader.h"
#include "acquisition/WaveDocumentWriter.h"
#include "platform/RecordingShell.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tonewell {
namespace {

using namespace tonewell::testing;

class SignalDocTest : public ::testing::Test {
protected:
    SignalDocTest() { document.SetFrameHooks(&hooks); }

    bool openBytes(const std::string& bytes, const std::string& name = "in.wav") {
        writeFileBytes(dir / name, bytes);
        return document.OnOpenDocument(dir / name, kScopeTypeSeparate);
    }

    // Fills the document with a record of the given format and samples (codes as stored).
    void fill(std::uint16_t channels, std::uint16_t bits, std::uint32_t rate, const std::vector<int>& codesA,
              const std::vector<int>& codesB) {
        WaveFormat& f = document.riffHeader.format;
        f.formatTag = 1;
        f.channels = channels;
        f.bitsPerSample = bits;
        f.samplesPerSecond = rate;
        f.blockAlign = static_cast<std::uint16_t>(channels * (bits <= 8 ? 1 : 2));
        f.averageBytesPerSecond = f.blockAlign * rate;
        document.samplingType = channels == 2 ? kSamplingTypeAB : kSamplingTypeA;
        const IntervalNumber interval = NormaliseInterval(rate);
        document.intervalMantissa = interval.mantissa;
        document.intervalExponent = interval.exponent;
        document.resolutionA = document.resolutionB = static_cast<std::uint8_t>(bits);
        document.sampleCount = static_cast<std::uint32_t>(codesA.size());
        ASSERT_TRUE(document.ReallocateSamples(document.sampleCount));
        for (std::size_t i = 0; i < codesA.size(); ++i) document.dataA[i] = static_cast<std::uint16_t>(codesA[i]);
        for (std::size_t i = 0; i < codesB.size(); ++i) document.dataB[i] = static_cast<std::uint16_t>(codesB[i]);
    }

    RecordingShell shell;
    InstrumentConfiguration configuration;
    std::atomic<bool> inputRunning{true};
    RecordingFrameHooks hooks;
    TempDir dir;
    CSignalDoc document{shell, configuration, inputRunning, FreshDocumentSelection{false, 44100, 16, 0x3000 | 10}};
};

TEST_F(SignalDocTest, FreshDocumentIsAnEmptyRecordOfTheSelections) {
    EXPECT_FALSE(inputRunning.load());
    EXPECT_EQ(document.samplingType, kSamplingTypeA);
    EXPECT_EQ(document.riffHeader.format.channels, 1);
    EXPECT_EQ(document.riffHeader.format.samplesPerSecond, 44100u);
    EXPECT_EQ(document.intervalMantissa, 22675);
    EXPECT_EQ(document.intervalExponent, 3);
    EXPECT_EQ(document.resolutionA, 16);
    EXPECT_EQ(document.rangeMaxA, 1000);
    EXPECT_EQ(document.rangeMinA, -1000);
    EXPECT_EQ(document.rangeExponentA, 9);
    EXPECT_EQ(document.rangeMaxB, 1000);
    EXPECT_EQ(document.zeroA, 32768);
    EXPECT_EQ(document.zeroB, 32768);
    EXPECT_EQ(document.sampleCount, 0u);
    EXPECT_EQ(document.dataA.size(), 1u);
    EXPECT_EQ(document.dataB.size(), 1u);
    EXPECT_TRUE(document.notes.empty());
    EXPECT_FALSE(document.displayNotes);
    EXPECT_STREQ(document.version.data(), "01.0");
    EXPECT_FLOAT_EQ(document.recordDuration, 0.010f);
    EXPECT_TRUE(document.skipSavePrompt);
    EXPECT_FALSE(document.CanSave());
}

TEST_F(SignalDocTest, FreshStereoDocumentTakesTheCalibration) {
    configuration.inputFullScale8 = 5000.0f;
    document.MakeFresh({true, 8000, 8, 0x4000 | 2});
    EXPECT_EQ(document.samplingType, kSamplingTypeAB);
    EXPECT_EQ(document.riffHeader.format.channels, 2);
    EXPECT_EQ(document.riffHeader.format.blockAlign, 2);
    EXPECT_EQ(document.rangeMaxA, 500);
    EXPECT_EQ(document.rangeExponentA, 10);
    EXPECT_EQ(document.rangeMaxB, 500);
    EXPECT_EQ(document.rangeExponentB, 10);
    EXPECT_EQ(document.zeroA, 128);
    EXPECT_FLOAT_EQ(document.recordDuration, 2.0f);
}

struct RoundTripCase {
    const char* name;
    std::uint16_t channels;
    std::uint16_t bits;
    std::uint32_t frames;
    std::string note;
    bool onlyB;
};

class SignalDocRoundTripTest : public SignalDocTest, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(SignalDocRoundTripTest, SavedRecordReadsBackUnchanged) {
    const RoundTripCase& c = GetParam();
    std::vector<int> a, b;
    const int top = c.bits == 8 ? 256 : 65536;
    for (std::uint32_t i = 0; i < c.frames; ++i) {
        a.push_back(static_cast<int>((i * 7919u + 3) % top));
        b.push_back(c.channels == 2 ? static_cast<int>((i * 104729u + 11) % top) : 0);
    }
    a[0] = top - 1;  // both ends of the code range
    if (c.frames > 1) a[1] = 0;
    fill(c.channels, c.bits, 22050, a, b);
    document.rangeMaxA = 2500;
    document.rangeMinA = -2500;
    document.rangeExponentA = 8;
    if (c.onlyB) {
        document.samplingType = kSamplingTypeB;
        document.rangeMaxB = 321;
        document.rangeMinB = -321;
        document.rangeExponentB = 7;
    }
    document.notes = c.note;
    ASSERT_TRUE(document.OnSaveDocument(dir / "out.wav"));
    EXPECT_FALSE(document.IsModified());

    RecordingShell otherShell;
    CSignalDoc other(otherShell, configuration, inputRunning, FreshDocumentSelection{});
    ASSERT_TRUE(other.OnOpenDocument(dir / "out.wav", kScopeTypeSeparate));
    EXPECT_TRUE(otherShell.messages().empty());
    EXPECT_EQ(other.sampleCount, c.frames);
    EXPECT_EQ(other.riffHeader.format, document.riffHeader.format);
    EXPECT_EQ(other.samplingType, document.samplingType);
    EXPECT_EQ(other.intervalMantissa, document.intervalMantissa);
    EXPECT_EQ(other.intervalExponent, document.intervalExponent);
    EXPECT_EQ(other.notes, c.note);
    EXPECT_STREQ(other.version.data(), "01.0");
    for (std::uint32_t i = 0; i < c.frames; ++i) {
        ASSERT_EQ(other.dataA[i], a[i]) << i;
        if (c.channels == 2 && !c.onlyB) {
            ASSERT_EQ(other.dataB[i], b[i]) << i;
        }
    }
    if (c.onlyB) {
        EXPECT_EQ(other.rangeMaxB, 321);
        EXPECT_EQ(other.rangeExponentB, 7);
        EXPECT_EQ(other.dataB[0], a[0]);
    } else {
        EXPECT_EQ(other.rangeMaxA, 2500);
        EXPECT_EQ(other.rangeMinA, -2500);
        EXPECT_EQ(other.rangeExponentA, 8);
    }
    // The file's size follows the layout: pad bytes after odd data and odd notes.
    const std::uintmax_t d = c.frames * c.channels * (c.bits == 8 ? 1u : 2u);
    const std::uintmax_t info = InfoBlockSize(document.samplingType);
    EXPECT_EQ(std::filesystem::file_size(dir / "out.wav"),
              44 + d + (d & 1) + 12 + 8 + info + 8 + c.note.size() + (c.note.size() & 1));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, SignalDocRoundTripTest,
    ::testing::Values(RoundTripCase{"Mono8OddData", 1, 8, 7, "odd", false},
                      RoundTripCase{"Mono16", 1, 16, 100, "even", false},
                      RoundTripCase{"Stereo8", 2, 8, 33, "", false},
                      RoundTripCase{"Stereo16OddNote", 2, 16, 3, "a note of odd length", false},
                      RoundTripCase{"OnlyB", 1, 16, 9, "b", true},
                      RoundTripCase{"LongNote", 1, 8, 1, std::string(1023, 'q'), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SignalDocTest, SaveWritesTheExactLayout) {
    fill(2, 16, 48000, {32768, 0, 65535}, {1, 32767, 40000});
    document.notes = "abc";
    ASSERT_TRUE(document.OnSaveDocument(dir / "x.wav"));

    std::string expected = "RIFF";
    putU32(expected, 12 + 16 + 44 + 28);
    expected += "WAVEfmt ";
    putU32(expected, 16);
    expected += fmtBody(2, 48000, 16);
    expected += "data";
    putU32(expected, 12);
    expected += samples16({0, 1 - 32768, -32768, 32767 - 32768, 32767, 40000 - 32768});
    expected += "LIST";
    putU32(expected, 3 + 20 + 20 + 1);
    expected += "INFOIBIN";
    putU32(expected, 20);
    expected += '\x03';
    putU16(expected, 20833);
    expected += '\x03';
    for (int channel = 0; channel < 2; ++channel) {
        expected += '\x10';
        putU16(expected, 1000);
        putU16(expected, static_cast<std::uint16_t>(-1000));
        expected += '\x09';
    }
    expected += "01.0ICMT";
    putU32(expected, 3);
    expected += std::string("abc\0", 4);
    EXPECT_EQ(readFileBytes(dir / "x.wav"), expected);
}

TEST_F(SignalDocTest, OpensMono8BitAndSetsTheToolbar) {
    ASSERT_TRUE(openBytes(riff(chunk("fmt ", fmtBody(1, 11025, 8)) + chunk("data", std::string("\x80\xff\x00", 3)))));
    EXPECT_TRUE(shell.messages().empty());
    EXPECT_EQ(document.samplingType, kSamplingTypeA);
    EXPECT_EQ(document.resolutionA, 8);
    EXPECT_EQ(document.rangeMaxA, 1);
    EXPECT_EQ(document.rangeMinA, -1);
    EXPECT_EQ(document.rangeExponentA, 12);
    EXPECT_EQ(document.zeroA, 128);
    EXPECT_EQ(document.sampleCount, 3u);
    EXPECT_EQ(hooks.recordLengthText, "3");
    EXPECT_TRUE(hooks.channelsSelected);
    EXPECT_FALSE(hooks.bothChannels);
    EXPECT_FALSE(hooks.triggerSourceEnabled);
    EXPECT_EQ(hooks.samplingBits, 8);
    EXPECT_EQ(hooks.samplingRate, 11025);
    EXPECT_FALSE(document.skipSavePrompt);
    EXPECT_FALSE(document.IsModified());
    EXPECT_EQ(document.Title(), "in.wav");
    // Statistics follow the open: codes 128, 255, 0 are 0, 127/128 and -1 V.
    EXPECT_FLOAT_EQ(document.maxA, 127.0f / 128.0f);
    EXPECT_FLOAT_EQ(document.minA, -1.0f);
    EXPECT_EQ(document.dcOffsets.dcOffsetCodesA, 0);
}

TEST_F(SignalDocTest, StereoFileEnablesTheTriggerSource) {
    ASSERT_TRUE(openBytes(riff(chunk("fmt ", fmtBody(2, 48000, 16)) + chunk("data", samples16({0, 0})))));
    EXPECT_TRUE(hooks.bothChannels);
    EXPECT_TRUE(hooks.triggerSourceEnabled);
    EXPECT_EQ(document.zeroB, 32768);
    EXPECT_EQ(document.dataA[0], 32768);
}

TEST_F(SignalDocTest, UnknownRateAndResolutionOnlyWarn) {
    ASSERT_TRUE(openBytes(riff(chunk("fmt ", fmtBody(1, 32000, 12)) + chunk("data", samples16({5})))));
    EXPECT_EQ(shell.messages(),
              (std::vector<std::string>{"Sampling Resolution not recognized", "Sampling Frequency not recognized"}));
    EXPECT_TRUE(shell.postedCommands().empty());
    EXPECT_EQ(document.sampleCount, 1u);
    EXPECT_EQ(hooks.samplingRate, 0);
}

TEST_F(SignalDocTest, InfoBlockOfAnUnknownSamplingTypeIsPassedOver) {
    std::string info;
    info += '\x07';
    putU16(info, 22675);
    info += '\x03';
    info += "01.0";
    ASSERT_TRUE(openBytes(riff(chunk("fmt ", fmtBody(1, 44100, 16)) + chunk("data", samples16({5})) +
                               chunk("LIST", "INFO" + chunk("IBIN", info)))));
    // The record is the data chunk's: channel A alone, and the toolbar follows it.
    EXPECT_TRUE(shell.messages().empty());
    EXPECT_EQ(document.samplingType, kSamplingTypeA);
    EXPECT_TRUE(hooks.channelsSelected);
    EXPECT_FALSE(hooks.bothChannels);
}

TEST_F(SignalDocTest, RefusedFileIsReportedAndKeepsTheRecord) {
    fill(1, 16, 8000, {1, 2, 3}, {});
    document.notes = "kept";
    ASSERT_FALSE(openBytes(riff(chunk("fmt ", fmtBody(2, 48000, 24, 1, 6)) + chunk("data", std::string(6, '\0')))));
    EXPECT_EQ(shell.messages(),
              std::vector<std::string>{"A/D conversion presion greater than 16 bits is currently not supported"});
    EXPECT_TRUE(shell.postedCommands().empty());
    EXPECT_EQ(document.sampleCount, 3u);
    EXPECT_EQ(document.dataA[2], 3);
    EXPECT_EQ(document.notes, "kept");
    EXPECT_FALSE(hooks.channelsSelected);
}

TEST_F(SignalDocTest, MissingFileIsReportedWithoutClosing) {
    EXPECT_FALSE(document.OnOpenDocument(dir / "absent.wav", kScopeTypeSeparate));
    EXPECT_EQ(shell.messages().size(), 1u);
    EXPECT_TRUE(shell.postedCommands().empty());
}

TEST_F(SignalDocTest, ALongRecordsStatisticsSummedOnAThreadWhileItIsReadAreThoseSummedAfter) {
    for (const std::uint16_t channels : {2, 1}) {
        const std::uint32_t frames = (1u << 21) + 3;  // past the follower's threshold, not whole blocks
        std::string bytes = "RIFF";
        putU32(bytes, 4 + 24 + 8 + frames * 2 * channels);
        bytes += "WAVE" + chunk("fmt ", fmtBody(channels, 48000, 16)) + "data";
        putU32(bytes, frames * 2 * channels);
        std::uint32_t state = 12345;
        for (std::uint32_t i = 0; i < frames * channels; ++i) {
            state = state * 1664525u + 1013904223u;
            putU16(bytes, static_cast<std::uint16_t>((state >> 16) % 20000 + (i % 7) * 100));
        }
        document.dcOffsets = {};
        ASSERT_TRUE(openBytes(bytes));
        const SignalRecord read = document;
        const DcOffsets readOffsets = document.dcOffsets;
        document.dcOffsets = {};
        document.ComputeStatistics(kScopeTypeSeparate);
        // Bit for bit: the same sums in the same order.
        for (const auto& [threaded, after] : {std::pair{read.maxA, document.maxA}, {read.minA, document.minA},
                                              {read.meanA, document.meanA}, {read.rmsA, document.rmsA},
                                              {read.maxB, document.maxB}, {read.minB, document.minB},
                                              {read.meanB, document.meanB}, {read.rmsB, document.rmsB}})
            EXPECT_EQ(threaded, after) << channels << " channels";
        EXPECT_EQ(readOffsets.dcOffsetCodesA, document.dcOffsets.dcOffsetCodesA);
        EXPECT_EQ(readOffsets.dcOffsetCodesB, document.dcOffsets.dcOffsetCodesB);
        EXPECT_NE(read.rmsA, 0.0f);
    }
}

TEST_F(SignalDocTest, LongRecordIsCutTo500SecondsAndTheChunksAfterItAreRead) {
    // 600 s of 8000 Hz 16-bit stereo, written sparsely, followed by the information chunk.
    const std::uint32_t frames = 600 * 8000;
    const std::uint32_t d = frames * 4;
    std::string info;
    info += '\x03';
    putU16(info, 12500);
    info += '\x04';
    for (int channel = 0; channel < 2; ++channel) {
        info += '\x10';
        putU16(info, 2000);
        putU16(info, static_cast<std::uint16_t>(-2000));
        info += '\x09';
    }
    info += "01.0";
    const std::string list = chunk("LIST", "INFO" + chunk("IBIN", info) + chunk("ICMT", "after the data"));
    std::string head = "RIFF";
    putU32(head, 4 + 24 + 8 + d + static_cast<std::uint32_t>(list.size()));
    head += "WAVE" + chunk("fmt ", fmtBody(2, 8000, 16)) + "data";
    putU32(head, d);
    const auto path = dir / "long.wav";
    writeFileBytes(path, head);
    std::filesystem::resize_file(path, head.size() + d);
    {
        std::ofstream out(path, std::ios::binary | std::ios::app);
        out.write(list.data(), static_cast<std::streamsize>(list.size()));
    }
    ASSERT_TRUE(document.OnOpenDocument(path, kScopeTypeSeparate));
    EXPECT_EQ(shell.messages(),
              std::vector<std::string>{"Sampling Duration exceeds 500 seconds, data will be truncated to 500 seconds"});
    EXPECT_EQ(document.sampleCount, 500u * 8000u);
    EXPECT_EQ(document.notes, "after the data");
    EXPECT_EQ(document.rangeMaxA, 2000);
    EXPECT_EQ(document.rangeMaxB, 2000);
    EXPECT_NEAR(document.recordDuration, 500.0f, 1e-3);
    EXPECT_EQ(document.dataA[document.sampleCount - 1], 32768);
    EXPECT_EQ(hooks.recordLengthText, "4000000");
}

TEST_F(SignalDocTest, SaveModifiedAsksOnlyAfterAFileAndAChange) {
    fill(1, 16, 8000, {1, 2, 3}, {});
    document.SetModifiedFlag();
    shell.savePromptAnswer = SavePromptAnswer::Cancel;
    EXPECT_TRUE(document.SaveModified());  // fresh document: skipSavePrompt is set
    EXPECT_EQ(shell.savePrompts, 0);

    ASSERT_TRUE(document.OnSaveDocument(dir / "rec.wav"));
    EXPECT_FALSE(document.skipSavePrompt);
    EXPECT_TRUE(document.SaveModified());  // not modified since
    EXPECT_EQ(shell.savePrompts, 0);

    document.SetModifiedFlag();
    EXPECT_FALSE(document.SaveModified());
    EXPECT_EQ(shell.savePrompts, 1);
    shell.savePromptAnswer = SavePromptAnswer::No;
    EXPECT_TRUE(document.SaveModified());
    EXPECT_TRUE(document.IsModified());

    document.dataA[0] = 9;
    shell.savePromptAnswer = SavePromptAnswer::Yes;
    EXPECT_TRUE(document.SaveModified());
    EXPECT_FALSE(document.IsModified());
    RecordingShell otherShell;
    CSignalDoc other(otherShell, configuration, inputRunning, FreshDocumentSelection{});
    ASSERT_TRUE(other.OnOpenDocument(dir / "rec.wav", kScopeTypeSeparate));
    EXPECT_EQ(other.dataA[0], 9);
}

TEST_F(SignalDocTest, FileSaveOfAnUntitledDocumentAsksForAName) {
    fill(1, 8, 8000, {1}, {});
    shell.saveFileAnswers.push_back(std::nullopt);
    EXPECT_FALSE(document.DoFileSave());
    shell.saveFileAnswers.push_back((dir / "named").string());
    EXPECT_TRUE(document.DoFileSave());
    EXPECT_TRUE(std::filesystem::exists(dir / "named.wav"));
    EXPECT_EQ(document.PathName(), dir / "named.wav");
    ASSERT_EQ(shell.fileRequests.size(), 2u);
    EXPECT_EQ(shell.fileRequests[0].filter, kDocumentFilter);
}

TEST_F(SignalDocTest, FailedSaveReportsAndKeepsThePreviousFile) {
    fill(1, 8, 8000, {1}, {});
    EXPECT_FALSE(document.OnSaveDocument(dir / "missing-folder" / "x.wav"));
    EXPECT_EQ(shell.messages(), std::vector<std::string>{"Failed to save document."});
    EXPECT_TRUE(document.PathName().empty());

    // A target that cannot be replaced (here a folder) stays as it was, and no scratch file is left.
    std::filesystem::create_directory(dir / "taken.wav");
    writeFileBytes(dir / "taken.wav" / "inside", "previous");
    EXPECT_FALSE(document.OnSaveDocument(dir / "taken.wav"));
    EXPECT_EQ(readFileBytes(dir / "taken.wav" / "inside"), "previous");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    writeFileBytes(dir / "old.wav", "previous");
    ASSERT_TRUE(document.OnSaveDocument(dir / "old.wav"));
    EXPECT_EQ(readFileBytes(dir / "old.wav").substr(0, 4), "RIFF");
}

TEST_F(SignalDocTest, FileSaveIsEnabledOnlyWithARecordAndNoCapture) {
    EXPECT_FALSE(document.CanSave());
    fill(1, 8, 8000, {1}, {});
    EXPECT_TRUE(document.CanSave());
    inputRunning = true;
    EXPECT_FALSE(document.CanSave());
}

TEST_F(SignalDocTest, NewDocumentLetsTheFrontPanelApplyItsPanel) {
    fill(1, 8, 8000, {1}, {});
    ASSERT_TRUE(document.OnSaveDocument(dir / "a.wav"));
    document.SetModifiedFlag();
    EXPECT_TRUE(document.OnNewDocument());
    EXPECT_EQ(hooks.panelApplications, 1);
    EXPECT_TRUE(document.skipSavePrompt);
    EXPECT_FALSE(document.IsModified());
    EXPECT_EQ(document.Title(), "Untitled");
}

}  // namespace
}  // namespace tonewell
