#pragma once
// The Qt dialogs "Spectrum Analyzer X Axis Scale" and "Spectrum Analyzer Y Axis Scale": radio
// buttons and the "Normalized" check box bound to the core dialog models, OK and Cancel. The
// frame opens them for commands 32813 and 32814 and for the view's double taps. UI thread.

#include <QDialog>

class QCheckBox;
class QRadioButton;

namespace tonewell {

struct SpectrumScaleChoice;
class SpectrumXScaleDialog;
class SpectrumYScaleDialog;
struct RunState;

class SpectrumXScaleDialogBox : public QDialog {
    Q_OBJECT
public:
    // The model must be open (SpectrumXScaleDialog::Open) and outlive the box. OK hands the
    // choice to the view through the model.
    SpectrumXScaleDialogBox(SpectrumXScaleDialog& model, QWidget* parent = nullptr);
    ~SpectrumXScaleDialogBox() override;

    QRadioButton* option(int index) const { return options_[index]; }
    void accept() override;

private:
    SpectrumXScaleDialog& model_;
    QRadioButton* options_[2] = {};
};

class SpectrumYScaleDialogBox : public QDialog {
    Q_OBJECT
public:
    // The model must be open (SpectrumYScaleDialog::Open) and outlive the box.
    SpectrumYScaleDialogBox(SpectrumYScaleDialog& model, QWidget* parent = nullptr);
    ~SpectrumYScaleDialogBox() override;

    QRadioButton* option(int index) const { return options_[index]; }
    QCheckBox* normalized() const { return normalized_; }
    void accept() override;

private:
    SpectrumYScaleDialog& model_;
    QRadioButton* options_[2] = {};
    QCheckBox* normalized_ = nullptr;
};

// Opens the dialog over parent with the current choice; while input monitoring runs nothing
// opens. True when the user pressed OK (the choice has then been handed on).
bool RunSpectrumXScaleDialog(const SpectrumScaleChoice& choice, const RunState& run, QWidget* parent);
bool RunSpectrumYScaleDialog(const SpectrumScaleChoice& choice, const RunState& run, QWidget* parent);

}  // namespace tonewell
