#pragma once
// Waveform library files (.wfl): 8-bit text, one point per line, "x,a,b" (x ignored, a for
// channel A, b for channel B, arbitrary units). Loaded on the UI thread while the output is
// stopped.

#include "generator/WaveformLibrary.h"

#include <filesystem>
#include <string>

namespace tonewell {

class Shell;

inline constexpr const char* kLibraryMinimumPointsMessage =
    "The minimum number of data points allowed for each channel is 2.";
inline constexpr const char* kLibraryFilter = "Waveform Library (*.wfl)|*.wfl|All Files (*.*)|*.*|";
inline constexpr const char* kLibraryDefaultExtension = "wfl";
inline constexpr const char* kLibraryFolder = "WFLib";

// Reads the library: the library counts as not loaded (pointCount 0) until the file has been
// read with at least 2 points; then path is remembered in toneFilePath. The point arrays are
// reused while the file fits and replaced by larger ones when it does not. A line that is not
// three numbers is skipped. Returns true when a library was loaded.
bool LoadLibrary(const std::filesystem::path& path, WaveformLibrary& library, std::string& toneFilePath, Shell& shell);

}  // namespace tonewell
