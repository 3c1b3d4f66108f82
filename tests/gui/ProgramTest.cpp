// The program itself, started as a user starts it (offscreen, on the loopback cable, its files
// and window settings in a test folder).

#include "acquisition/WavBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>

#include <cmath>
#include <vector>

namespace tonewell {
namespace {

using namespace testing;

constexpr int kRunStopOutputCommand = 32820;

struct ProgramRun {
    int exitCode = -1;
    QImage picture;
};

ProgramRun StartProgram(const TempDir& dir, const QStringList& arguments,
                        const QString& programFile = QStringLiteral(TONEWELL_PROGRAM),
                        const QProcessEnvironment& extra = {}) {
    const QString picture = QString::fromStdString((dir / "window.png").string());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("TONEWELL_AUDIO", "loopback");
    environment.insert("TONEWELL_HOME", QString::fromStdString((dir / "home").string()));
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString((dir / "config").string()));
    environment.insert("TONEWELL_SKIP_SPLASH", "1");
    environment.insert("TONEWELL_SCREENSHOT", picture);
    for (const QString& key : extra.keys()) environment.insert(key, extra.value(key));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(programFile, arguments);
    ProgramRun run;
    if (!program.waitForFinished(60000)) {
        program.kill();
        program.waitForFinished();
        return run;
    }
    run.exitCode = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    run.picture.load(picture);
    return run;
}

TEST(ProgramTest, StartsOnAWavFileAndPaintsItsWindow) {
    TempDir dir;
    const auto wav = dir / "take.wav";
    writeFileBytes(wav, riff(chunk("fmt ", fmtBody(1, 44100, 16)) + chunk("data", samples16({0, 9000, 16000, 9000, 0, -9000}))));
    const ProgramRun run = StartProgram(dir, {QString::fromStdString(wav.string())});
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_FALSE(run.picture.isNull());
    EXPECT_GE(run.picture.width(), 640);
    EXPECT_GE(run.picture.height(), 400);
}

// Pixels of one colour in the rows from `top` down.
int PixelsOf(const QImage& picture, QRgb colour, int top) {
    int count = 0;
    for (int y = top; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) count += (picture.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return count;
}

TEST(ProgramTest, TheOscilloscopePaneDrawsTheRecordInChannelAColour) {
    TempDir dir;
    std::vector<int> sine;
    for (int i = 0; i < 2000; ++i) sine.push_back(static_cast<int>(12000 * std::sin(i * 0.0628)));
    const auto wav = dir / "sine.wav";
    writeFileBytes(wav, riff(chunk("fmt ", fmtBody(1, 44100, 16)) + chunk("data", samples16(sine))));
    const ProgramRun run = StartProgram(dir, {QString::fromStdString(wav.string())});
    ASSERT_EQ(run.exitCode, 0);
    ASSERT_FALSE(run.picture.isNull());
    // Channel A's default colour is blue; the trace crosses the pane's whole width, below the
    // toolbars and the readout line.
    const int blue = PixelsOf(run.picture, qRgb(0, 0, 255), run.picture.height() / 4);
    EXPECT_GT(blue, run.picture.width() / 2) << blue;

    // Without a record there is no trace.
    TempDir empty;
    const ProgramRun none = StartProgram(empty, {});
    ASSERT_FALSE(none.picture.isNull());
    EXPECT_LT(PixelsOf(none.picture, qRgb(0, 0, 255), none.picture.height() / 4), 50);
}

TEST(ProgramTest, EditionZeroDrawsTheRecordInBothPanes) {
    TempDir dir;
    std::vector<int> sine;
    for (int i = 0; i < 4096; ++i) sine.push_back(static_cast<int>(12000 * std::sin(i * 0.0628)));
    const auto wav = dir / "sine.wav";
    writeFileBytes(wav, riff(chunk("fmt ", fmtBody(1, 44100, 16)) + chunk("data", samples16(sine))));
    const ProgramRun run = StartProgram(dir, {QString::fromStdString(wav.string())},
                                        QStringLiteral(TONEWELL_PROGRAM_EDITION0));
    ASSERT_EQ(run.exitCode, 0);
    ASSERT_FALSE(run.picture.isNull());
    // The spectrum analyser shares the window with the oscilloscope: channel A's trace (or its
    // spectrum) shows in the lower half as well as in the upper.
    const int lower = PixelsOf(run.picture, qRgb(0, 0, 255), run.picture.height() * 5 / 8);
    const int all = PixelsOf(run.picture, qRgb(0, 0, 255), run.picture.height() / 8);
    EXPECT_GT(lower, 20);
    EXPECT_GT(all - lower, run.picture.width() / 2);
}

// Edition 0 started without a file runs capture at start-up; the generator's sine, played into
// the cable, comes back as triggered records that both panes draw.
TEST(ProgramTest, EditionZeroCapturesTheGeneratorsOutputThroughTheCable) {
    TempDir dir;
    QProcessEnvironment extra;
    extra.insert("TONEWELL_COMMANDS", QString::number(kRunStopOutputCommand));
    extra.insert("TONEWELL_SCREENSHOT_DELAY", "2000");
    const ProgramRun run = StartProgram(dir, {}, QStringLiteral(TONEWELL_PROGRAM_EDITION0), extra);
    ASSERT_EQ(run.exitCode, 0);
    ASSERT_FALSE(run.picture.isNull());
    if (QByteArray folder = qgetenv("TONEWELL_SCREENSHOT_DIR"); !folder.isEmpty())
        run.picture.save(QString::fromLocal8Bit(folder) + QStringLiteral("/capture-edition0.png"));
    const int lower = PixelsOf(run.picture, qRgb(0, 0, 255), run.picture.height() * 5 / 8);
    const int all = PixelsOf(run.picture, qRgb(0, 0, 255), run.picture.height() / 8);
    EXPECT_GT(lower, 20) << "the spectrum of the captured sine";
    EXPECT_GT(all - lower, run.picture.width()) << "the captured sine swings across the oscilloscope";
}

TEST(ProgramTest, StartsWithoutAFile) {
    TempDir dir;
    const ProgramRun run = StartProgram(dir, {});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(run.picture.isNull());
}

}  // namespace
}  // namespace tonewell
