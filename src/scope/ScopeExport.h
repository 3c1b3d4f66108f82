#pragma once
// The oscilloscope's text export: every sample of every recorded channel of the document, in
// volts, with its time. UI thread.

#include <filesystem>

namespace tonewell {

class Shell;
struct SignalRecord;

// The command "Oscilloscope Export": save dialog with the text filter, ".txt" rule, then the
// file; "fail to create the file" when it cannot be written. The frame enables the command only
// for a record with samples while monitoring is off.
void ExportScopeText(Shell& shell, const SignalRecord& record);

// Writes the export to path (safely); false, after "fail to create the file", on failure.
bool WriteScopeExport(Shell& shell, const std::filesystem::path& path, const SignalRecord& record);

}  // namespace tonewell
