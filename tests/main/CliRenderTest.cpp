// tonewell-cli render: the oscilloscope's picture of a record as a PNG file, without a display.
// (What the picture shows is checked pixel by pixel in the GUI tests; here the command.)

#include "main/CliRunner.h"

#include "app/PanelSetting.h"
#include "generator/ToneList.h"
#include "platform/RecordingShell.h"
#include "shared/RangeTables.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace tonewell {
namespace {

using testing::readFileBytes;
using testing::runCli;
using testing::TempDir;

// Width and height from a PNG's header chunk.
std::pair<std::uint32_t, std::uint32_t> PngSize(const std::string& bytes) {
    auto word = [&](std::size_t at) {
        return (std::uint32_t(std::uint8_t(bytes[at])) << 24) | (std::uint32_t(std::uint8_t(bytes[at + 1])) << 16) |
               (std::uint32_t(std::uint8_t(bytes[at + 2])) << 8) | std::uint32_t(std::uint8_t(bytes[at + 3]));
    };
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
    return {word(16), word(20)};
}

class CliRender : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef TONEWELL_HAVE_PICTURES
        GTEST_SKIP() << "tonewell-cli is built without pictures (no Qt)";
#endif
        ASSERT_EQ(runCli({"generate", "--output", stereo.string(), "--set", "channelsIndex=1", "--set",
                          "waveformIndexB=Square", "--set", "frequencyA=440"},
                         dir)
                      .exitCode,
                  0);
    }

    TempDir dir;
    std::filesystem::path stereo = dir / "stereo.wav";
};

TEST_F(CliRender, DrawsThePictureAtTheAskedSizeWithoutADisplay) {
    auto png = dir / "scope.png";
    // No display at all: the picture needs none.
    auto result = runCli({"render", stereo.string(), "--view", "scope", "--output", png.string(), "--size", "640x400"}, dir);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(PngSize(readFileBytes(png)), std::make_pair(640u, 400u));
    ASSERT_EQ(runCli({"render", stereo.string(), "--view", "scope", "--output", png.string()}, dir).exitCode, 0);
    EXPECT_EQ(PngSize(readFileBytes(png)), std::make_pair(960u, 600u));

    // Each type draws its own picture.
    std::string pictures[4];
    for (int type = 0; type < 4; ++type) {
        auto file = dir / ("type" + std::to_string(type) + ".png");
        auto typed = runCli({"render", stereo.string(), "--view", "scope", "--output", file.string(), "--scope-type",
                             std::to_string(type)},
                            dir);
        ASSERT_EQ(typed.exitCode, 0) << typed.err;
        pictures[type] = readFileBytes(file);
    }
    EXPECT_NE(pictures[0], pictures[1]);
    EXPECT_NE(pictures[1], pictures[2]);
    EXPECT_NE(pictures[2], pictures[3]);
}

TEST_F(CliRender, APanelsSelectionsAreDrawnInsteadOfTheFittedRanges) {
    PanelSetting panel = BuiltInPanelSetting();
    RangeTables tables;
    panel.setRow(RangeTableId::ScopeTimeRange, *tables[RangeTableId::ScopeTimeRange].rowNamed("5ms"));
    RecordingShell shell;
    std::string toneFile;
    ToneLists tones{};
    ASSERT_TRUE(WritePanelSettingFile(dir / "short.psf", panel, tones, dir.path(), toneFile, shell));

    auto fitted = dir / "fitted.png";
    auto paneled = dir / "paneled.png";
    ASSERT_EQ(runCli({"render", stereo.string(), "--view", "scope", "--output", fitted.string()}, dir).exitCode, 0);
    auto result = runCli({"render", stereo.string(), "--view", "scope", "--output", paneled.string(), "--panel",
                          (dir / "short.psf").string()},
                         dir);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(readFileBytes(fitted), readFileBytes(paneled));
}

TEST_F(CliRender, BadInputWritesNothing) {
    auto png = dir / "never.png";
    auto mono = dir / "mono.wav";
    ASSERT_EQ(runCli({"generate", "--output", mono.string()}, dir).exitCode, 0);

    auto badSize = runCli({"render", mono.string(), "--view", "scope", "--output", png.string(), "--size", "0x400"}, dir);
    EXPECT_EQ(badSize.exitCode, 2);
    EXPECT_NE(badSize.err.find("--size takes WIDTHxHEIGHT"), std::string::npos) << badSize.err;

    auto xy = runCli({"render", mono.string(), "--view", "scope", "--output", png.string(), "--scope-type", "3"}, dir);
    EXPECT_EQ(xy.exitCode, 1);
    EXPECT_NE(xy.err.find("needs a record of channels A and B"), std::string::npos) << xy.err;

    testing::writeFileBytes(dir / "text.wav", "not a wave file");
    auto refused = runCli({"render", (dir / "text.wav").string(), "--view", "scope", "--output", png.string()}, dir);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("Non-RIFF file is currently not supported"), std::string::npos) << refused.err;

    auto noFolder = runCli({"render", mono.string(), "--view", "scope", "--output", (dir / "no" / "x.png").string()}, dir);
    EXPECT_EQ(noFolder.exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(png));
}

}  // namespace
}  // namespace tonewell
