#pragma once
// Export of the generated signal (the generator dialog's "Save"): the signal that Run would
// play, written to a WAV file or a text table in volts instead of the sound output, from a run
// built as for play (no device). UI thread only; the settings, tone lists, library
// and calibration are the generator's, referenced here for the length of a call.

#include "generator/GeneratorSettings.h"
#include "generator/OutputCalibration.h"
#include "generator/SeedClock.h"
#include "generator/ToneList.h"
#include "generator/WaveformLibrary.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace tonewell {

class ExportProgress;
class Shell;

inline constexpr const char* kExportFilter = "Wave File (*.wav)|*.wav|Text File (*.txt)|*.txt|";

// File types in the order of the filter rows.
enum class ExportFileType { Wave = 0, Text = 1 };

enum class ExportOutcome {
    Written,    // the file is in place
    Cancelled,  // the user cancelled a dialog
    Refused,    // the settings cannot be exported (the user has been told)
    Failed,     // the file could not be written (the user has been told; any old file is kept)
};

struct GeneratorSources {
    GeneratorSettings& settings;
    ToneLists& toneLists;
    const WaveformLibrary& library;
    const OutputCalibration& calibration;
    const SeedClock& clock;
    Shell& shell;
};

// The MultiTones check of every start: with A on MultiTones and no sweep, the largest tone
// frequency (of A, and of B on a stereo output) must not exceed the sampling frequency.
// Returns the message naming the range, or nothing when the set can be played.
std::optional<std::string> MultiTonesCheck(const GeneratorSettings& settings, const ToneLists& toneLists);

// The chosen name with ".wav" or ".txt" appended (by the filter row) when its file name holds
// no '.'.
std::string ExportFileName(const std::string& chosen, ExportFileType type);

// The run built as for play, then the writer: a sweep duration of 0 is set to 1
// and nothing is written; a failing MultiTones check is reported; otherwise seconds of signal
// are synthesised from phase 0 and written through the safe writer.
// progress (may be nullptr) hears each second written and may cancel the export (see
// GeneratorOutput::exportSignal).
ExportOutcome ExportGeneratedSignal(const GeneratorSources& sources, const std::filesystem::path& path,
                                    ExportFileType type, std::uint32_t seconds, ExportProgress* progress = nullptr);

// The "Save" flow after the dialog pages were read into the settings: MultiTones check, the
// duration (the sweep's, or askDuration for a continuous signal: nothing means Cancel), the
// save chooser with the export filter, then ExportGeneratedSignal.
ExportOutcome SaveGeneratedSignal(const GeneratorSources& sources,
                                  const std::function<std::optional<std::uint32_t>()>& askDuration,
                                  ExportProgress* progress = nullptr);

}  // namespace tonewell
