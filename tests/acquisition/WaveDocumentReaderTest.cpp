#include "acquisition/WaveDocumentReader.h"

#include "acquisition/WavBytes.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace tonewell {
namespace {

using namespace tonewell::testing;

WaveReadResult readBytes(const std::string& bytes, SignalRecord& record) {
    ByteReader source({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    return ReadWaveDocument(source, record);
}

const std::string kMonoData = chunk("data", samples16({1, -1, 300, -300}));

struct MalformedCase {
    const char* name;
    std::string bytes;
    const char* message;
};

std::string infoList(const std::string& subChunks, std::int64_t declared = -1) {
    return chunk("LIST", "INFO" + subChunks, declared);
}

std::vector<MalformedCase> malformedCases() {
    const std::string fmt16 = chunk("fmt ", fmtBody(1, 44100, 16));
    std::string truncatedHeader = "RIFF";
    putU16(truncatedHeader, 7);
    return {
        {"Empty", "", kMessageNonRiff},
        {"BigEndianRiff", "RIFX" + riff(fmt16 + kMonoData).substr(4), kMessageNonRiff},
        {"NotWave", "RIFF\x10\0\0\0WAVX" + fmt16, kMessageNonWave},
        {"HeaderCutShort", truncatedHeader, kMessageUnsupported},
        {"FloatFormat", riff(chunk("fmt ", fmtBody(1, 44100, 32, 3, 4)) + kMonoData), kMessageNonPcm},
        {"Extensible", riff(chunk("fmt ", fmtBody(1, 44100, 16, 0xFFFE)) + kMonoData), kMessageNonPcm},
        {"ThreeChannels", riff(chunk("fmt ", fmtBody(3, 8000, 16)) + kMonoData), kMessageTooManyChannels},
        {"ZeroChannels", riff(chunk("fmt ", fmtBody(0, 8000, 16, 1, 2)) + kMonoData), kMessageTooManyChannels},
        {"ZeroRate", riff(chunk("fmt ", fmtBody(1, 0, 16)) + kMonoData), kMessageZeroFrequency},
        {"TwentyFourBits", riff(chunk("fmt ", fmtBody(2, 48000, 24, 1, 6)) + kMonoData), kMessageTooManyBits},
        {"ZeroBits", riff(chunk("fmt ", fmtBody(1, 8000, 0, 1, 1)) + kMonoData), kMessageUnsupported},
        {"BlockAlignZero", riff(chunk("fmt ", fmtBody(1, 8000, 16, 1, 0)) + kMonoData), kMessageUnsupported},
        {"BlockAlignOdd", riff(chunk("fmt ", fmtBody(1, 8000, 16, 1, 3)) + kMonoData), kMessageUnsupported},
        {"ShortFmt", riff(chunk("fmt ", fmtBody(1, 8000, 16).substr(0, 14)) + kMonoData), kMessageUnsupported},
        {"FmtPastEnd", riff(chunk("fmt ", fmtBody(1, 8000, 16), 1000)), kMessageUnsupported},
        {"ChunkSizeNearlyFourGigabytes", riff(fmt16 + chunk("junk", "abcd", 0xFFFFFFF8) + kMonoData),
         kMessageUnsupported},
        {"ListSizeNearlyFourGigabytes", riff(fmt16 + kMonoData + chunk("LIST", "INFO", 0xFFFFFFF8)),
         kMessageUnsupported},
        {"ListShorterThanItsType", riff(fmt16 + kMonoData + chunk("LIST", "IN")), kMessageUnsupported},
        {"SubChunkPastItsList",
         riff(fmt16 + kMonoData + chunk("LIST", "INFO" + chunk("ICMT", "hello", 400))), kMessageUnsupported},
        {"DataBeforeFmt", riff(kMonoData + fmt16), kMessageUnsupported},
        {"NoData", riff(fmt16), kMessageUnsupported},
        {"FmtAfterData", riff(fmt16 + kMonoData + chunk("fmt ", fmtBody(1, 8000, 8))), kMessageUnsupported},
        {"NoChunks", riff(""), kMessageUnsupported},
    };
}

class MalformedWaveTest : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedWaveTest, IsRefusedWithItsMessage) {
    SignalRecord record;
    const WaveReadResult result = readBytes(GetParam().bytes, record);
    EXPECT_FALSE(result.accepted);
    ASSERT_FALSE(result.messages.empty());
    EXPECT_EQ(result.messages.back(), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Files, MalformedWaveTest, ::testing::ValuesIn(malformedCases()),
                         [](const auto& info) { return std::string(info.param.name); });

struct SizeCase {
    const char* name;
    std::int64_t riffSize;  // -1: correct
    std::int64_t dataSize;  // -1: correct
    std::uint32_t frames;   // frames that load
};

class WrongSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(WrongSizeTest, SizesPastTheEndAreClampedToTheFile) {
    const SizeCase& c = GetParam();
    const std::string bytes =
        riff(chunk("fmt ", fmtBody(1, 44100, 16)) + chunk("data", samples16({1, 2, 3, 4, 5}), c.dataSize, false),
             c.riffSize);
    SignalRecord record;
    const WaveReadResult result = readBytes(bytes, record);
    ASSERT_TRUE(result.accepted) << (result.messages.empty() ? "" : result.messages.back());
    EXPECT_EQ(record.sampleCount, c.frames);
    for (std::uint32_t i = 0; i < c.frames; ++i) EXPECT_EQ(record.dataA[i], 32768 + i + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Streamed, WrongSizeTest,
    ::testing::Values(SizeCase{"Correct", -1, -1, 5}, SizeCase{"RiffZero", 0, -1, 5},
                      SizeCase{"RiffUnknown", 0xFFFFFFFF, -1, 5}, SizeCase{"BothUnknown", 0xFFFFFFFF, 0xFFFFFFFF, 5},
                      SizeCase{"BothZero", 0, 0, 5}, SizeCase{"DataPastEnd", -1, 1000, 5},
                      SizeCase{"DataOddPastEnd", 0xFFFFFFFF, 11, 5}, SizeCase{"DataShort", -1, 6, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WaveReaderTest, ChunksAroundTheDataAreWalkedWithTheirPadBytes) {
    const std::string bytes =
        riff(chunk("junk", "odd") + chunk("fmt ", fmtBody(1, 8000, 8)) + chunk("LIST", "adtlxyz") +
             chunk("data", std::string("\x80\x81\x7f", 3)) + infoList(chunk("ICMT", "note")));
    SignalRecord record;
    const WaveReadResult result = readBytes(bytes, record);
    ASSERT_TRUE(result.accepted);
    EXPECT_EQ(record.sampleCount, 3u);
    EXPECT_EQ(record.dataA[2], 0x7f);
    EXPECT_EQ(record.notes, "note");
}

TEST(WaveReaderTest, LongFmtChunkIsSkippedToItsEnd) {
    std::string fmt = fmtBody(2, 22050, 16);
    putU16(fmt, 22);
    fmt += std::string(22, 'x');
    const std::string bytes = riff(chunk("fmt ", fmt) + chunk("data", samples16({-32768, 32767})));
    SignalRecord record;
    ASSERT_TRUE(readBytes(bytes, record).accepted);
    EXPECT_EQ(record.sampleCount, 1u);
    EXPECT_EQ(record.dataA[0], 0);
    EXPECT_EQ(record.dataB[0], 65535);
    EXPECT_EQ(record.riffHeader.format.extraSize, 0);
    EXPECT_EQ(record.riffHeader.format.samplesPerSecond, 22050u);
}

TEST(WaveReaderTest, StereoSixteenBitFramesSplitIntoTheirChannelsAcrossWholeAndOddRuns) {
    std::vector<int> words;
    for (int i = 0; i < 19; ++i) words.insert(words.end(), {i * 3001 - 30000, -i * 1709 + 2});  // A, B of frame i
    SignalRecord record;
    ASSERT_TRUE(readBytes(riff(chunk("fmt ", fmtBody(2, 48000, 16)) + chunk("data", samples16(words))), record).accepted);
    ASSERT_EQ(record.sampleCount, 19u);
    for (std::size_t i = 0; i < 19; ++i) {
        EXPECT_EQ(record.dataA[i], words[2 * i] + 32768) << i;
        EXPECT_EQ(record.dataB[i], words[2 * i + 1] + 32768) << i;
    }
}

TEST(WaveReaderTest, NoteStopsAtItsLimitAndAtANul) {
    const std::string longNote(2000, 'n');
    SignalRecord record;
    const std::string fmtData = chunk("fmt ", fmtBody(1, 8000, 16)) + kMonoData;
    ASSERT_TRUE(readBytes(riff(fmtData + infoList(chunk("ICMT", longNote) + chunk("ICMT", "x"))), record).accepted);
    // The second note shows that the first one's rest was passed over.
    EXPECT_EQ(record.notes, "x");
    ASSERT_TRUE(readBytes(riff(fmtData + infoList(chunk("ICMT", longNote))), record).accepted);
    EXPECT_EQ(record.notes, std::string(1023, 'n'));
    ASSERT_TRUE(readBytes(riff(fmtData + infoList(chunk("ICMT", std::string("ab\0cd", 5)))), record).accepted);
    EXPECT_EQ(record.notes, "ab");
}

// An IBIN block of type, interval, channel records (resolution 16, +-500 x 10^-2 V) and version.
std::string infoBlock(int type, int channels, std::size_t extra = 0) {
    std::string info;
    info += static_cast<char>(type);
    putU16(info, 12345);
    info += '\x04';
    for (int channel = 0; channel < channels; ++channel) {
        info += '\x10';
        putU16(info, 500);
        putU16(info, static_cast<std::uint16_t>(-500));
        info += '\x0a';
    }
    info += "02.5";
    return info + std::string(extra, 'x');
}

struct ForeignInfoCase {
    const char* name;
    std::string block;
};

class ForeignInfoBlockTest : public ::testing::TestWithParam<ForeignInfoCase> {};

// Another program's IBIN, or a damaged one, is passed over: the record keeps what its data
// chunk gave it, and the chunks after the block are still read.
TEST_P(ForeignInfoBlockTest, IsIgnoredAndTheDataChunkDefaultsStay) {
    const std::string bytes = riff(chunk("fmt ", fmtBody(1, 8000, 16)) + kMonoData +
                                   infoList(chunk("IBIN", GetParam().block) + chunk("ICMT", "after")));
    SignalRecord record;
    const WaveReadResult result = readBytes(bytes, record);
    ASSERT_TRUE(result.accepted) << (result.messages.empty() ? "" : result.messages.back());
    EXPECT_TRUE(result.messages.empty());
    EXPECT_EQ(record.samplingType, kSamplingTypeA);
    EXPECT_EQ(record.intervalMantissa, 12500);  // 1 / 8000 s
    EXPECT_EQ(record.intervalExponent, 4);
    EXPECT_EQ(record.resolutionA, 16);
    EXPECT_EQ(record.rangeMaxA, 1);
    EXPECT_EQ(record.rangeMinA, -1);
    EXPECT_EQ(record.rangeExponentA, 12);
    EXPECT_EQ(record.zeroA, 32768);
    EXPECT_EQ(record.rangeMaxB, 0);
    EXPECT_STREQ(record.version.data(), "01.0");
    EXPECT_EQ(record.sampleCount, 4u);
    EXPECT_EQ(record.notes, "after");
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, ForeignInfoBlockTest,
    ::testing::Values(ForeignInfoCase{"Empty", ""}, ForeignInfoCase{"TypeOnly", "\x01"},
                      ForeignInfoCase{"CutShort", std::string("\x03\x01\x02\x03", 4)},
                      ForeignInfoCase{"TwoChannelTypeWithOneChannel", infoBlock(3, 1)},
                      ForeignInfoCase{"OneChannelTypeWithTwoChannels", infoBlock(1, 2)},
                      ForeignInfoCase{"LongerThanItsType", infoBlock(1, 1, 2)},
                      ForeignInfoCase{"OddAndLonger", infoBlock(2, 1, 1)},
                      ForeignInfoCase{"TypeZero", infoBlock(0, 1)}, ForeignInfoCase{"TypeFour", infoBlock(4, 2)},
                      ForeignInfoCase{"TypeOfAllBits", infoBlock(0xFF, 2)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WaveReaderTest, InformationBlockOfChannelBOnlySharesChannelA) {
    std::string info;
    info += '\x02';
    putU16(info, 12500);
    info += '\x04';
    info += '\x10';
    putU16(info, 500);
    putU16(info, static_cast<std::uint16_t>(-500));
    info += '\x0a';
    info += "02.5";
    const std::string bytes =
        riff(chunk("fmt ", fmtBody(1, 8000, 16)) + kMonoData + infoList(chunk("IBIN", info)));
    SignalRecord record;
    ASSERT_TRUE(readBytes(bytes, record).accepted);
    EXPECT_EQ(record.samplingType, kSamplingTypeB);
    EXPECT_EQ(record.rangeMaxB, 500);
    EXPECT_EQ(record.rangeMinB, -500);
    EXPECT_EQ(record.rangeExponentB, 10);
    EXPECT_EQ(record.zeroB, record.zeroA);
    EXPECT_EQ(record.dataB, record.dataA);
    EXPECT_STREQ(record.version.data(), "02.5");
}

TEST(WaveReaderTest, RefusalComesAfterTheWarningsBeforeIt) {
    // 501 s of 2000 Hz 8-bit mono, then a broken list.
    const std::string bytes = riff(chunk("fmt ", fmtBody(1, 2000, 8)) + chunk("data", std::string(1002000, '\x80')) +
                                   chunk("LIST", "IN"));
    SignalRecord record;
    const WaveReadResult result = readBytes(bytes, record);
    EXPECT_FALSE(result.accepted);
    ASSERT_EQ(result.messages.size(), 2u);
    EXPECT_EQ(result.messages[0], kMessageTruncated);
    EXPECT_EQ(result.messages[1], kMessageUnsupported);
}

// Every format's frames become their codes alike across several read blocks and in the odd
// frames after them; a mono record's channel B holds zero codes.
class FrameDecodingTest : public ::testing::TestWithParam<std::pair<int, int>> {};  // channels, bits

TEST_P(FrameDecodingTest, EverySampleBecomesItsCode) {
    const auto [channels, bits] = GetParam();
    const std::size_t sampleBytes = bits == 8 ? 1 : 2;
    const std::size_t frames = 131093;
    std::string data(frames * channels * sampleBytes, '\0');
    std::uint32_t seed = 7;
    for (char& byte : data) byte = static_cast<char>((seed = seed * 1664525u + 1013904223u) >> 24);
    SignalRecord record;
    ASSERT_TRUE(readBytes(riff(chunk("fmt ", fmtBody(channels, 8000, bits)) + chunk("data", data)), record).accepted);
    ASSERT_EQ(record.sampleCount, frames);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
    for (std::size_t i = 0; i < frames; ++i)
        for (int c = 0; c < 2; ++c) {
            const std::uint8_t* s = bytes + (i * channels + c) * sampleBytes;
            const int code = c >= channels ? 0 : bits == 8 ? s[0] : static_cast<std::int16_t>(s[0] | s[1] << 8) + 32768;
            ASSERT_EQ((c == 0 ? record.dataA : record.dataB)[i], code) << "frame " << i << ", channel " << c;
        }
}

INSTANTIATE_TEST_SUITE_P(Formats, FrameDecodingTest,
                         ::testing::Values(std::pair{1, 8}, std::pair{2, 8}, std::pair{1, 16}, std::pair{2, 16}));

}  // namespace
}  // namespace tonewell
