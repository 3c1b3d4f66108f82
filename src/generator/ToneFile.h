#pragma once
// Tone configuration files (.tcf): 8-bit text, "#1", one line per tone of channel A, "#2", one
// line per tone of channel B, each line "n:Name,1000Hz,1.000000" (noise: "---" as frequency).
// Called on the UI thread; writes go through the safe writer, so a failed save keeps the old file.

#include "generator/ToneList.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tonewell {

class Shell;

inline constexpr const char* kToneFileFormatMessage = "The file is not in Tone Configuration File (tcf) Format.";
inline constexpr const char* kFileCreateFailedMessage = "fail to create the file";

// The line of one tone at 1-based position number.
std::string ToneLine(std::uint32_t number, std::int32_t waveform, std::uint32_t frequency, float amplitude);

// Parses one tone line into slot index of list. A name outside the waveform table leaves that
// slot's code as it was; the frequency is the leading decimal integer of its field ("---" gives
// 0) and the amplitude the field read as a number.
void ParseToneLine(std::string_view line, ToneList& list, std::uint32_t index);

// Rebuilds a list from lines (at most the first 32).
void ToneListFromLines(const std::vector<std::string>& lines, ToneList& list);

// The lines of a tone file, split at "#2"; nothing when the first token is not "#1" (the user
// is told) or the file cannot be read (silently). Lists longer than 32 tones keep the first 32.
struct ToneFileLines {
    std::vector<std::string> a;
    std::vector<std::string> b;
};
std::optional<ToneFileLines> ReadToneFileLines(const std::filesystem::path& path, Shell& shell);

// Writes "#1", linesA, "#2", linesB, each ended by '\n'. False, with "fail to create the file"
// shown, when the file could not be written.
bool WriteToneFileLines(const std::filesystem::path& path, const std::vector<std::string>& linesA,
                        const std::vector<std::string>& linesB, Shell& shell);

// Writes the current tone lists and remembers path in toneFilePath.
bool WriteToneFile(const std::filesystem::path& path, const ToneLists& lists, std::string& toneFilePath,
                   Shell& shell);

// Fills the tone lists from a file and remembers path in toneFilePath; false (lists unchanged)
// when the file cannot be read or is not a tone file.
bool ReadToneFile(const std::filesystem::path& path, ToneLists& lists, std::string& toneFilePath, Shell& shell);

}  // namespace tonewell
