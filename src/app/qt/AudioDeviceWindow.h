#pragma once
// The Audio Device setting: the output and input devices of the sound card and the loopback
// cable, the system default first, over ChosenAudioBackend; and the choice remembered in the
// program's settings for the next start. UI thread.

#include "platform/audio/AudioBackend.h"

#include <QDialog>

class QComboBox;
class QLabel;

namespace tonewell {

class ChosenAudioBackend;

// The choice remembered by the last OK of the setting (system defaults when none).
AudioDeviceChoice RememberedAudioDevices();
void RememberAudioDevices(const AudioDeviceChoice& choice);

class AudioDeviceWindow : public QDialog {
public:
    AudioDeviceWindow(const ChosenAudioBackend& backend, QWidget* parent = nullptr);

    // The devices selected in the lists now.
    AudioDeviceChoice choice() const;

    QComboBox* outputBox() const { return output_; }
    QComboBox* inputBox() const { return input_; }
    // The line that says the environment decides (hidden otherwise).
    QLabel* environmentNote() const { return environment_; }

private:
    QComboBox* output_;
    QComboBox* input_;
    QLabel* environment_;
};

}  // namespace tonewell
