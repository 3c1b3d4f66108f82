#pragma once
// The spectrum analyser's text export: a header describing the record and the analysis, then
// one line per result point with its frequency or time delay and each channel's value, as last
// computed for the display (nothing is recomputed). UI thread.

#include <filesystem>

namespace tonewell {

class Shell;
class SpectrumAnalysis;
struct SignalRecord;

// The command "Spectrum Analyzer Export": save dialog (text filter, asks before overwriting),
// ".txt" rule, then the file; "fail to create the file" when it cannot be written.
void ExportSpectrum(Shell& shell, const SignalRecord& record, const SpectrumAnalysis& analysis);

// Writes the export to path (safely); false, after "fail to create the file", on failure.
bool WriteSpectrumExport(Shell& shell, const std::filesystem::path& path,
                         const SignalRecord& record, const SpectrumAnalysis& analysis);

}  // namespace tonewell
