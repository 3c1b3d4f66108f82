// tonewell: the sound-card instrument with its window.
//
// Start-up order: the settings organisation; the tables and "default.psf"; the document and the
// frame ("Vorel.cfg", the generator's files); the file named on the command line; the splash
// (5000 ms, the main window hidden, a click or a key ends it early); then the main window with
// the panel's pane visibility.
//
// For measurements and tests: TONEWELL_SKIP_SPLASH=1 shows the main window at once;
// TONEWELL_QUIT_AFTER_PAINT=1 ends the program once the oscilloscope pane has been painted, and
// TONEWELL_SCREENSHOT=file.png does the same after saving a picture of the main window there;
// TONEWELL_SCREENSHOT_DELAY=ms waits that long after the first paint (for records to arrive).
// A program that ends itself this way does not ask to save the record. TONEWELL_COMMANDS=
// 32786,32820 runs these commands, in order, once the main window has appeared, as pressing
// their buttons would (Run/Stop monitoring input, Run/Stop output).

#include "app/Instrument.h"
#include "app/ReadoutOptions.h"
#include "app/qt/Artwork.h"
#include "app/qt/AudioDeviceWindow.h"
#include "app/qt/MainWindow.h"
#include "app/qt/SplashWindow.h"
#include "platform/audio/AudioBackendSelection.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/QtShell.h"

#include <QApplication>
#include <QEvent>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>

#ifndef TONEWELL_PRODUCT_EDITION
#define TONEWELL_PRODUCT_EDITION 3
#endif

namespace {

// The edition this program is built as (the build setting TONEWELL_PRODUCT_EDITION).
constexpr int kProductEdition = TONEWELL_PRODUCT_EDITION;
static_assert(kProductEdition >= 0 && kProductEdition <= 3, "TONEWELL_PRODUCT_EDITION is 0, 1, 2 or 3");

bool EnvironmentFlag(const char* name) { return qEnvironmentVariableIntValue(name) != 0; }

// Ends the program `delay` ms after the first paint of a widget, saving a picture of the window
// first when a file is named; beforeQuit runs just before.
class QuitAfterPaint : public QObject {
public:
    QuitAfterPaint(QWidget* watched, QWidget* window, QString picture, int delay, std::function<void()> beforeQuit)
        : QObject(watched), window_(window), picture_(std::move(picture)), delay_(delay),
          beforeQuit_(std::move(beforeQuit)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !quitting_) {
            quitting_ = true;
            QTimer::singleShot(delay_, qApp, [window = window_, picture = picture_, beforeQuit = beforeQuit_] {
                if (!picture.isEmpty() && window) window->grab().save(picture);
                beforeQuit();
                QApplication::quit();
            });
        }
        return false;
    }

private:
    QPointer<QWidget> window_;
    QString picture_;
    int delay_;
    std::function<void()> beforeQuit_;
    bool quitting_ = false;
};

// The commands of TONEWELL_COMMANDS, given as numbers separated by commas; others are skipped.
void RunScriptedCommands(tonewell::CMainFrame& frame) {
    const QStringList ids = qEnvironmentVariable("TONEWELL_COMMANDS").split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& text : ids) {
        bool number = false;
        const int id = text.trimmed().toInt(&number);
        if (number) frame.OnCommand(id);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quendal Technology"));
    QApplication::setApplicationName(QStringLiteral("Tonewell"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setWindowIcon(tonewell::ProgramIcon());
    // The desktop entry the window belongs to: the whole instrument is installed as tonewell-full.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kProductEdition == 0 ? "tonewell-full" : "tonewell"));
    // The program ends when its main window closes for good (File Close, Exit, the close box),
    // not when the splash goes.
    QApplication::setQuitOnLastWindowClosed(false);

    // The devices chosen in Audio Device (remembered); TONEWELL_AUDIO=portaudio|loopback and
    // TONEWELL_AUDIO_DEVICE override them. By default the sound card when it has an output
    // device, else the loopback cable.
    std::unique_ptr<tonewell::ChosenAudioBackend> audio = tonewell::CreateChosenAudioBackendFromEnvironment();
    audio->chooseDevices(tonewell::RememberedAudioDevices());
    tonewell::QtShell shell;
    // A remembered device that has gone: said once the start that fell back has finished.
    audio->setReport([&shell](const std::string& text) { shell.post([&shell, text] { shell.showMessage(text); }); });
    tonewell::Instrument instrument(shell, *audio);
    // The measurement readouts as the Display Setting left them.
    {
        tonewell::QtSettingsStore store;
        instrument.readouts.setOptions(tonewell::LoadReadoutOptions(store));
    }
    tonewell::MainWindow window(shell, instrument, kProductEdition);
    window.setAudioBackendName(QString::fromStdString(audio->displayName()));
    QObject::connect(&window, &tonewell::MainWindow::programEnded, &app, &QApplication::quit, Qt::QueuedConnection);

    std::optional<std::filesystem::path> file;
    if (const QStringList arguments = QApplication::arguments(); arguments.size() > 1)
        file = std::filesystem::path(arguments.at(1).toLocal8Bit().toStdString());
    window.frame().startUp(file);

    const QString picture = qEnvironmentVariable("TONEWELL_SCREENSHOT");
    if (EnvironmentFlag("TONEWELL_QUIT_AFTER_PAINT") || !picture.isEmpty())
        new QuitAfterPaint(window.scopePane(), &window, picture,
                           std::max(0, qEnvironmentVariableIntValue("TONEWELL_SCREENSHOT_DELAY")),
                           [&instrument] { instrument.document.skipSavePrompt = true; });
    if (EnvironmentFlag("TONEWELL_SKIP_SPLASH")) {
        window.frame().OnSplashEnded();
        RunScriptedCommands(window.frame());
    } else {
        auto* splash = new tonewell::SplashWindow(tonewell::SplashPicture());
        splash->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<tonewell::MainWindow> main(&window);
        QObject::connect(splash, &tonewell::SplashWindow::closed, &window, [main] {
            if (!main) return;
            main->frame().OnSplashEnded();
            RunScriptedCommands(main->frame());
        });
        QObject::connect(&window, &tonewell::MainWindow::programEnded, splash, &tonewell::SplashWindow::dismiss);
        splash->start();
    }
    return QApplication::exec();
}
