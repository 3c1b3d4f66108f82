#pragma once
// The progress of a long export with its Cancel button: a modal progress dialog that shows
// itself only when the export has worked for about a second (the delay) and will go on. The
// export runs on the UI thread, so each step lets the window's events run, at most every few
// milliseconds; Cancel stops the export after the second it is writing. UI thread.

#include "generator/GeneratedSignalFile.h"

#include <QElapsedTimer>

#include <memory>

class QProgressDialog;
class QWidget;

namespace tonewell {

class ExportProgressDialog : public ExportProgress {
public:
    explicit ExportProgressDialog(QWidget* parent);
    ~ExportProgressDialog() override;

    void setDelay(int milliseconds) { delay_ = milliseconds; }
    // The dialog while an export runs, else nullptr.
    QProgressDialog* dialog() const { return dialog_.get(); }

    void begin(std::uint32_t seconds) override;
    bool advance(std::uint32_t secondsWritten) override;
    void end() override;

private:
    QWidget* parent_;
    std::unique_ptr<QProgressDialog> dialog_;
    QElapsedTimer sinceStep_;
    std::uint32_t seconds_ = 0;
    int delay_ = 1000;
};

}  // namespace tonewell
