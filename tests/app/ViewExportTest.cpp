#include "app/ViewExport.h"

#include <gtest/gtest.h>

#include "acquisition/WavBytes.h"
#include "app/CMainFrame.h"
#include "app/Instrument.h"
#include "platform/RecordingShell.h"
#include "platform/audio/LoopbackCable.h"
#include "support/ProgramHome.h"
#include "support/TempDir.h"

namespace tonewell {
namespace {

using namespace testing;

struct ExtensionCase {
    const char* chosen;
    const char* written;
};

class PictureExtensionTest : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(PictureExtensionTest, ANameWithoutADotAnywhereGetsPng) {
    EXPECT_EQ(WithPictureExtension(GetParam().chosen), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(Names, PictureExtensionTest,
                         ::testing::Values(ExtensionCase{"/tmp/shot", "/tmp/shot.png"},
                                ExtensionCase{"/tmp/shot.png", "/tmp/shot.png"},
                                ExtensionCase{"/tmp/shot.jpeg", "/tmp/shot.jpeg"},
                                ExtensionCase{"/tmp/my.dir/shot", "/tmp/my.dir/shot"}));

// Records what the export's two writers were asked.
struct Writers {
    ExportWriter text() {
        return [this](const std::filesystem::path& path) {
            texts.push_back(path.string());
            return true;
        };
    }
    ExportWriter picture() {
        return [this](const std::filesystem::path& path) {
            pictures.push_back(path.string());
            return pictureWrites;
        };
    }
    std::vector<std::string> texts, pictures;
    bool pictureWrites = true;
};

TEST(ViewExportTest, TheChosenTypeDecidesTheWriterAndTheExtension) {
    RecordingShell shell;
    Writers writers;
    shell.saveFileAnswers = {"/out/view", "/out/view"};
    shell.saveFilterAnswers = {0, 1};
    ExportView(shell, true, writers.text(), writers.picture());
    ExportView(shell, true, writers.text(), writers.picture());
    EXPECT_EQ(writers.texts, std::vector<std::string>{"/out/view.txt"});
    EXPECT_EQ(writers.pictures, std::vector<std::string>{"/out/view.png"});
    ASSERT_EQ(shell.fileRequests.size(), 2u);
    EXPECT_EQ(shell.fileRequests[0].filter, "Text File (*.txt)|*.txt|PNG Picture (*.png)|*.png|");
    EXPECT_TRUE(shell.fileRequests[0].promptOverwrite);
    EXPECT_TRUE(shell.messages().empty());
}

TEST(ViewExportTest, APictureThatCannotBeWrittenSaysSoAndCancelWritesNothing) {
    RecordingShell shell;
    Writers writers;
    writers.pictureWrites = false;
    shell.saveFileAnswers = {"/out/view"};
    shell.saveFilterAnswers = {1};
    ExportView(shell, false, writers.text(), writers.picture());
    EXPECT_EQ(shell.messages(), std::vector<std::string>{"fail to create the file"});

    ExportView(shell, false, writers.text(), writers.picture());  // no answer left: cancelled
    EXPECT_EQ(writers.pictures.size(), 1u);
    EXPECT_TRUE(writers.texts.empty());
    EXPECT_EQ(shell.messages().size(), 1u);
}

TEST(ViewExportTest, WithoutPicturesOnlyTheTextTypeIsOffered) {
    RecordingShell shell;
    Writers writers;
    shell.saveFileAnswers = {"/out/view"};
    shell.saveFilterAnswers = {1};  // a row the dialog did not offer
    ExportView(shell, false, writers.text(), ExportWriter());
    EXPECT_EQ(shell.fileRequests.at(0).filter, "Text File (*.txt)|*.txt|");
    EXPECT_EQ(writers.texts, std::vector<std::string>{"/out/view.txt"});
}

// The frame sends the PNG type of each view's export to that view's picture.
class PicturesDouble : public ViewPictures {
public:
    bool writeScopePicture(const std::filesystem::path& path) override {
        written.push_back("scope " + path.filename().string());
        return true;
    }
    bool writeSpectrumPicture(const std::filesystem::path& path) override {
        written.push_back("spectrum " + path.filename().string());
        return true;
    }
    std::vector<std::string> written;
};

class NoWindow : public FrameWindow {
public:
    void showPanes(bool, bool) override {}
    int lowerPaneHeight() const override { return 100; }
    void recalcLayout() override {}
    void updateCommandBar() override {}
    void showWindow() override {}
    void closeWindow() override {}
    void setDocumentTitle(const std::string&) override {}
};

class NoDialogs : public FrameDialogs {
public:
    void calibrationSetting() override {}
    void displaySetting() override {}
    void notes() override {}
    void signalGenerator() override {}
    void audioDevice() override {}
    void spectrumXScale() override {}
    void spectrumYScale() override {}
    void about() override {}
};

TEST(ViewExportTest, TheFrameSendsEachViewsPictureTypeToItsPicture) {
    TempDir dir;
    ProgramHome home{dir / "home"};
    RecordingShell shell;
    LoopbackCable cable;
    Instrument instrument{shell, cable};
    NoWindow window;
    NoDialogs dialogs;
    CMainFrame frame{instrument.frameParts(), window, dialogs, kEditionAll};
    PicturesDouble pictures;
    frame.setViewPictures(&pictures);
    writeFileBytes(dir / "take.wav",
                   riff(chunk("fmt ", fmtBody(1, 11025, 8)) + chunk("data", std::string(2048, '\x90'))));
    frame.startUp(dir / "take.wav");
    frame.OnSplashEnded();

    shell.saveFileAnswers = {(dir / "scope").string(), (dir / "spectrum").string(), (dir / "spectrum").string()};
    shell.saveFilterAnswers = {1, 1, 0};
    frame.OnCommand(kCommandScopeExport);
    frame.OnCommand(kCommandSpectrumExport);
    frame.OnCommand(kCommandSpectrumExport);
    EXPECT_EQ(pictures.written, (std::vector<std::string>{"scope scope.png", "spectrum spectrum.png"}));
    EXPECT_EQ(readFileBytes(dir / "spectrum.txt").rfind("RMS Spectrum\r\n", 0), 0u);
    EXPECT_TRUE(shell.messages().empty()) << ::testing::PrintToString(shell.messages());
}

}  // namespace
}  // namespace tonewell
