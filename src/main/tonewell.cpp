// tonewell: the sound-card instrument with its window.

#include "app/Instrument.h"
#include "app/qt/MainWindow.h"
#include "platform/audio/AudioBackendSelection.h"
#include "platform/qt/QtShell.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tonewell"));
    // TONEWELL_AUDIO=portaudio|loopback chooses; by default the sound card when it has an
    // output device, else the loopback cable.
    std::unique_ptr<tonewell::AudioBackend> audio = tonewell::CreateAudioBackendFromEnvironment();
    tonewell::QtShell shell;
    tonewell::Instrument instrument(shell, *audio);
    tonewell::MainWindow window(shell, instrument);
    shell.setWindow(&window);
    instrument.startUp();
    window.setAudioBackendName(QString::fromStdString(audio->displayName()));
    window.show();
    return QApplication::exec();
}
