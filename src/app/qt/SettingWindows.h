#pragma once
// The Notes, Calibration Setting and Display Setting dialogs in Qt: layouts bound to their core
// models (NotesDialog, CalibrationSettingDialog, DisplaySettingDialog), which hold the values,
// check them and store them. The model is opened before the dialog shows. UI thread; the model
// must outlive the dialog.

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tonewell {

class CalibrationSettingDialog;
class DisplaySettingDialog;
class NotesDialog;

class NotesWindow : public QDialog {
    Q_OBJECT
public:
    NotesWindow(NotesDialog& model, QWidget* parent = nullptr);

    QPlainTextEdit* textBox() const { return text_; }
    QCheckBox* displayBox() const { return display_; }

    // OK: the note takes the text (printable characters only) and the "Display" choice.
    void accept() override;

private:
    void onTextChanged();

    NotesDialog& model_;
    QPlainTextEdit* text_ = nullptr;
    QCheckBox* display_ = nullptr;
};

class CalibrationSettingWindow : public QDialog {
    Q_OBJECT
public:
    // beforeSave runs before "Save" writes the file (it makes the program's folder).
    CalibrationSettingWindow(CalibrationSettingDialog& model, std::function<void()> beforeSave,
                             QWidget* parent = nullptr);

    // The boxes in the model's order: input 8 and 16 bit, output 8 and 16 bit.
    QLineEdit* box(int which) const { return boxes_[static_cast<std::size_t>(which)]; }
    QPushButton* defaultButton() const { return default_; }
    QPushButton* saveButton() const { return save_; }

    // OK: stored when every box holds a number in range; otherwise the message and the dialog
    // stays.
    void accept() override;

private:
    void showModel();

    CalibrationSettingDialog& model_;
    std::function<void()> beforeSave_;
    std::array<QLineEdit*, 4> boxes_{};
    QPushButton* default_ = nullptr;
    QPushButton* save_ = nullptr;
};

class DisplaySettingWindow : public QDialog {
    Q_OBJECT
public:
    DisplaySettingWindow(DisplaySettingDialog& model, std::function<void()> beforeSave, QWidget* parent = nullptr);

    // The swatches in the model's order: background, channel A, channel B, grid, other text.
    QPushButton* swatch(int which) const { return swatches_[static_cast<std::size_t>(which)]; }
    QRadioButton* allPoints() const { return allPoints_; }
    QRadioButton* onePointPerRaster() const { return onePoint_; }
    // Invert, remove DC, "Point" editing, auto-run.
    QCheckBox* check(int which) const { return checks_[static_cast<std::size_t>(which)]; }
    QCheckBox* showMeasurements() const { return showMeasurements_; }
    QLineEdit* clockPpm() const { return clockPpm_; }
    QPushButton* defaultButton() const { return default_; }
    QPushButton* saveButton() const { return save_; }

    void accept() override;

private:
    void showModel();
    void takeControls();

    DisplaySettingDialog& model_;
    std::function<void()> beforeSave_;
    std::array<QPushButton*, 5> swatches_{};
    QRadioButton* allPoints_ = nullptr;
    QRadioButton* onePoint_ = nullptr;
    std::array<QCheckBox*, 4> checks_{};
    QCheckBox* showMeasurements_ = nullptr;
    QLineEdit* clockPpm_ = nullptr;
    QPushButton* default_ = nullptr;
    QPushButton* save_ = nullptr;
};

}  // namespace tonewell
