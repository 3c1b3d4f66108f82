// The program itself, started as a user starts it (offscreen, on the loopback cable, its files
// and window settings in a test folder).

#include "acquisition/WavBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>

namespace tonewell {
namespace {

using namespace testing;

struct ProgramRun {
    int exitCode = -1;
    QImage picture;
};

ProgramRun StartProgram(const TempDir& dir, const QStringList& arguments) {
    const QString picture = QString::fromStdString((dir / "window.png").string());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("TONEWELL_AUDIO", "loopback");
    environment.insert("TONEWELL_HOME", QString::fromStdString((dir / "home").string()));
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString((dir / "config").string()));
    environment.insert("TONEWELL_SKIP_SPLASH", "1");
    environment.insert("TONEWELL_SCREENSHOT", picture);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TONEWELL_PROGRAM), arguments);
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

TEST(ProgramTest, StartsWithoutAFile) {
    TempDir dir;
    const ProgramRun run = StartProgram(dir, {});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(run.picture.isNull());
}

}  // namespace
}  // namespace tonewell
