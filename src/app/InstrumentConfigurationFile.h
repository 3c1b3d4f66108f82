#pragma once
// The instrument configuration's file "Vorel.cfg" (46 bytes, little-endian, no header) in the
// program folder. UI thread only.

#include "shared/InstrumentConfiguration.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

namespace tonewell {

inline constexpr const char* kInstrumentConfigurationFileName = "Vorel.cfg";
inline constexpr std::size_t kInstrumentConfigurationFileSize = 46;

// The two parts of the file, one per setting dialog.
enum class ConfigurationPart {
    Calibration,  // the four full-scale values (Calibration Setting)
    Display       // colours, display mode and the four switches (Display Setting)
};

// The 46 bytes of the file in their order.
std::array<std::uint8_t, kInstrumentConfigurationFileSize> EncodeInstrumentConfiguration(
    const InstrumentConfiguration& configuration);

// Reads the fields that the bytes hold, in file order, into configuration; a field the bytes
// do not reach completely keeps its value. Flags are on only when their word equals 1. A
// calibration value that is zero, negative, not a number or infinite keeps its value as well.
void DecodeInstrumentConfiguration(std::span<const std::uint8_t> bytes,
                                   InstrumentConfiguration& configuration);

// Reads the file into configuration; false (configuration unchanged) when it cannot be read.
// Fields past the end of a short file keep their values.
bool LoadInstrumentConfiguration(const std::filesystem::path& file,
                                 InstrumentConfiguration& configuration);

// Writes all 46 bytes: the given part from current, the other part byte for byte as the
// existing file holds it (or from current where the file is missing or too short). Written
// safely: false, with the previous file untouched, when it could not be written.
bool SaveInstrumentConfigurationPart(const std::filesystem::path& file,
                                     const InstrumentConfiguration& current,
                                     ConfigurationPart part);

}  // namespace tonewell
