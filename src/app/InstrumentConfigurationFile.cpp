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
            // Zero, negative, not-a-number and infinite full scales give no voltage range and no
            // output scale; any other value is the user's, however unusual.
            if (std::isfinite(value) && value > 0.0f) v = value;
        }
    }

private:
    ByteReader bytes_;
};

// Where each field of the file ends, in file order: the display part's ten fields, then the
// four calibration values.
constexpr std::size_t kFieldEnds[] = {4, 8, 12, 16, 20, 22, 24, 26, 28, 30, 34, 38, 42, 46};
constexpr std::size_t kCalibrationStart = 30;
static_assert(std::size(kFieldEnds) > 0 && kFieldEnds[std::size(kFieldEnds) - 1] == kInstrumentConfigurationFileSize);

// Copies the fields of the part not being saved, as the file holds them byte for byte (a value
// refused when read and a flag word other than 0 or 1 included), into bytes; a field the file
// does not hold completely stays as bytes has it.
void KeepOtherPart(std::span<const std::uint8_t> file,
                   std::array<std::uint8_t, kInstrumentConfigurationFileSize>& bytes, ConfigurationPart saved) {
    std::size_t start = 0;
    for (std::size_t end : kFieldEnds) {
        const bool calibration = start >= kCalibrationStart;
        const bool other = calibration != (saved == ConfigurationPart::Calibration);
        if (other && end <= file.size()) std::copy(file.begin() + start, file.begin() + end, bytes.begin() + start);
        start = end;
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
    auto bytes = EncodeInstrumentConfiguration(current);
    std::vector<std::uint8_t> existing;
    if (readSmallFile(file, existing)) KeepOtherPart(existing, bytes, part);
    return writeFileSafely(file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace tonewell
