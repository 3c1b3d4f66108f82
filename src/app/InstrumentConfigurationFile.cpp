#include "app/InstrumentConfigurationFile.h"

#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "platform/SafeFileWriter.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tonewell {
namespace {

constexpr float kCalibrationMin = 1e-10f;
constexpr float kCalibrationMax = 1e11f;

// Reads fields in order; a field the bytes do not reach completely is left alone.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    void u16(std::uint16_t& v) { bytes_.readU16(v); }
    void u32(std::uint32_t& v) { bytes_.readU32(v); }
    void flag(bool& v) { bytes_.readFlag(v); }
    void calibration(float& v) {
        float value = 0.0f;
        if (bytes_.readF32(value)) {
            // Outside the dialog's range the generator and the ranges would divide by nothing.
            if (value >= kCalibrationMin && value <= kCalibrationMax) v = value;
        }
    }

private:
    ByteReader bytes_;
};

void copyPart(const InstrumentConfiguration& from, InstrumentConfiguration& to, ConfigurationPart part) {
    if (part == ConfigurationPart::Calibration) {
        to.inputFullScale8 = from.inputFullScale8;
        to.inputFullScale16 = from.inputFullScale16;
        to.outputFullScale8 = from.outputFullScale8;
        to.outputFullScale16 = from.outputFullScale16;
    } else {
        to.colorBackground = from.colorBackground;
        to.colorChannelA = from.colorChannelA;
        to.colorChannelB = from.colorChannelB;
        to.colorGrid = from.colorGrid;
        to.colorOtherText = from.colorOtherText;
        to.onePointPerRaster = from.onePointPerRaster;
        to.invertInput = from.invertInput;
        to.removeDcInSpectrum = from.removeDcInSpectrum;
        to.enablePointEdit = from.enablePointEdit;
        to.autoRunAtStartup = from.autoRunAtStartup;
    }
}

bool readSmallFile(const std::filesystem::path& file, std::vector<std::uint8_t>& bytes) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    char buffer[kInstrumentConfigurationFileSize];
    in.read(buffer, sizeof buffer);
    bytes.assign(buffer, buffer + in.gcount());
    return !in.bad();
}

}  // namespace

std::array<std::uint8_t, kInstrumentConfigurationFileSize> EncodeInstrumentConfiguration(
    const InstrumentConfiguration& c) {
    ByteWriter w;
    w.u32(c.colorBackground);
    w.u32(c.colorChannelA);
    w.u32(c.colorChannelB);
    w.u32(c.colorGrid);
    w.u32(c.colorOtherText);
    w.u16(c.onePointPerRaster);
    w.flag(c.invertInput);
    w.flag(c.removeDcInSpectrum);
    w.flag(c.enablePointEdit);
    w.flag(c.autoRunAtStartup);
    w.f32(c.inputFullScale8);
    w.f32(c.inputFullScale16);
    w.f32(c.outputFullScale8);
    w.f32(c.outputFullScale16);
    std::array<std::uint8_t, kInstrumentConfigurationFileSize> bytes{};
    std::copy_n(w.data().begin(), std::min(bytes.size(), w.size()), bytes.begin());
    return bytes;
}

void DecodeInstrumentConfiguration(std::span<const std::uint8_t> bytes, InstrumentConfiguration& c) {
    Reader r(bytes);
    r.u32(c.colorBackground);
    r.u32(c.colorChannelA);
    r.u32(c.colorChannelB);
    r.u32(c.colorGrid);
    r.u32(c.colorOtherText);
    r.u16(c.onePointPerRaster);
    r.flag(c.invertInput);
    r.flag(c.removeDcInSpectrum);
    r.flag(c.enablePointEdit);
    r.flag(c.autoRunAtStartup);
    r.calibration(c.inputFullScale8);
    r.calibration(c.inputFullScale16);
    r.calibration(c.outputFullScale8);
    r.calibration(c.outputFullScale16);
}

bool LoadInstrumentConfiguration(const std::filesystem::path& file, InstrumentConfiguration& configuration) {
    std::vector<std::uint8_t> bytes;
    if (!readSmallFile(file, bytes)) return false;
    DecodeInstrumentConfiguration(bytes, configuration);
    return true;
}

bool SaveInstrumentConfigurationPart(const std::filesystem::path& file, const InstrumentConfiguration& current,
                                     ConfigurationPart part) {
    // The other dialog's part stays as the file holds it; what the file lacks comes from current.
    InstrumentConfiguration written = current;
    std::vector<std::uint8_t> existing;
    if (readSmallFile(file, existing)) {
        DecodeInstrumentConfiguration(existing, written);
        copyPart(current, written, part);
    }
    const auto bytes = EncodeInstrumentConfiguration(written);
    return writeFileSafely(file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace tonewell
