// The Frequency Response window's logic on the loopback cable, whose clock the test moves: the
// settings it refuses, a measurement flat at 0 dB with its cursor, latency and table, and a
// cancelled or failed run keeping the last measurement.

#include "app/ResponseWindowModel.h"

#include "platform/RecordingCanvas.h"
#include "platform/audio/FaultInjectingBackend.h"
#include "platform/audio/LoopbackCable.h"
#include "response/ResponseFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <thread>

namespace tonewell {
namespace {

using testing::TempDir;

constexpr std::uint64_t kStep = kResponseWindowRate / 50;  // 20 ms of cable time

struct FieldsCase {
    ResponseWindowFields fields;
    std::string problem;
};

ResponseWindowFields With(std::string from, std::string to, std::string seconds = "5", std::string level = "-12",
                          int input = 0) {
    return {from, to, seconds, level, input};
}

class ResponseWindowFieldsTest : public ::testing::TestWithParam<FieldsCase> {};

TEST_P(ResponseWindowFieldsTest, RefusedWithTheReason) {
    const ResponseWindowSettings read = ReadResponseWindowFields(GetParam().fields);
    EXPECT_EQ(read.problem, GetParam().problem);
    if (read.problem.empty()) {
        EXPECT_EQ(read.settings.sweep.sampleRate, kResponseWindowRate);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ResponseWindowFieldsTest,
    ::testing::Values(FieldsCase{{}, ""}, FieldsCase{With(" 100 ", "+5000", "43", "0", 1), ""},
                      FieldsCase{With("abc", "1000"), "From (Hz) takes a number, not \"abc\""},
                      FieldsCase{With("20", ""), "To (Hz) takes a number, not \"\""},
                      FieldsCase{With("20", "1e3x"), "To (Hz) takes a number, not \"1e3x\""},
                      FieldsCase{With("2000", "1000"), "From must be below To"},
                      FieldsCase{With("20", "20000", "0.5"), "The sweep must last 1 to 43 seconds"},
                      FieldsCase{With("20", "20000", "43.1"), "The sweep must last 1 to 43 seconds"},
                      FieldsCase{With("0.5", "20000"), "The sweep must stay between 1 Hz and 22800 Hz at this rate"},
                      FieldsCase{With("20", "23000"), "The sweep must stay between 1 Hz and 22800 Hz at this rate"},
                      FieldsCase{With("20", "20000", "5", "3"), "The level must be -60 to 0 dBFS"},
                      FieldsCase{With("20", "20000", "5", "-12", 2), "The input channel must be A or B"}));

// The model on the cable with a counting wrapper, so that the clock moves only while it records.
struct Rig {
    LoopbackCable cable;
    FaultInjectingBackend backend{cable};
    bool busy = false;
    ResponseWindowModel model{backend, [this] { return busy; }};
    std::uint32_t startsBefore = 0, writesBefore = 0;
    std::uint64_t advanced = 0;  // cable frames since the run started

    Rig() { model.fields.seconds = "1"; }

    bool run() {
        startsBefore = backend.callCount(AudioCall::InputStart);
        writesBefore = backend.callCount(AudioCall::OutputWrite);
        advanced = 0;
        return model.run();
    }
    // Moves the clock as the measurement records (never more than half a second ahead of it)
    // and polls as the window does, until the model has taken the end or `enough`.
    void drive(const std::function<bool()>& enough = {}) {
        const ResponseMeasurement& m = model.measurement();
        const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!model.poll() && model.running() && !(enough && enough()) && std::chrono::steady_clock::now() < bound) {
            const bool recording =
                m.state() == MeasurementState::Running && backend.callCount(AudioCall::InputStart) > startsBefore;
            const bool playing = backend.callCount(AudioCall::OutputWrite) > writesBefore;
            if (recording && advanced < (playing ? m.framesArrived() + kResponseWindowRate / 2 : kStep)) {
                cable.advanceFrames(kStep, kResponseWindowRate);
                advanced += kStep;
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
    }
    void measure() {
        ASSERT_TRUE(run()) << model.status();
        drive();
        ASSERT_FALSE(model.running());
        ASSERT_EQ(model.status(), "Measured");
    }
};

TEST(ResponseWindowModel, NothingToShowOrExportBeforeTheFirstMeasurement) {
    Rig rig;
    TempDir dir;
    RecordingCanvas canvas(800, 500);
    rig.model.draw(canvas);
    EXPECT_EQ(canvas.texts(), std::vector<std::string>{"No measurement yet: set the sweep and press Run"});
    EXPECT_FALSE(rig.model.placeCursor(400, 250));
    EXPECT_EQ(rig.model.cursorText(), "");
    EXPECT_EQ(rig.model.latencyText(), "");
    EXPECT_FALSE(rig.model.exportText(dir / "r.txt"));
    EXPECT_EQ(rig.model.status(), "Nothing to export yet: run a measurement first");
    EXPECT_FALSE(std::filesystem::exists(dir / "r.txt"));
}

TEST(ResponseWindowModel, RefusesBadFieldsAndBusyDevicesWithoutStarting) {
    Rig rig;
    rig.model.fields.toHz = "10";
    EXPECT_FALSE(rig.run());
    EXPECT_EQ(rig.model.status(), "From must be below To");
    rig.model.fields.toHz = "20000";
    rig.busy = true;
    EXPECT_FALSE(rig.run());
    EXPECT_EQ(rig.model.status(), "Stop the output and the input monitoring first: the sweep needs both sound devices");
    EXPECT_FALSE(rig.model.running());
    EXPECT_EQ(rig.backend.callCount(AudioCall::InputOpen), 0u);
}

TEST(ResponseWindowModel, LoopbackIsFlatWithItsCursorLatencyAndTable) {
    Rig rig;
    ASSERT_TRUE(rig.run());
    EXPECT_FALSE(rig.model.run());  // one at a time
    rig.drive([&] { return rig.model.progress() > 0.3; });
    EXPECT_LT(rig.model.progress(), 1.0);
    rig.drive();
    ASSERT_EQ(rig.model.status(), "Measured");
    const FrequencyResponse& r = *rig.model.response();
    for (std::size_t i = 0; i < r.frequencyHz.size(); ++i)
        if (r.frequencyHz[i] >= 100 && r.frequencyHz[i] <= 10000) {
            EXPECT_NEAR(r.magnitudeDb[i], 0.0, 0.05);
        }
    EXPECT_LE(r.latencySeconds * kResponseWindowRate, kStep + 0.5);
    EXPECT_EQ(rig.model.latencyText().rfind("Latency ", 0), 0u);
    EXPECT_EQ(rig.model.latencyText().find('-'), std::string::npos);  // a wire's hair below zero is 0.000

    // A tap half way across the plot reads the grid point nearest the band's geometric middle.
    RecordingCanvas canvas(800, 500), reference(800, 500);
    const ResponsePlotPanels panels = DrawResponsePlot(reference, r);
    rig.model.draw(canvas);
    EXPECT_FALSE(rig.model.placeCursor(panels.magnitude.left - 1, panels.magnitude.top + 5));
    EXPECT_FALSE(rig.model.placeCursor(panels.magnitude.left + 5, 0));  // above the panels
    EXPECT_EQ(rig.model.cursorText(), "");
    const int x = (panels.magnitude.left + panels.magnitude.right) / 2;
    ASSERT_TRUE(rig.model.placeCursor(x, panels.phase.top + 3));
    const double wanted = 20.0 * std::pow(1000.0, double(x - panels.magnitude.left) / (panels.magnitude.width() - 1));
    const std::string readout = rig.model.cursorText();
    const double shown = std::stod(readout);
    EXPECT_LT(std::fabs(std::log2(shown / wanted)), 1.0 / 96 + 1e-3) << readout;
    EXPECT_NE(readout.find(" Hz, 0.00 dB, "), std::string::npos) << readout;
    EXPECT_EQ(readout.substr(readout.size() - 4), " deg");
    canvas.clear();
    rig.model.draw(canvas);
    std::vector<RecordingCanvas::Operation> cursor;
    for (const auto& op : canvas.operationsOf(RecordingCanvas::Kind::Line))
        if (op.colour == MakeColour(0, 140, 0)) cursor.push_back(op);
    ASSERT_EQ(cursor.size(), 2u);
    for (const auto& line : cursor) EXPECT_NEAR(line.points[0].x, x, 1);
    EXPECT_EQ(cursor[0].points[0].y, panels.magnitude.top);
    EXPECT_EQ(cursor[1].points[1].y, panels.phase.bottom - 1);

    TempDir dir;
    ASSERT_TRUE(rig.model.exportText(dir / "r.txt"));
    EXPECT_EQ(testing::readFileBytes(dir / "r.txt"), ResponseTableText(r));
    EXPECT_FALSE(rig.model.exportText(dir / "missing" / "r.txt"));
    EXPECT_EQ(rig.model.status(), "Cannot write " + (dir / "missing" / "r.txt").string());
}

TEST(ResponseWindowModel, CancelAndFailureKeepTheLastMeasurement) {
    Rig rig;
    rig.measure();
    const FrequencyResponse first = *rig.model.response();
    ASSERT_TRUE(rig.run());
    rig.drive([&] { return rig.model.progress() > 0.2; });
    rig.model.cancel();
    rig.drive();
    EXPECT_EQ(rig.model.status(), "Cancelled; the last measurement stays");
    rig.backend.failCall(AudioCall::OutputOpen, AudioResult::Allocated);
    ASSERT_TRUE(rig.run());
    rig.drive();
    EXPECT_EQ(rig.model.status(), "The measurement failed: MMSYSERR_ALLOCATED; the last measurement stays");
    ASSERT_NE(rig.model.response(), nullptr);
    EXPECT_EQ(rig.model.response()->magnitudeDb, first.magnitudeDb);
    EXPECT_EQ(MeasurementEndText(MeasurementState::Failed, "no sound", false), "The measurement failed: no sound");
}

}  // namespace
}  // namespace tonewell
