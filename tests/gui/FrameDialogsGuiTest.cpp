// The frame's help viewer and About box as the user meets them: Help Topic opens the program's
// own help at its contents, a help that cannot be shown says so, and About names the program.

#include "app/CMainFrame.h"
#include "app/HelpFile.h"
#include "app/Instrument.h"
#include "app/qt/AudioDeviceWindow.h"
#include "app/qt/HelpWindow.h"
#include "app/qt/MainWindow.h"
#include "app/qt/PanePictures.h"
#include "acquisition/WavBytes.h"
#include "platform/qt/QtShell.h"
#include "scope/qt/ScopeViewWidget.h"
#include "spectrum/qt/SpectrumViewWidget.h"
#include "app/qt/QtFrameDialogs.h"
#include "platform/RecordingShell.h"
#include "platform/audio/ChosenAudioBackend.h"
#include "platform/audio/LoopbackCable.h"
#include "support/ProgramHome.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTimer>

#include <unistd.h>

#include <cmath>

namespace tonewell {
namespace {

using namespace testing;

// For looking at a window as a user sees it: TONEWELL_SCREENSHOT_DIR=folder
void Picture(QWidget& window, const char* name) {
    if (QByteArray folder = qgetenv("TONEWELL_SCREENSHOT_DIR"); !folder.isEmpty())
        window.grab().save(QString::fromLocal8Bit(folder) + "/" + name + ".png");
}

class WindowDouble : public FrameWindow {
public:
    void showPanes(bool, bool) override {}
    int lowerPaneHeight() const override { return 100; }
    void recalcLayout() override {}
    void updateCommandBar() override {}
    void showWindow() override {}
    void closeWindow() override {}
    void setDocumentTitle(const std::string&) override {}
};

class FrameDialogsTest : public ::testing::Test {
protected:
    TempDir dir;
    ProgramHome home{dir / "home"};
    RecordingShell shell;
    LoopbackCable cable;
    Instrument instrument{shell, cable};
    QWidget parent;
    QtFrameDialogs dialogs{&parent, instrument, [](const QString&) {}, [] { return QStringLiteral("Loopback cable"); }};
    WindowDouble window;
    CMainFrame frame{instrument.frameParts(), window, dialogs, kEditionAll};
};

TEST_F(FrameDialogsTest, HelpTopicOpensTheProgramsHelpAtItsContents) {
    // The help beside the test program is the build folder's copy of the program's help.
    ASSERT_TRUE(FindHelpFile(RunningProgramFolder()).has_value());
    frame.OnCommand(kCommandHelpTopic);
    ASSERT_NE(dialogs.helpWindow(), nullptr);
    EXPECT_TRUE(shell.messages().empty()) << ::testing::PrintToString(shell.messages());
    HelpWindow& help = *dialogs.helpWindow();
    EXPECT_TRUE(help.isVisible());
    const QUrl source = help.browser()->source();
    EXPECT_EQ(source.fileName(), QStringLiteral("Celvane.htm"));
    EXPECT_EQ(source.fragment(), QStringLiteral("Main_Contents"));
    EXPECT_TRUE(help.browser()->toPlainText().contains(QStringLiteral("Caps Lock")));
    QApplication::processEvents();
    Picture(help, "help");

    // A link of the contents moves within the file; the next Help Topic shows the same viewer
    // at the contents again.
    help.browser()->setSource(QUrl(source.toString(QUrl::RemoveFragment) + QStringLiteral("#Files")));
    frame.OnCommand(kCommandHelpTopic);
    EXPECT_EQ(dialogs.helpWindow(), &help);
    EXPECT_EQ(help.browser()->source().fragment(), QStringLiteral("Main_Contents"));
}

TEST_F(FrameDialogsTest, HelpThatCannotBeShownSaysSo) {
    // A help file the viewer cannot read.
    std::filesystem::create_directories(dir / "bin" / "help");
    writeFileBytes(dir / "bin" / "help" / kHelpFileName, "<html></html>");
    std::filesystem::permissions(dir / "bin" / "help" / kHelpFileName, std::filesystem::perms::none);
    frame.setProgramFolder(dir / "bin");
    frame.OnCommand(kCommandHelpTopic);
    std::filesystem::permissions(dir / "bin" / "help" / kHelpFileName, std::filesystem::perms::owner_all);
    if (::geteuid() != 0) {
        EXPECT_EQ(shell.messages(), std::vector<std::string>{"Could not run peghelp.exe"});
        EXPECT_TRUE(dialogs.helpWindow() == nullptr || !dialogs.helpWindow()->isVisible());
    }

    // No help file at all.
    frame.setProgramFolder(dir / "nowhere");
    const std::size_t before = shell.messages().size();
    frame.OnCommand(kCommandHelpTopic);
    ASSERT_EQ(shell.messages().size(), before + 1);
    EXPECT_EQ(shell.messages().back(), "Could not run peghelp.exe");
}

TEST_F(FrameDialogsTest, AboutNamesTheProgramItsVersionAndTheAudio) {
    QString title, line, lines;
    QTimer::singleShot(0, [&] {
        QDialog* box = dialogs.aboutBox();
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        line = box->findChild<QLabel*>(QStringLiteral("aboutTitle"))->text();
        lines = box->findChild<QLabel*>(QStringLiteral("aboutLines"))->text();
        Picture(*box, "about");
        box->accept();
    });
    frame.OnCommand(kCommandAbout);
    EXPECT_EQ(title, QStringLiteral("Tonewell"));
    EXPECT_EQ(line, QStringLiteral("Tonewell 1.0"));
    EXPECT_TRUE(lines.contains(QStringLiteral("Loopback cable"))) << lines.toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("Version 1.0"))) << lines.toStdString();
}

// A sound card of two devices, each opened as a loopback cable's.
class SoundCardDouble : public LoopbackCable {
public:
    AudioBackendKind kind() const override { return AudioBackendKind::PortAudio; }
    std::string displayName() const override { return "Card"; }
    std::vector<AudioDeviceInfo> devices() const override {
        return {{"ALSA: Speakers", true, false, true, false}, {"ALSA: USB Headset", true, true, false, true}};
    }
};

TEST(AudioDeviceWindowTest, OkChoosesTheDevicesForTheNextStartAndRemembersThem) {
    QSettings().clear();
    TempDir dir;
    ProgramHome home{dir / "home"};
    RecordingShell shell;
    ChosenAudioBackend audio(std::make_unique<SoundCardDouble>(), std::make_unique<LoopbackCable>());
    audio.chooseDevices({"", "ALSA: Gone"});  // remembered from a machine that had it
    Instrument instrument{shell, audio};
    QWidget parent;
    QLabel status(&parent);
    status.setObjectName(QStringLiteral("audioBackendLabel"));
    QtFrameDialogs dialogs{&parent, instrument, [](const QString&) {}, [] { return QString(); }};

    QStringList outputs, inputs;
    QTimer::singleShot(0, [&] {
        auto* window = static_cast<AudioDeviceWindow*>(dialogs.audioDeviceWindow());
        ASSERT_NE(window, nullptr);
        for (int i = 0; i < window->outputBox()->count(); ++i) outputs << window->outputBox()->itemText(i);
        for (int i = 0; i < window->inputBox()->count(); ++i) inputs << window->inputBox()->itemText(i);
        EXPECT_EQ(window->inputBox()->currentText(), QStringLiteral("ALSA: Gone (not available)"));
        EXPECT_FALSE(window->environmentNote()->isVisibleTo(window));
        Picture(*window, "audio-device");
        window->outputBox()->setCurrentIndex(2);  // the headset
        window->inputBox()->setCurrentIndex(2);   // the cable
        window->accept();
    });
    dialogs.audioDevice();
    EXPECT_EQ(outputs, (QStringList{"System default", "ALSA: Speakers", "ALSA: USB Headset", "Loopback cable"}));
    EXPECT_EQ(inputs, (QStringList{"System default", "ALSA: USB Headset", "Loopback cable", "ALSA: Gone (not available)"}));
    EXPECT_EQ(audio.choice(), (AudioDeviceChoice{"ALSA: USB Headset", "Loopback cable"}));
    EXPECT_EQ(RememberedAudioDevices(), (AudioDeviceChoice{"ALSA: USB Headset", "Loopback cable"}));
    EXPECT_EQ(status.text(), QStringLiteral("Audio: PortAudio: ALSA: USB Headset / input: Loopback cable"));
    QSettings().clear();
}

// The PNG export of each pane against tonewell-cli's render of the same record with the same
// panel at the pane's size: the same bytes.
TEST(PanePicturesTest, EachPanesPngIsTheCliRenderOfTheSameRecordAndPanel) {
    QSettings().clear();
    TempDir dir;
    ProgramHome home{dir / "home"};
    QtShell shell;
    LoopbackCable cable;
    Instrument instrument{shell, cable};
    MainWindow window{shell, instrument, kEditionAll};
    std::string samples(4000, '\0');
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<char>(128 + static_cast<int>(100 * std::sin(static_cast<double>(i) * 0.09)));
    const std::filesystem::path record = dir / "take.wav";
    writeFileBytes(record, riff(chunk("fmt ", fmtBody(1, 11025, 8)) + chunk("data", samples)));
    window.frame().startUp(record);
    window.frame().OnSplashEnded();
    window.resize(900, 700);
    window.show();
    // Trigger "None": a panel read by tonewell-cli counts its trigger level as moved by the user,
    // which the pane marks only after the user has moved it.
    instrument.panel.trigger.mode.userSelect(0);
    QApplication::processEvents();
    ASSERT_TRUE(instrument.panel.savePanel(dir / "panel.psf", instrument.toneLists, instrument.programDir));

    auto* scopePane = static_cast<ScopeViewWidget*>(window.scopePane());
    auto* spectrumPane = static_cast<SpectrumViewWidget*>(window.spectrumPane());
    ASSERT_TRUE(spectrumPane->isVisible());
    PanePictures pictures(instrument.scope, scopePane, instrument.spectrum, spectrumPane);
    ASSERT_TRUE(pictures.writeScopePicture(dir / "scope.png"));
    ASSERT_TRUE(pictures.writeSpectrumPicture(dir / "spectrum.png"));

    const auto render = [&](const char* view, QSize size, const std::filesystem::path& output) {
        QProcess cli;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("TONEWELL_HOME", QString::fromStdString((dir / "home").string()));
        cli.setProcessEnvironment(environment);
        cli.start(QStringLiteral(TONEWELL_CLI),
                  {"render", QString::fromStdString(record.string()), "--view", view, "--panel",
                   QString::fromStdString((dir / "panel.psf").string()), "--size",
                   QStringLiteral("%1x%2").arg(size.width()).arg(size.height()), "--output",
                   QString::fromStdString(output.string())});
        return cli.waitForFinished(60000) && cli.exitCode() == 0;
    };
    ASSERT_TRUE(render("scope", scopePane->clientSize(), dir / "cli-scope.png"));
    ASSERT_TRUE(render("spectrum", spectrumPane->clientSize(), dir / "cli-spectrum.png"));
    if (QByteArray folder = qgetenv("TONEWELL_SCREENSHOT_DIR"); !folder.isEmpty()) {
        for (const char* name : {"scope.png", "spectrum.png", "cli-scope.png", "cli-spectrum.png"})
            std::filesystem::copy_file(dir / name, std::filesystem::path(folder.toStdString()) / ("export-" + std::string(name)),
                                       std::filesystem::copy_options::overwrite_existing);
    }
    EXPECT_TRUE(readFileBytes(dir / "scope.png") == readFileBytes(dir / "cli-scope.png"));
    EXPECT_TRUE(readFileBytes(dir / "spectrum.png") == readFileBytes(dir / "cli-spectrum.png"));
}

}  // namespace
}  // namespace tonewell
