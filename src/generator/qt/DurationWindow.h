#pragma once
// The "Duration" dialog in Qt: the edit "Duration (s)" with "OK" and "Cancel", bound to the
// DurationDialog model. OK closes it only when the model takes the text; otherwise the model's
// message shows and the dialog stays. UI thread.

#include <QDialog>

#include <cstdint>
#include <optional>

class QLineEdit;

namespace tonewell {

class DurationDialog;
class Shell;

class DurationWindow : public QDialog {
    Q_OBJECT
public:
    DurationWindow(DurationDialog& model, Shell& shell, QWidget* parent = nullptr);

    QLineEdit* box() const { return box_; }
    // The seconds taken at OK; nothing before.
    std::optional<std::uint32_t> seconds() const { return seconds_; }

    void accept() override;

private:
    DurationDialog& model_;
    Shell& shell_;
    QLineEdit* box_ = nullptr;
    std::optional<std::uint32_t> seconds_;
};

}  // namespace tonewell
