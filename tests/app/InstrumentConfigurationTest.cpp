#include "app/InstrumentConfigurationFile.h"

#include "app/CalibrationSettingDialog.h"
#include "app/DisplaySettingDialog.h"
#include "platform/RecordingShell.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace tonewell {
namespace {

using testing::readFileBytes;
using testing::writeFileBytes;

std::uint32_t u32At(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint8_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint8_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 3])) << 24;
}
std::uint16_t u16At(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint8_t>(bytes[at + 1]) << 8);
}
float floatAt(const std::string& bytes, std::size_t at) { return std::bit_cast<float>(u32At(bytes, at)); }

std::string encode(const InstrumentConfiguration& c) {
    const auto bytes = EncodeInstrumentConfiguration(c);
    return std::string(bytes.begin(), bytes.end());
}

InstrumentConfiguration changedEverywhere() {
    InstrumentConfiguration c;
    c.colorBackground = 0x102030;
    c.colorChannelA = 0x405060;
    c.colorChannelB = 0x708090;
    c.colorGrid = 0xA0B0C0;
    c.colorOtherText = 0xD0E0F0;
    c.onePointPerRaster = 0;
    c.invertInput = true;
    c.removeDcInSpectrum = false;
    c.enablePointEdit = true;
    c.autoRunAtStartup = false;
    c.inputFullScale8 = 250.0f;
    c.inputFullScale16 = 500.0f;
    c.outputFullScale8 = 750.0f;
    c.outputFullScale16 = 1250.5f;
    return c;
}

TEST(InstrumentConfigurationFileTest, FieldsSitAtTheirOffsets) {
    const std::string bytes = encode(changedEverywhere());
    ASSERT_EQ(bytes.size(), 46u);
    EXPECT_EQ(u32At(bytes, 0), 0x102030u);
    EXPECT_EQ(u32At(bytes, 4), 0x405060u);
    EXPECT_EQ(u32At(bytes, 8), 0x708090u);
    EXPECT_EQ(u32At(bytes, 12), 0xA0B0C0u);
    EXPECT_EQ(u32At(bytes, 16), 0xD0E0F0u);
    EXPECT_EQ(u16At(bytes, 20), 0);
    EXPECT_EQ(u16At(bytes, 22), 1);
    EXPECT_EQ(u16At(bytes, 24), 0);
    EXPECT_EQ(u16At(bytes, 26), 1);
    EXPECT_EQ(u16At(bytes, 28), 0);
    EXPECT_EQ(floatAt(bytes, 30), 250.0f);
    EXPECT_EQ(floatAt(bytes, 34), 500.0f);
    EXPECT_EQ(floatAt(bytes, 38), 750.0f);
    EXPECT_EQ(floatAt(bytes, 42), 1250.5f);

    InstrumentConfiguration read;
    DecodeInstrumentConfiguration(EncodeInstrumentConfiguration(changedEverywhere()), read);
    EXPECT_EQ(read, changedEverywhere());
}

TEST(InstrumentConfigurationFileTest, FlagIsOnOnlyForTheWordOne) {
    std::string bytes = encode(InstrumentConfiguration{});
    bytes[22] = 2;  // invertInput
    bytes[24] = 2;  // removeDcInSpectrum (default on)
    bytes[28] = 0;
    bytes[29] = 1;  // autoRunAtStartup: 256
    bytes[20] = 7;  // onePointPerRaster is taken as stored
    InstrumentConfiguration read;
    read.invertInput = true;
    DecodeInstrumentConfiguration({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, read);
    EXPECT_FALSE(read.invertInput);
    EXPECT_FALSE(read.removeDcInSpectrum);
    EXPECT_FALSE(read.autoRunAtStartup);
    EXPECT_EQ(read.onePointPerRaster, 7);
}

TEST(InstrumentConfigurationFileTest, ShortFileKeepsEveryFieldItLacks) {
    const std::string full = encode(changedEverywhere());
    for (std::size_t length : {0u, 3u, 20u, 23u, 31u, 45u}) {
        SCOPED_TRACE(length);
        InstrumentConfiguration read;
        DecodeInstrumentConfiguration({reinterpret_cast<const std::uint8_t*>(full.data()), length}, read);
        const InstrumentConfiguration defaults;
        const InstrumentConfiguration changed = changedEverywhere();
        EXPECT_EQ(read.colorBackground, length >= 4 ? changed.colorBackground : defaults.colorBackground);
        EXPECT_EQ(read.colorOtherText, length >= 20 ? changed.colorOtherText : defaults.colorOtherText);
        EXPECT_EQ(read.invertInput, length >= 24 ? changed.invertInput : defaults.invertInput);
        EXPECT_EQ(read.inputFullScale8, length >= 34 ? changed.inputFullScale8 : defaults.inputFullScale8);
        EXPECT_EQ(read.outputFullScale16, length >= 46 ? changed.outputFullScale16 : defaults.outputFullScale16);
    }
}

struct CalibrationRow {
    const char* name;
    float stored;
    bool kept;  // else the value before the read stays
};
class CalibrationRead : public ::testing::TestWithParam<CalibrationRow> {};

TEST_P(CalibrationRead, EveryFinitePositiveValueIsKept) {
    InstrumentConfiguration stored;
    stored.inputFullScale8 = GetParam().stored;
    stored.inputFullScale16 = GetParam().stored;
    stored.outputFullScale8 = GetParam().stored;
    stored.outputFullScale16 = GetParam().stored;
    InstrumentConfiguration read;
    read.inputFullScale8 = 1.0f;
    read.inputFullScale16 = 16.0f;
    read.outputFullScale8 = 8.0f;
    read.outputFullScale16 = 32.0f;
    const InstrumentConfiguration before = read;
    DecodeInstrumentConfiguration(EncodeInstrumentConfiguration(stored), read);
    const InstrumentConfiguration& expected = GetParam().kept ? stored : before;
    EXPECT_EQ(read.inputFullScale8, expected.inputFullScale8);
    EXPECT_EQ(read.inputFullScale16, expected.inputFullScale16);
    EXPECT_EQ(read.outputFullScale8, expected.outputFullScale8);
    EXPECT_EQ(read.outputFullScale16, expected.outputFullScale16);
}

INSTANTIATE_TEST_SUITE_P(
    Values, CalibrationRead,
    ::testing::Values(CalibrationRow{"Ordinary", 500.0f, true},
                      CalibrationRow{"AboveTheDialogRange", 1e12f, true},
                      CalibrationRow{"Largest", std::numeric_limits<float>::max(), true},
                      CalibrationRow{"BelowTheDialogRange", 1e-20f, true},
                      CalibrationRow{"Subnormal", std::numeric_limits<float>::denorm_min(), true},
                      CalibrationRow{"Zero", 0.0f, false},
                      CalibrationRow{"NegativeZero", -0.0f, false},
                      CalibrationRow{"Negative", -1000.0f, false},
                      CalibrationRow{"NotANumber", NAN, false},
                      CalibrationRow{"Infinite", INFINITY, false},
                      CalibrationRow{"NegativeInfinite", -INFINITY, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InstrumentConfigurationFileTest, MissingFileLeavesTheValues) {
    testing::TempDir dir;
    InstrumentConfiguration c = changedEverywhere();
    EXPECT_FALSE(LoadInstrumentConfiguration(dir / "Vorel.cfg", c));
    EXPECT_EQ(c, changedEverywhere());
    writeFileBytes(dir / "Vorel.cfg", encode(changedEverywhere()));
    InstrumentConfiguration loaded;
    EXPECT_TRUE(LoadInstrumentConfiguration(dir / "Vorel.cfg", loaded));
    EXPECT_EQ(loaded, changedEverywhere());
}

TEST(InstrumentConfigurationFileTest, SavingOnePartKeepsTheOtherAsTheFileHoldsIt) {
    testing::TempDir dir;
    const auto file = dir / "Vorel.cfg";
    InstrumentConfiguration globals = changedEverywhere();
    // No file yet: the other part comes from the current values.
    ASSERT_TRUE(SaveInstrumentConfigurationPart(file, globals, ConfigurationPart::Calibration));
    EXPECT_EQ(readFileBytes(file), encode(globals));

    InstrumentConfiguration changed = globals;
    changed.colorGrid = 0x123456;     // display part, not saved
    changed.inputFullScale8 = 99.0f;  // calibration part, saved
    ASSERT_TRUE(SaveInstrumentConfigurationPart(file, changed, ConfigurationPart::Calibration));
    InstrumentConfiguration expected = globals;
    expected.inputFullScale8 = 99.0f;
    EXPECT_EQ(readFileBytes(file), encode(expected));

    changed.outputFullScale8 = 3.0f;  // calibration, not saved this time
    ASSERT_TRUE(SaveInstrumentConfigurationPart(file, changed, ConfigurationPart::Display));
    expected.colorGrid = 0x123456;
    EXPECT_EQ(readFileBytes(file), encode(expected));
}

TEST(InstrumentConfigurationFileTest, SavingOnePartKeepsTheOtherPartsBytesEvenWhereTheyReadOtherwise) {
    testing::TempDir dir;
    const auto file = dir / "Vorel.cfg";
    std::string onDisk = encode(changedEverywhere());
    const std::uint32_t quietNanWithPayload = 0x7FC01234u;
    const float calibrations[] = {0.0f, -5.0f, std::bit_cast<float>(quietNanWithPayload), 1e12f};
    for (std::size_t i = 0; i < 4; ++i) {
        const std::uint32_t bits = std::bit_cast<std::uint32_t>(calibrations[i]);
        for (std::size_t b = 0; b < 4; ++b) onDisk[30 + 4 * i + b] = static_cast<char>(bits >> (8 * b));
    }
    onDisk[22] = 2;  // invertInput: reads as off, stays 2
    writeFileBytes(file, onDisk);

    InstrumentConfiguration globals;  // every value differs from the file's
    ASSERT_TRUE(SaveInstrumentConfigurationPart(file, globals, ConfigurationPart::Display));
    std::string written = readFileBytes(file);
    ASSERT_EQ(written.size(), 46u);
    EXPECT_EQ(written.substr(0, 30), encode(globals).substr(0, 30));
    EXPECT_EQ(written.substr(30), onDisk.substr(30));

    writeFileBytes(file, onDisk);
    ASSERT_TRUE(SaveInstrumentConfigurationPart(file, globals, ConfigurationPart::Calibration));
    written = readFileBytes(file);
    EXPECT_EQ(written.substr(0, 30), onDisk.substr(0, 30));
    EXPECT_EQ(written.substr(30), encode(globals).substr(30));
}

TEST(InstrumentConfigurationFileTest, ShortFileIsCompletedFromTheCurrentValues) {
    testing::TempDir dir;
    const auto file = dir / "Vorel.cfg";
    writeFileBytes(file, encode(changedEverywhere()).substr(0, 30));  // no calibration
    InstrumentConfiguration globals;
    globals.inputFullScale16 = 42.0f;
    globals.colorGrid = 1;
    ASSERT_TRUE(SaveInstrumentConfigurationPart(file, globals, ConfigurationPart::Display));
    InstrumentConfiguration read;
    ASSERT_TRUE(LoadInstrumentConfiguration(file, read));
    EXPECT_EQ(read.colorGrid, 1u);
    EXPECT_EQ(read.inputFullScale16, 42.0f);
}

class CalibrationSettingDialogTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    RecordingShell shell;
    InstrumentConfiguration configuration;
    CalibrationSettingDialog dialog{configuration, shell, dir / "Vorel.cfg"};
};

TEST_F(CalibrationSettingDialogTest, OpenDefaultAndOk) {
    configuration.inputFullScale8 = 250.5f;
    configuration.outputFullScale16 = 1e-10f;
    dialog.Open();
    EXPECT_EQ(dialog.box(CalibrationSettingDialog::InputFullScale8), "250.5");
    EXPECT_EQ(dialog.box(CalibrationSettingDialog::InputFullScale16), "1000");
    EXPECT_EQ(dialog.box(CalibrationSettingDialog::OutputFullScale16), "1e-10");
    dialog.OnDefault();
    EXPECT_EQ(dialog.box(CalibrationSettingDialog::InputFullScale8), "1000");
    EXPECT_EQ(configuration.inputFullScale8, 250.5f);
    dialog.box(CalibrationSettingDialog::OutputFullScale8) = " 2.5e3 ";
    EXPECT_TRUE(dialog.OnOk());
    EXPECT_EQ(configuration.inputFullScale8, 1000.0f);
    EXPECT_EQ(configuration.outputFullScale8, 2500.0f);
    EXPECT_FALSE(std::filesystem::exists(dir / "Vorel.cfg"));
}

TEST_F(CalibrationSettingDialogTest, RefusedBoxStoresNothing) {
    dialog.Open();
    dialog.box(CalibrationSettingDialog::InputFullScale8) = "123";
    dialog.box(CalibrationSettingDialog::OutputFullScale16) = "2e11";
    EXPECT_FALSE(dialog.OnOk());
    EXPECT_EQ(shell.messages(), std::vector<std::string>{"Please enter a number between 1e-10 and 1e+11."});
    EXPECT_EQ(configuration.inputFullScale8, 1000.0f);
    dialog.box(CalibrationSettingDialog::OutputFullScale16) = "12 mV";
    EXPECT_FALSE(dialog.OnSave());
    EXPECT_EQ(shell.messages().back(), "Please enter a number.");
    EXPECT_FALSE(std::filesystem::exists(dir / "Vorel.cfg"));
    dialog.box(CalibrationSettingDialog::OutputFullScale16) = "0";
    EXPECT_FALSE(dialog.OnOk());
}

TEST_F(CalibrationSettingDialogTest, SaveWritesAndKeepsTheFilesColours) {
    InstrumentConfiguration onDisk;
    onDisk.colorBackground = 0x111111;
    writeFileBytes(dir / "Vorel.cfg", encode(onDisk));
    configuration.colorBackground = 0x222222;  // changed by Display Setting's OK, not saved
    dialog.Open();
    dialog.box(CalibrationSettingDialog::InputFullScale16) = "500";
    EXPECT_TRUE(dialog.OnSave());
    EXPECT_EQ(configuration.inputFullScale16, 500.0f);
    InstrumentConfiguration read;
    ASSERT_TRUE(LoadInstrumentConfiguration(dir / "Vorel.cfg", read));
    EXPECT_EQ(read.colorBackground, 0x111111u);
    EXPECT_EQ(read.inputFullScale16, 500.0f);
}

TEST(DisplaySettingDialogTest, SwatchesDefaultsAndSave) {
    testing::TempDir dir;
    RecordingShell shell;
    InstrumentConfiguration configuration = changedEverywhere();
    int stores = 0;
    DisplaySettingDialog dialog(configuration, shell, dir / "Vorel.cfg", [&] { ++stores; });
    dialog.Open();
    EXPECT_EQ(dialog.colours[DisplaySettingDialog::Grid], 0xA0B0C0u);
    EXPECT_TRUE(dialog.invertInput);

    shell.colourAnswers.push_back(std::nullopt);
    EXPECT_FALSE(dialog.OnSwatch(DisplaySettingDialog::ChannelA));
    shell.colourAnswers.push_back(0x00ABCDEFu);
    EXPECT_TRUE(dialog.OnSwatch(DisplaySettingDialog::ChannelA));
    EXPECT_EQ(dialog.colours[DisplaySettingDialog::ChannelA], 0x00ABCDEFu);
    EXPECT_EQ(configuration.colorChannelA, 0x405060u);

    dialog.OnDefault();
    EXPECT_EQ(dialog.colours[DisplaySettingDialog::ChannelA], 0xFF0000u);
    EXPECT_EQ(dialog.onePointPerRaster, 1);
    EXPECT_TRUE(dialog.autoRunAtStartup);
    EXPECT_EQ(configuration.colorChannelA, 0x405060u);
    EXPECT_EQ(stores, 0);

    dialog.OnOk();
    EXPECT_EQ(stores, 1);
    EXPECT_EQ(configuration.colorChannelA, 0xFF0000u);
    EXPECT_FALSE(configuration.invertInput);
    EXPECT_EQ(configuration.inputFullScale8, 250.0f);  // calibration untouched
    EXPECT_FALSE(std::filesystem::exists(dir / "Vorel.cfg"));

    dialog.invertInput = true;
    dialog.OnSave();
    EXPECT_EQ(stores, 2);
    InstrumentConfiguration read;
    ASSERT_TRUE(LoadInstrumentConfiguration(dir / "Vorel.cfg", read));
    EXPECT_TRUE(read.invertInput);
    EXPECT_EQ(read.inputFullScale8, 250.0f);
}

TEST(DisplaySettingDialogTest, SaveRewritesTheCalibrationAsTheFileHoldsIt) {
    testing::TempDir dir;
    RecordingShell shell;
    InstrumentConfiguration onDisk;
    onDisk.inputFullScale8 = 0.0f;  // refused when read, yet the file's own
    onDisk.outputFullScale16 = 1e12f;
    writeFileBytes(dir / "Vorel.cfg", encode(onDisk));
    InstrumentConfiguration configuration;
    ASSERT_TRUE(LoadInstrumentConfiguration(dir / "Vorel.cfg", configuration));
    EXPECT_EQ(configuration.inputFullScale8, 1000.0f);
    EXPECT_EQ(configuration.outputFullScale16, 1e12f);
    configuration.inputFullScale16 = 250.0f;  // Calibration Setting's OK, not saved

    DisplaySettingDialog dialog(configuration, shell, dir / "Vorel.cfg", [] {});
    dialog.Open();
    dialog.colours[DisplaySettingDialog::Grid] = 0x010203;
    dialog.OnSave();
    const std::string written = readFileBytes(dir / "Vorel.cfg");
    EXPECT_EQ(written.substr(30), encode(onDisk).substr(30));
    EXPECT_EQ(u32At(written, 12), 0x010203u);
}

TEST(DialogNumberTest, TextsAsTheBoxesShowThem) {
    EXPECT_EQ(FormatDialogNumber(1000.0), "1000");
    EXPECT_EQ(FormatDialogNumber(1e11), "1e+11");
    EXPECT_EQ(FormatDialogNumber(1234567.0), "1.23457e+06");
    EXPECT_EQ(ParseDialogNumber("-12.5"), -12.5);
    EXPECT_EQ(ParseDialogNumber("+3"), 3.0);
    EXPECT_FALSE(ParseDialogNumber(""));
    EXPECT_FALSE(ParseDialogNumber("1,5"));
    EXPECT_FALSE(ParseDialogNumber("nan"));
}

}  // namespace
}  // namespace tonewell
