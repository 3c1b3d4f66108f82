#pragma once
// The "Signal Generator Setting" dialog in Qt: the tab control with the "Function", "Sweep" and
// "Sampling" pages and the buttons "Save", "Run"/"Stop" and "Ok", laid out and bound to the
// GeneratorDialog model, which decides everything. The window is the model's host: it shows the
// "MultiTones Configuration" and "Duration" dialogs and the progress of a long export over
// itself. RunGeneratorDialog shows it modally; the output runs on after it closes. UI thread;
// the model must outlive the window.

#include <QDialog>

#include <array>
#include <memory>

#include "generator/GeneratorDialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class QLineEdit;

namespace tonewell {

class ExportProgressDialog;

class GeneratorDialogWindow : public QDialog, public GeneratorDialogHost {
    Q_OBJECT
public:
    // Becomes the model's host; the model is opened by whoever shows the window.
    explicit GeneratorDialogWindow(GeneratorDialog& model, QWidget* parent = nullptr);
    ~GeneratorDialogWindow() override;

    GeneratorDialog& model() const { return model_; }

    // GeneratorDialogHost.
    void showMultitones() override;
    std::optional<std::uint32_t> askDuration() override;
    ExportProgress* exportProgress() override;
    void activate() override;
    void closeWindow() override;

    // How long an export works before its progress shows (about a second).
    void setProgressDelay(int milliseconds) { progressDelay_ = milliseconds; }

    // The widgets, for tests and for looking at the dialog.
    QTabWidget* tabs() const { return tabs_; }
    QComboBox* waveform(int channel) const { return waveform_[static_cast<std::size_t>(channel)]; }
    QComboBox* frequency(int channel) const { return frequency_[static_cast<std::size_t>(channel)]; }
    QComboBox* amplitude(int channel) const { return amplitude_[static_cast<std::size_t>(channel)]; }
    QComboBox* phase() const { return phase_; }
    QSlider* frequencySlider(int channel) const { return frequencySlider_[static_cast<std::size_t>(channel)]; }
    QSlider* amplitudeSlider(int channel) const { return amplitudeSlider_[static_cast<std::size_t>(channel)]; }
    QSlider* phaseSlider() const { return phaseSlider_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* runButton() const { return run_; }
    QPushButton* okButton() const { return ok_; }

protected:
    // However the window closes (Ok, Escape, its close box), the model closes with it.
    void done(int result) override;

private:
    QWidget* makeFunctionPage();
    QWidget* makeSweepPage();
    QWidget* makeSamplingPage();

    GeneratorDialog& model_;
    QTabWidget* tabs_ = nullptr;
    std::array<QComboBox*, 2> waveform_{};
    std::array<QComboBox*, 2> frequency_{};
    std::array<QComboBox*, 2> amplitude_{};
    QComboBox* phase_ = nullptr;
    std::array<QSlider*, 2> frequencySlider_{};
    std::array<QSlider*, 2> amplitudeSlider_{};
    QSlider* phaseSlider_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* ok_ = nullptr;
    std::unique_ptr<ExportProgressDialog> progress_;
    int progressDelay_ = 1000;
};

// Opens the model, shows the window modally until it closes, and closes the model.
void RunGeneratorDialog(GeneratorDialog& model, QWidget* parent);

}  // namespace tonewell
