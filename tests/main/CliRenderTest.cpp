// tonewell-cli render: the oscilloscope's and the spectrum view's pictures of a record as PNG
// files, without a display.
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

TEST_F(CliRender, TheSpectrumViewDrawsEachTypeAndAxisAndAPanelsChoices) {
    auto png = dir / "spectrum.png";
    auto result = runCli({"render", stereo.string(), "--view", "spectrum", "--output", png.string(), "--size", "700x450"}, dir);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(PngSize(readFileBytes(png)), std::make_pair(700u, 450u));

    const std::vector<std::vector<std::string>> choices{
        {"--type", "AMS"}, {"--type", "PHS"}, {"--type", "ACR"}, {"--type", "CCR", "--fft", "4096"},
        {"--xscale", "log"}, {"--yscale", "db", "--normalized", "off"}, {"--window", "HAN", "--fft", "8192"}};
    std::vector<std::string> pictures;
    for (const auto& options : choices) {
        auto file = dir / ("choice" + std::to_string(pictures.size()) + ".png");
        std::vector<std::string> words{"render", stereo.string(), "--view", "spectrum", "--output", file.string()};
        words.insert(words.end(), options.begin(), options.end());
        auto drawn = runCli(words, dir);
        ASSERT_EQ(drawn.exitCode, 0) << drawn.err;
        pictures.push_back(readFileBytes(file));
        for (std::size_t i = 0; i + 1 < pictures.size(); ++i) EXPECT_FALSE(pictures[i] == pictures.back()) << i;
    }

    // A panel's logarithmic dB axis is drawn as the same panel with options that ask for it.
    RecordingShell shell;
    std::string toneFile;
    ToneLists tones{};
    PanelSetting panel = BuiltInPanelSetting();
    ASSERT_TRUE(WritePanelSettingFile(dir / "plain.psf", panel, tones, dir.path(), toneFile, shell));
    panel.spectrumXScale = 1;
    panel.spectrumYScale = 1;
    ASSERT_TRUE(WritePanelSettingFile(dir / "log.psf", panel, tones, dir.path(), toneFile, shell));
    const auto draw = [&](const std::string& name, std::vector<std::string> extra) {
        std::vector<std::string> words{"render", stereo.string(), "--view", "spectrum", "--output", (dir / name).string()};
        words.insert(words.end(), extra.begin(), extra.end());
        auto drawn = runCli(words, dir);
        EXPECT_EQ(drawn.exitCode, 0) << drawn.err;
        return readFileBytes(dir / name);
    };
    const std::string fromPanel = draw("panel.png", {"--panel", (dir / "log.psf").string()});
    const std::string plain = draw("plain.png", {"--panel", (dir / "plain.psf").string()});
    const std::string asked =
        draw("asked.png", {"--panel", (dir / "plain.psf").string(), "--xscale", "log", "--yscale", "db"});
    EXPECT_TRUE(fromPanel == asked);
    EXPECT_FALSE(fromPanel == plain);
}

TEST_F(CliRender, SpectrumChoicesTheRecordOrTheViewCannotTakeAreRefused) {
    auto png = dir / "never.png";
    auto mono = dir / "mono.wav";
    ASSERT_EQ(runCli({"generate", "--output", mono.string()}, dir).exitCode, 0);

    auto ccr = runCli({"render", mono.string(), "--view", "spectrum", "--output", png.string(), "--type", "CCR"}, dir);
    EXPECT_EQ(ccr.exitCode, 1);
    EXPECT_NE(ccr.err.find("needs a record of channels A and B"), std::string::npos) << ccr.err;

    auto window = runCli({"render", mono.string(), "--view", "spectrum", "--output", png.string(), "--type", "PHS",
                          "--window", "HAN"},
                         dir);
    EXPECT_EQ(window.exitCode, 1);
    EXPECT_NE(window.err.find("AMS"), std::string::npos) << window.err;

    auto mixed = runCli({"render", mono.string(), "--view", "scope", "--output", png.string(), "--fft", "1024"}, dir);
    EXPECT_EQ(mixed.exitCode, 2);
    EXPECT_NE(mixed.err.find("--fft is for --view spectrum"), std::string::npos) << mixed.err;
    auto mixedBack = runCli({"render", mono.string(), "--view", "spectrum", "--output", png.string(), "--scope-type", "1"}, dir);
    EXPECT_EQ(mixedBack.exitCode, 2);
    EXPECT_FALSE(std::filesystem::exists(png));
}

// The readouts are drawn only when asked, and the clock correction moves them.
TEST_F(CliRender, MeasurementsAreDrawnWhenAskedWithTheClockCorrection) {
    for (const char* view : {"scope", "spectrum"}) {
        std::vector<std::string> pictures;
        for (const std::vector<std::string>& extra : std::vector<std::vector<std::string>>{
                 {}, {"--measurements"}, {"--measurements", "--clock-ppm", "-500"}}) {
            auto png = dir / "m.png";
            std::vector<std::string> words{"render", stereo.string(), "--view", view, "--output", png.string()};
            words.insert(words.end(), extra.begin(), extra.end());
            auto result = runCli(words, dir);
            ASSERT_EQ(result.exitCode, 0) << result.err;
            pictures.push_back(readFileBytes(png));
        }
        EXPECT_NE(pictures[0], pictures[1]) << view;
        EXPECT_NE(pictures[1], pictures[2]) << view;
    }
    auto png = (dir / "never.png").string();
    auto alone = runCli({"render", stereo.string(), "--view", "scope", "--output", png, "--clock-ppm", "3"}, dir);
    EXPECT_EQ(alone.exitCode, 2);
    EXPECT_NE(alone.err.find("--clock-ppm needs --measurements"), std::string::npos) << alone.err;
    auto far = runCli({"render", stereo.string(), "--view", "scope", "--output", png, "--measurements", "--clock-ppm",
                       "1001"}, dir);
    EXPECT_EQ(far.exitCode, 2);
    EXPECT_NE(far.err.find("Please input a value within -1000~1000 ppm"), std::string::npos) << far.err;
    EXPECT_FALSE(std::filesystem::exists(png));
}

}  // namespace
}  // namespace tonewell
