#pragma once
// The "MultiTones Configuration" dialog in Qt: the waveform, frequency and relative amplitude
// boxes, the "Ch. A" and "Ch. B" lists with their ">" and "<" buttons, and "Save", "Load",
// "Close", bound to the MultitoneDialog model (opened before the window shows). "Close" and the
// window's close box both end it. UI thread; the model must outlive the window.

#include <QDialog>

#include <array>

class QComboBox;
class QListWidget;
class QPushButton;

namespace tonewell {

class MultitoneDialog;

class MultitoneWindow : public QDialog {
    Q_OBJECT
public:
    explicit MultitoneWindow(MultitoneDialog& model, QWidget* parent = nullptr);
    ~MultitoneWindow() override;

    QComboBox* waveform() const { return waveform_; }
    QComboBox* frequency() const { return frequency_; }
    QComboBox* amplitude() const { return amplitude_; }
    QListWidget* lines(int channel) const { return lines_[static_cast<std::size_t>(channel)]; }
    QPushButton* add(int channel) const { return add_[static_cast<std::size_t>(channel)]; }
    QPushButton* remove(int channel) const { return remove_[static_cast<std::size_t>(channel)]; }

private:
    MultitoneDialog& model_;
    QComboBox* waveform_ = nullptr;
    QComboBox* frequency_ = nullptr;
    QComboBox* amplitude_ = nullptr;
    std::array<QListWidget*, 2> lines_{};
    std::array<QPushButton*, 2> add_{};
    std::array<QPushButton*, 2> remove_{};
};

}  // namespace tonewell
