#include "generator/qt/ExportProgressDialog.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>

#include <limits>

namespace tonewell {

namespace {

// The bar counts in steps that fit its int range.
constexpr std::uint32_t kMaxSteps = 1u << 30;
constexpr qint64 kStepMilliseconds = 25;

int Steps(std::uint64_t written, std::uint32_t seconds) {
    if (seconds <= kMaxSteps) return static_cast<int>(written);
    return static_cast<int>(written * kMaxSteps / seconds);
}

}  // namespace

ExportProgressDialog::ExportProgressDialog(QWidget* parent) : parent_(parent) {}

ExportProgressDialog::~ExportProgressDialog() = default;

void ExportProgressDialog::begin(std::uint32_t seconds) {
    seconds_ = seconds;
    dialog_ = std::make_unique<QProgressDialog>(QStringLiteral("Saving the signal..."), QStringLiteral("Cancel"), 0,
                                                Steps(seconds, seconds), parent_);
    dialog_->setWindowTitle(QStringLiteral("Save"));
    dialog_->setObjectName(QStringLiteral("exportProgress"));
    dialog_->setAccessibleName(QStringLiteral("Progress of the save"));
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setMinimumDuration(delay_);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setValue(0);
    sinceStep_.start();
}

bool ExportProgressDialog::advance(std::uint32_t secondsWritten) {
    if (!dialog_) return true;
    // Short seconds (a low rate, a WAV file) would spend more time on the window than on the
    // file; the last second is always shown.
    if (secondsWritten < seconds_ && sinceStep_.elapsed() < kStepMilliseconds) return !dialog_->wasCanceled();
    sinceStep_.restart();
    dialog_->setValue(Steps(secondsWritten, seconds_));
    // Until the progress shows, the user's input waits, so that nothing behind it (another
    // Save, Ok) runs in the middle of the export; once shown, it is modal and hears Cancel.
    QCoreApplication::processEvents(dialog_->isVisible() ? QEventLoop::AllEvents
                                                         : QEventLoop::ExcludeUserInputEvents);
    return !dialog_->wasCanceled();
}

void ExportProgressDialog::end() { dialog_.reset(); }

}  // namespace tonewell
