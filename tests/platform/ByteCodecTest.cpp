#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "platform/FileByteReader.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tonewell {
namespace {

using testing::TempDir;
using testing::writeFileBytes;

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<std::uint8_t> out;
    for (int v : values) out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

TEST(ByteWriterTest, FieldsAreLittleEndianWithoutPadding) {
    ByteWriter w;
    w.u8(0xA5);
    w.u16(0x1234);
    w.u32(0xDEADBEEF);
    w.flag(true);
    w.flag(false);
    w.f32(1.0f);
    w.text("RIFF");
    const std::vector<std::uint8_t> expected =
        Bytes({0xA5, 0x34, 0x12, 0xEF, 0xBE, 0xAD, 0xDE, 1, 0, 0, 0, 0x00, 0x00, 0x80, 0x3F, 'R', 'I', 'F', 'F'});
    EXPECT_EQ(std::vector<std::uint8_t>(w.data().begin(), w.data().end()), expected);
    EXPECT_EQ(w.chars().substr(15), "RIFF");
}

TEST(ByteCodecTest, EveryFieldReadsBackAsWritten) {
    ByteWriter w;
    w.u8(0xFF);
    w.u16(0xFFFF);
    w.u16(static_cast<std::uint16_t>(-300));
    w.u32(0x80000000u);
    w.u32(static_cast<std::uint32_t>(-123456789));
    w.f32(-0.0f);
    w.f32(3.4e38f);
    w.u16(1);
    w.u16(2);  // a flag word other than 1 reads as false
    ByteReader r(w.data());
    EXPECT_EQ(r.u8(), 0xFF);
    EXPECT_EQ(r.u16(), 0xFFFF);
    EXPECT_EQ(r.s16(), -300);
    EXPECT_EQ(r.u32(), 0x80000000u);
    EXPECT_EQ(r.s32(), -123456789);
    const float negativeZero = r.f32();
    EXPECT_TRUE(negativeZero == 0.0f && std::signbit(negativeZero));
    EXPECT_EQ(r.f32(), 3.4e38f);
    EXPECT_TRUE(r.flag());
    EXPECT_FALSE(r.flag());
    EXPECT_EQ(r.remaining(), 0u);
    EXPECT_FALSE(r.overrun());
}

// One field read where only some of its bytes remain.
struct ShortCase {
    const char* name;
    std::size_t available;  // bytes in the reader
    int field;              // 0 u8, 1 u16, 2 u32, 3 f32, 4 flag, 5 four raw bytes
};

class ByteReaderPastTheEnd : public ::testing::TestWithParam<ShortCase> {};

TEST_P(ByteReaderPastTheEnd, LeavesTheTargetAndEndsTheReading) {
    const ShortCase& c = GetParam();
    const std::vector<std::uint8_t> bytes(c.available, 0x11);
    ByteReader r(bytes);
    bool read = true;
    switch (c.field) {
    case 0: {
        std::uint8_t v = 7;
        read = r.readU8(v);
        EXPECT_EQ(v, 7);
        break;
    }
    case 1: {
        std::uint16_t v = 7;
        read = r.readU16(v);
        EXPECT_EQ(v, 7);
        break;
    }
    case 2: {
        std::uint32_t v = 7;
        read = r.readU32(v);
        EXPECT_EQ(v, 7u);
        break;
    }
    case 3: {
        float v = 7.0f;
        read = r.readF32(v);
        EXPECT_EQ(v, 7.0f);
        break;
    }
    case 4: {
        bool v = true;
        read = r.readFlag(v);
        EXPECT_TRUE(v);
        break;
    }
    default: {
        char id[4] = {'a', 'b', 'c', 'd'};
        read = r.readId(id);
        EXPECT_EQ(std::string(id, 4), "abcd");
    }
    }
    EXPECT_FALSE(read);
    EXPECT_TRUE(r.overrun());
    // Whatever bytes were left are not read by a smaller field afterwards: the reading is over.
    EXPECT_EQ(r.remaining(), 0u);
    EXPECT_EQ(r.u8(), 0);
    EXPECT_FALSE(r.has(1));
}

INSTANTIATE_TEST_SUITE_P(Fields, ByteReaderPastTheEnd,
                         ::testing::Values(ShortCase{"U8OfNothing", 0, 0}, ShortCase{"U16OfOne", 1, 1},
                                           ShortCase{"U32OfThree", 3, 2}, ShortCase{"F32OfTwo", 2, 3},
                                           ShortCase{"FlagOfOne", 1, 4}, ShortCase{"IdOfThree", 3, 5}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ByteReaderTest, SkipsAreCheckedLikeReads) {
    const std::vector<std::uint8_t> bytes = Bytes({1, 2, 3, 4, 5});
    ByteReader r(bytes);
    EXPECT_TRUE(r.skip(2));
    EXPECT_EQ(r.u8(), 3);
    EXPECT_TRUE(r.skip(2));  // exactly to the end
    EXPECT_TRUE(r.skip(0));
    EXPECT_FALSE(r.overrun());
    ByteReader far(bytes);
    EXPECT_FALSE(far.skip(0xFFFFFFFFFFFFFFFFull));
    EXPECT_TRUE(far.overrun());
    EXPECT_EQ(far.position(), 5u);
    // The value forms give 0 past the end, and the overrun stays reported.
    EXPECT_EQ(far.u32(), 0u);
    EXPECT_FALSE(far.flag());
}

TEST(FileByteReaderTest, ReadsTheFileFieldByFieldAndStopsAtItsEnd) {
    TempDir dir;
    writeFileBytes(dir / "f.bin", std::string("\x34\x12xyzw\x78\x56\x34\x12\x01", 11));
    FileByteReader r;
    ASSERT_TRUE(r.open(dir / "f.bin"));
    EXPECT_EQ(r.size(), 11u);
    EXPECT_EQ(r.u16(), 0x1234);
    EXPECT_TRUE(r.skip(4));
    EXPECT_EQ(r.u32(), 0x12345678u);
    std::uint16_t v = 9;
    EXPECT_FALSE(r.readU16(v));
    EXPECT_EQ(v, 9);
    EXPECT_TRUE(r.overrun());

    // Opening again starts over.
    ASSERT_TRUE(r.open(dir / "f.bin"));
    EXPECT_FALSE(r.overrun());
    EXPECT_EQ(r.u16(), 0x1234);

    FileByteReader missing;
    EXPECT_FALSE(missing.open(dir / "none.bin"));
    EXPECT_FALSE(missing.open(dir.path()));  // a folder is no file
    EXPECT_FALSE(missing.has(1));
}

}  // namespace
}  // namespace tonewell
