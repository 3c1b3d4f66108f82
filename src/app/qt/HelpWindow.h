#pragma once
// The program's help viewer: a window of its own beside the main window, showing the help file
// (plain HTML with its own links) at an anchor, with Back, Forward and Contents. One viewer per
// main window, raised again by the next Help Topic. UI thread.

#include <QString>
#include <QWidget>

#include <filesystem>

class QTextBrowser;

namespace tonewell {

class HelpWindow : public QWidget {
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the file at the anchor and raises the window; false, with nothing shown, when the
    // file cannot be read.
    bool open(const std::filesystem::path& file, const QString& anchor);

    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

}  // namespace tonewell
