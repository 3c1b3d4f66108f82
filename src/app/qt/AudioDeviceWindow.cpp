#include "app/qt/AudioDeviceWindow.h"

#include "platform/audio/ChosenAudioBackend.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSettings>
#include <QVBoxLayout>

#include <algorithm>

namespace tonewell {

namespace {

const QString kOutputKey = QStringLiteral("audioDevice/output");
const QString kInputKey = QStringLiteral("audioDevice/input");

// One list: the choices with their ids as item data; a chosen device that is not offered any
// more is marked so.
void Fill(QComboBox& box, const std::vector<std::string>& choices, const std::string& chosen,
          const std::vector<AudioDeviceInfo>& devices) {
    for (const std::string& id : choices) {
        QString text = id.empty() ? QString::fromLatin1(kSystemDefaultDeviceName) : QString::fromStdString(id);
        const bool present = id.empty() || std::any_of(devices.begin(), devices.end(),
                                                        [&](const AudioDeviceInfo& d) { return d.id == id; });
        if (!present) text += QStringLiteral(" (not available)");
        box.addItem(text, QString::fromStdString(id));
    }
    box.setCurrentIndex(std::max(0, box.findData(QString::fromStdString(chosen))));
}

}  // namespace

AudioDeviceChoice RememberedAudioDevices() {
    QSettings settings;
    return {settings.value(kOutputKey).toString().toStdString(), settings.value(kInputKey).toString().toStdString()};
}

void RememberAudioDevices(const AudioDeviceChoice& choice) {
    QSettings settings;
    settings.setValue(kOutputKey, QString::fromStdString(choice.output));
    settings.setValue(kInputKey, QString::fromStdString(choice.input));
}

AudioDeviceWindow::AudioDeviceWindow(const ChosenAudioBackend& backend, QWidget* parent)
    : QDialog(parent), output_(new QComboBox(this)), input_(new QComboBox(this)), environment_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Audio Device"));
    setObjectName(QStringLiteral("audioDeviceWindow"));
    const std::vector<AudioDeviceInfo> devices = backend.devices();
    Fill(*output_, backend.outputChoices(), backend.choice().output, devices);
    Fill(*input_, backend.inputChoices(), backend.choice().input, devices);
    output_->setObjectName(QStringLiteral("outputDevice"));
    output_->setAccessibleName(QStringLiteral("Output device"));
    // Announced by its current row on the Linux desktop: the description says what it selects.
    output_->setAccessibleDescription(QStringLiteral("Sound device the output plays on"));
    input_->setObjectName(QStringLiteral("inputDevice"));
    input_->setAccessibleName(QStringLiteral("Input device"));
    input_->setAccessibleDescription(QStringLiteral("Sound device the capture records from"));

    auto* when = new QLabel(QStringLiteral("The choice is used from the next start of the output or the capture."), this);
    when->setWordWrap(true);
    environment_->setText(QStringLiteral("TONEWELL_AUDIO or TONEWELL_AUDIO_DEVICE is set: the environment decides "
                                         "until it is unset; the choice is kept for then."));
    environment_->setWordWrap(true);
    environment_->setObjectName(QStringLiteral("environmentNote"));
    environment_->setVisible(backend.environmentDecides());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Output device"), output_);
    form->addRow(QStringLiteral("Input device"), input_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(when);
    layout->addWidget(environment_);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

AudioDeviceChoice AudioDeviceWindow::choice() const {
    return {output_->currentData().toString().toStdString(), input_->currentData().toString().toStdString()};
}

}  // namespace tonewell
