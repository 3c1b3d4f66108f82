#pragma once
// What the oscilloscope and spectrum text exports share: the save dialog with the text filter,
// the ".txt" rule, and a file written line by line (CR LF) through a buffer into a
// SafeFileWriter, so a failed export never leaves a partial file over a good one. UI thread.

#include "platform/SafeFileWriter.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tonewell {

class Shell;

inline constexpr const char* kTextFileFilter = "Text File (*.txt)|*.txt|";
inline constexpr std::string_view kCreateFileFailedMessage = "fail to create the file";

// The chosen path with ".txt" appended when it holds no "." anywhere (folder names included).
std::string WithTextExtension(std::string path);

// Shows the save dialog with the text filter; the path after the ".txt" rule, or nothing when
// the user cancelled.
std::optional<std::string> ChooseTextExportPath(Shell& shell, bool promptOverwrite);

class TextExportFile {
public:
    explicit TextExportFile(std::filesystem::path path) : writer_(std::move(path)) {}

    // Creates the (temporary) file; false when it cannot be created.
    bool open() { return writer_.open(); }

    // The current line's text; endLine() adds CR LF and passes full buffers on to the file.
    std::string& line() { return buffer_; }
    void endLine();

    // Writes what is buffered and puts the file in place; false when anything failed (the
    // previous file at the path is then untouched).
    bool commit();

private:
    SafeFileWriter writer_;
    std::string buffer_;
};

// The three lines both exports open with after their title: "Sampling Frequency=<fs> Hz",
// "Sampling Resolution=<bits> Bits" and "Total Data Points=<count>".
void WriteRecordFormatLines(TextExportFile& file, std::uint32_t samplesPerSecond, int bits,
                            std::uint32_t count);

// Writes through a TextExportFile with the write function (which fills lines) and shows
// "fail to create the file" when the file cannot be created or written. True when written.
template <typename Write>
bool WriteTextExport(Shell& shell, const std::filesystem::path& path, Write&& write);

// Shows "fail to create the file" (used by WriteTextExport).
void ReportCreateFileFailed(Shell& shell);

template <typename Write>
bool WriteTextExport(Shell& shell, const std::filesystem::path& path, Write&& write) {
    TextExportFile file(path);
    if (!file.open()) {
        ReportCreateFileFailed(shell);
        return false;
    }
    write(file);
    if (!file.commit()) {
        ReportCreateFileFailed(shell);
        return false;
    }
    return true;
}

}  // namespace tonewell
