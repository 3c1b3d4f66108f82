#include "app/ViewExport.h"

#include "platform/Shell.h"
#include "shared/TextExport.h"

#include <optional>

namespace tonewell {

std::string WithPictureExtension(std::string path) {
    if (path.find('.') == std::string::npos) path += ".png";
    return path;
}

void ExportView(Shell& shell, bool promptOverwrite, const ExportWriter& writeText, const ExportWriter& writePicture) {
    FileDialogRequest request;
    request.filter = writePicture ? kViewExportFilter : kTextFileFilter;
    request.promptOverwrite = promptOverwrite;
    const std::optional<SaveFileChoice> chosen = shell.chooseSaveFileAndFilter(request);
    if (!chosen) return;
    if (writePicture && chosen->filterIndex == static_cast<int>(ViewExportType::Picture)) {
        if (!writePicture(WithPictureExtension(chosen->path))) ReportCreateFileFailed(shell);
        return;
    }
    writeText(WithTextExtension(chosen->path));
}

}  // namespace tonewell
