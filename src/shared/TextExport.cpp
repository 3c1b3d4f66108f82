#include "shared/TextExport.h"

#include "shared/NumberFormat.h"
#include "platform/Shell.h"

namespace tonewell {

namespace {
constexpr std::size_t kFlushSize = 1 << 20;
}  // namespace

std::string WithTextExtension(std::string path) {
    if (path.find('.') == std::string::npos) path += ".txt";
    return path;
}

std::optional<std::string> ChooseTextExportPath(Shell& shell, bool promptOverwrite) {
    FileDialogRequest request;
    request.filter = kTextFileFilter;
    request.promptOverwrite = promptOverwrite;
    std::optional<std::string> chosen = shell.chooseSaveFile(request);
    if (!chosen) return std::nullopt;
    return WithTextExtension(std::move(*chosen));
}

void TextExportFile::endLine() {
    buffer_ += "\r\n";
    if (buffer_.size() >= kFlushSize) {
        writer_.write(buffer_);
        buffer_.clear();
    }
}

bool TextExportFile::commit() {
    writer_.write(buffer_);
    buffer_.clear();
    return writer_.commit();
}

void ReportCreateFileFailed(Shell& shell) { shell.showMessage(kCreateFileFailedMessage); }

void WriteRecordFormatLines(TextExportFile& file, std::uint32_t samplesPerSecond, int bits,
                            std::uint32_t count) {
    std::string& out = file.line();
    out += "Sampling Frequency=";
    AppendInteger(out, samplesPerSecond);
    out += " Hz";
    file.endLine();
    out += "Sampling Resolution=";
    AppendInteger(out, bits);
    out += " Bits";
    file.endLine();
    out += "Total Data Points=";
    AppendInteger(out, count);
    file.endLine();
}

}  // namespace tonewell
