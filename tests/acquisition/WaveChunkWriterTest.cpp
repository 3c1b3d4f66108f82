#include "acquisition/WaveChunkWriter.h"

#include <gtest/gtest.h>

namespace tonewell {
namespace {

// The RIFF size (data + 44 + LIST size + pad) must stay within 32 bits; the last byte counts.
TEST(WaveChunkWriterTest, FileFitsWhileTheRiffSizeFitsThirtyTwoBits) {
    constexpr std::uint64_t kMax = 0xFFFFFFFFull;
    const std::uint64_t monoList = 14 + 20;
    EXPECT_TRUE(WaveFileFits(kMax - 44 - monoList - 1, kSamplingTypeA, 0));  // even data
    EXPECT_FALSE(WaveFileFits(kMax - 44 - monoList + 1, kSamplingTypeA, 0));
    // Odd data takes a pad byte; an odd note takes one as well.
    EXPECT_FALSE(WaveFileFits(kMax - 44 - monoList, kSamplingTypeA, 0));
    const std::uint64_t stereoList = 20 + 20;
    EXPECT_TRUE(WaveFileFits(kMax - 44 - stereoList - 1, kSamplingTypeAB, 0));
    EXPECT_FALSE(WaveFileFits(kMax - 44 - stereoList + 1, kSamplingTypeAB, 0));
    EXPECT_FALSE(WaveFileFits(kMax - 44 - monoList - 1, kSamplingTypeA, 1));
    EXPECT_FALSE(WaveFileFits(kMax + 1, kSamplingTypeA, 0));
}

TEST(WaveChunkWriterTest, SizesCountThePadBytes) {
    InfoBlock info;
    info.samplingType = kSamplingTypeAB;
    const WaveChunkWriter chunks(MakePcmFormat(1, 8000, 8), 7, info, "odd");
    EXPECT_EQ(chunks.listSize(), 3u + 20 + 20 + 1);
    EXPECT_EQ(chunks.riffSize(), 7u + 1 + 44 + chunks.listSize());
    ByteWriter header;
    chunks.writeHeader(header);
    EXPECT_EQ(header.size(), 44u);
    ByteWriter trailer;
    chunks.writeTrailer(trailer);
    // Everything but "RIFF" and its size counts.
    EXPECT_EQ(header.size() + 7 + trailer.size() - 8, chunks.riffSize());
}

}  // namespace
}  // namespace tonewell
