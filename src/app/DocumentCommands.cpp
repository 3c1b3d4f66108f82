#include "app/DocumentCommands.h"

#include "app/PanelSetting.h"

namespace tonewell {

std::filesystem::path WithExtension(std::filesystem::path path, const char* extension) {
    if (!path.has_extension()) path += std::string(".") + extension;
    return path;
}

void DocumentCommands::recordInViews() {
    parts_.takeRecordInViews();
    window_.setDocumentTitle(parts_.document.Title());
}

void DocumentCommands::newDocument() {
    parts_.document.OnNewDocument();
    recordInViews();
}

void DocumentCommands::fileNew() {
    if (!parts_.document.SaveModified()) return;
    newDocument();
}

bool DocumentCommands::openFile(const std::filesystem::path& path) {
    CSignalDoc& document = parts_.document;
    if (!document.SaveModified()) return false;
    if (!document.OnOpenDocument(path, parts_.scopeType())) return false;
    recordInViews();
    return true;
}

void DocumentCommands::fileOpen() {
    FileDialogRequest request;
    request.filter = kDocumentOpenFilter;
    request.defaultExtension = kDocumentExtension;
    std::optional<std::string> path = parts_.shell.chooseOpenFile(request);
    if (path) openFile(*path);
}

void DocumentCommands::fileSave() {
    if (parts_.document.DoFileSave()) window_.setDocumentTitle(parts_.document.Title());
}

void DocumentCommands::fileSaveAs() {
    CSignalDoc& document = parts_.document;
    FileDialogRequest request;
    request.filter = kDocumentFilter;
    request.defaultExtension = kDocumentExtension;
    request.initialPath = document.PathName().empty() ? document.Title() + "." + kDocumentExtension
                                                      : document.PathName().string();
    request.promptOverwrite = true;
    std::optional<std::string> chosen = parts_.shell.chooseSaveFile(request);
    if (!chosen) return;
    if (document.OnSaveDocument(WithExtension(*chosen, kDocumentExtension))) window_.setDocumentTitle(document.Title());
}

void DocumentCommands::savePanel() {
    FileDialogRequest request;
    request.filter = kPanelFileFilter;
    request.defaultExtension = kPanelFileExtension;
    request.promptOverwrite = true;
    std::optional<std::string> chosen = parts_.shell.chooseSaveFile(request);
    if (!chosen) return;
    parts_.panel.savePanel(WithExtension(*chosen, kPanelFileExtension), parts_.toneLists, parts_.programDir);
}

void DocumentCommands::loadPanel() {
    FileDialogRequest request;
    request.filter = kPanelFileFilter;
    request.defaultExtension = kPanelFileExtension;
    std::optional<std::string> chosen = parts_.shell.chooseOpenFile(request);
    if (!chosen) return;
    // A refused file has shown its message; the panel stays as it is rather than going back
    // to the panel loaded before.
    if (!parts_.panel.loadPanel(*chosen)) return;
    parts_.startup.panelLoaded();
    fileNew();
}

}  // namespace tonewell
