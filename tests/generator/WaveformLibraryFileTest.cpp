#include "generator/WaveformLibraryFile.h"
#include "platform/RecordingShell.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tonewell {
namespace {

using testing::TempDir;
using testing::writeFileBytes;

std::string Points(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += std::to_string(i) + "," + std::to_string(i) + ".5," + std::to_string(-i) + "\n";
    return text;
}

class LibraryFixture : public ::testing::Test {
protected:
    TempDir dir;
    RecordingShell shell;
    WaveformLibrary library;
    std::string toneFilePath = "before";

    bool load(const std::string& text) {
        auto path = dir / "lib.wfl";
        writeFileBytes(path, text);
        return LoadLibrary(path, library, toneFilePath, shell);
    }
};

TEST_F(LibraryFixture, ExactlyInitialSizeReusesTheArrays) {
    const float* a = library.pointsA.data();
    const float* b = library.pointsB.data();
    ASSERT_TRUE(load(Points(1024)));
    EXPECT_EQ(library.pointCount, 1024u);
    EXPECT_EQ(library.pointsA.data(), a);
    EXPECT_EQ(library.pointsB.data(), b);
    EXPECT_EQ(library.pointsA[1023], 1023.5f);
    EXPECT_EQ(library.pointsB[1023], -1023.0f);
    EXPECT_EQ(toneFilePath, (dir / "lib.wfl").string());
}

TEST_F(LibraryFixture, LargerFileReplacesAndASmallerOneNeverShrinks) {
    ASSERT_TRUE(load(Points(1025)));
    EXPECT_EQ(library.pointCount, 1025u);
    EXPECT_GE(library.pointsA.size(), 1025u);
    EXPECT_EQ(library.pointsA[1024], 1024.5f);
    const float* grown = library.pointsA.data();
    ASSERT_TRUE(load(Points(3)));
    EXPECT_EQ(library.pointCount, 3u);
    EXPECT_EQ(library.pointsA.data(), grown);
    EXPECT_GE(library.capacity(), 1025u);
}

TEST_F(LibraryFixture, OnePointIsRefused) {
    ASSERT_TRUE(load(Points(10)));
    EXPECT_FALSE(load("0,1,2\n"));
    EXPECT_EQ(library.pointCount, 0u);
    EXPECT_FALSE(library.loaded());
    EXPECT_EQ(shell.messages(), std::vector<std::string>{"The minimum number of data points allowed for each channel is 2."});
    EXPECT_EQ(toneFilePath, (dir / "lib.wfl").string());  // still the library loaded before
}

struct LinesRow {
    const char* name;
    const char* text;
    unsigned points;
    float firstA, lastB;
};
class LibraryLines : public LibraryFixture, public ::testing::WithParamInterface<LinesRow> {};

TEST_P(LibraryLines, OnlyThreeNumberLinesArePoints) {
    ASSERT_TRUE(load(GetParam().text));
    EXPECT_EQ(library.pointCount, GetParam().points);
    EXPECT_EQ(library.pointsA[0], GetParam().firstA);
    EXPECT_EQ(library.pointsB[library.pointCount - 1], GetParam().lastB);
}
INSTANTIATE_TEST_SUITE_P(
    Files, LibraryLines,
    ::testing::Values(LinesRow{"Plain", "0,1,2\n1,3,4\n", 2, 1, 4},
                      LinesRow{"CrLfAndSpaces", "0, 1, 2\r\n 1,-3e1, +4.25\r\n", 2, 1, 4.25f},
                      LinesRow{"HeaderAndJunkSkipped", "time,a,b\n0,1,2\nx\n\n1,2\n1,5,6\n1,2,3,4\n", 2, 1, 6},
                      LinesRow{"NoFinalNewline", "0,1,2\n1,7,8", 2, 1, 8},
                      LinesRow{"NotANumberSkipped", "0,nan,1\n0,1,inf\n0,.5,1\n1,2,3.\n", 2, 0.5f, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LibraryFixture, MissingFileLeavesNoLibraryAndNoMessage) {
    ASSERT_TRUE(load(Points(5)));
    EXPECT_FALSE(LoadLibrary(dir / "absent.wfl", library, toneFilePath, shell));
    EXPECT_EQ(library.pointCount, 0u);
    EXPECT_TRUE(shell.messages().empty());
}

}  // namespace
}  // namespace tonewell
