#pragma once
// The panel setting: every stored selection of the front panel, the trigger percentages, the
// record length, which panes are shown and the generator's settings, and its file (".psf",
// binary, little-endian, no padding, written field by field). One value is owned by the
// composition root as the loaded panel; UI thread.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "shared/RangeTables.h"
#include "generator/GeneratorSettings.h"
#include "generator/ToneList.h"

namespace tonewell {

class Shell;

inline constexpr const char* kPanelFormatMessage = "Wrong sampling setting file format!";
inline constexpr const char* kPanelCreateFailedMessage = "fail to create the default panel setting file";
inline constexpr const char* kDefaultPanelFileName = "default.psf";
inline constexpr const char* kDefaultToneFileName = "default.tcf";
inline constexpr const char* kPanelFileFilter = "Panel Setting File (*.psf)|*.psf|";
inline constexpr const char* kPanelFileExtension = "psf";

// Bytes of a file up to and including the library path's length word.
inline constexpr std::size_t kPanelFixedSize = 148;

struct PanelSetting {
    // The stored row of every selector list; for the record length the length itself. The
    // generator's lists (rows 32 to 41) follow `generator` and are not read from here.
    std::array<std::int32_t, kRangeTableCount> rows{};
    std::int32_t spectrumXScale = 0;  // 0 linear, 1 logarithmic
    std::int32_t spectrumYScale = 0;  // 0 volt, 1 dB
    bool spectrumNormalized = true;
    std::int32_t triggerLevelPercent = 0;  // spin position, -100..100
    std::int32_t triggerDelayPercent = 0;  // spin position, -100..100
    bool scopeShown = true;
    bool spectrumShown = true;
    bool thirdPane = false;  // kept for the file; no pane uses it
    bool generatorShown = false;
    GeneratorSettings generator;
    std::string toneFilePath;  // the waveform library of a "WFLibrary" panel, one byte per character

    std::int32_t row(RangeTableId id) const { return rows[static_cast<std::size_t>(id)]; }
    void setRow(RangeTableId id, std::int32_t value) { rows[static_cast<std::size_t>(id)] = value; }
    std::int32_t recordLength() const { return row(RangeTableId::RecordLength); }
};

// The built-in panel of a start without a panel setting file.
PanelSetting BuiltInPanelSetting();

// The file's bytes. The library path is written only for a "WFLibrary" waveform A (at most
// 65535 bytes of it); otherwise its length is 0.
std::string EncodePanelSetting(const PanelSetting& panel);

// Reads the bytes over `panel`: false, with `panel` unchanged, when the signature is wrong or
// the bytes end before the layout does. Rows outside their lists, generator rows outside their
// tables and percentages beyond +-100 are clamped; flags are on only when stored as 1 (the two
// scale fields are read as stored).
bool DecodePanelSetting(std::span<const std::uint8_t> bytes, PanelSetting& panel);

// Reads a file into `panel`. A file that cannot be opened changes nothing silently; a refused
// one shows "Wrong sampling setting file format!". True when read.
bool ReadPanelSettingFile(const std::filesystem::path& path, PanelSetting& panel, Shell& shell);

// Writes `panel` safely (a failure keeps the previous file and shows "fail to create the default
// panel setting file"). With waveform A "MultiTones" the tone lists are also written to
// "default.tcf" in programDir, which toneFilePath then remembers. True when the panel file was
// written.
bool WritePanelSettingFile(const std::filesystem::path& path, const PanelSetting& panel, const ToneLists& toneLists,
                           const std::filesystem::path& programDir, std::string& toneFilePath, Shell& shell);

// Puts a panel into the program's homes of its values: the stored rows of the selector lists
// (the generator's lists from its settings), the generator's settings and toneFilePath.
void StorePanelSetting(const PanelSetting& panel, RangeTables& tables, GeneratorSettings& generator,
                       std::string& toneFilePath);

}  // namespace tonewell
