// The measurement readouts: measured as each record arrives, drawn by both views, off by default,
// the clock correction applied, the choices kept in the settings store and set in Display Setting.

#include "app/DisplaySettingDialog.h"
#include "app/Instrument.h"
#include "app/ReadoutOptions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "measurement/ToneRecord.h"
#include "platform/RecordingCanvas.h"
#include "platform/RecordingShell.h"
#include "platform/audio/LoopbackCable.h"
#include "support/ProgramHome.h"
#include "support/TempDir.h"

namespace tonewell {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

class MapStore : public SettingsStore {
public:
    std::optional<std::string> value(std::string_view key) const override {
        const auto found = values.find(std::string(key));
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    void setValue(std::string_view key, const std::string& text) override { values[std::string(key)] = text; }
    std::map<std::string, std::string> values;
};

class MeasurementReadoutsTest : public ::testing::Test {
protected:
    void Put(const std::vector<testing::Tone>& tones, double seconds = 0.1) {
        static_cast<SignalRecord&>(instrument.document) = testing::ToneRecord(16, 48000, seconds, tones);
        instrument.document.RecordChanged();
        instrument.document.ComputeStatistics(instrument.scopePanel.settings().type);
    }
    // The program has started; a record opened: the views fit it.
    void SetUp() override { instrument.startUp(); }
    void Open(const std::vector<testing::Tone>& tones, double seconds = 0.1) {
        Put(tones, seconds);
        instrument.takeRecordInViews();
    }
    // The next record arrives as capture hands one over: samples, revision, statistics, redraw.
    void Arrive(const std::vector<testing::Tone>& tones) {
        Put(tones);
        instrument.effects.RedrawAllViews();
    }
    void Show(double ppm = 0.0) { instrument.readouts.setOptions({true, ppm}); }

    std::vector<std::string> Texts(bool spectrum) {
        RecordingCanvas canvas(960, 600, 8, 16);
        if (spectrum)
            instrument.spectrum.drawPicture(canvas);
        else
            instrument.scope.drawPicture(canvas);
        std::vector<std::string> texts;
        for (const auto& op : canvas.operationsOf(RecordingCanvas::Kind::Text)) texts.push_back(op.text);
        return texts;
    }
    std::vector<std::string> Containing(bool spectrum, std::string_view part) {
        std::vector<std::string> found;
        for (const std::string& text : Texts(spectrum))
            if (text.find(part) != std::string::npos) found.push_back(text);
        return found;
    }

    testing::TempDir dir;
    testing::ProgramHome programHome{dir / "home"};
    RecordingShell shell;
    LoopbackCable cable;
    Instrument instrument{shell, cable};
};

TEST_F(MeasurementReadoutsTest, BothViewsShowEachChannelsMeasurementsAndNothingWhenOff) {
    Open({{1000.0, 0.5, {0.01}}, {1500.0, 0.0}});
    const std::vector<std::string> textsBefore = Texts(true);
    const PlotRect plotBefore = instrument.spectrum.frame().plotRect();
    EXPECT_THAT(Containing(false, "F="), IsEmpty());  // off by default
    EXPECT_THAT(Containing(true, ": "), IsEmpty());

    Show();
    // A: 0.5 V peak is 353.6 mV RMS, its second harmonic 1 % (-40 dB); B is silent.
    EXPECT_THAT(Containing(false, "F="), ::testing::ElementsAre(HasSubstr("RMS=0.354V F=1000.00Hz")));
    EXPECT_THAT(Containing(true, ": "),
                ::testing::ElementsAre("A: 1000.00Hz 353.6mV THD -40.0dB THD+N -40.0dB SINAD 40.0dB",
                                       "B: silent: nothing to measure"));
    // The lines take rows above the plot.
    EXPECT_EQ(instrument.spectrum.frame().plotRect().top, plotBefore.top + 2 * 16);

    // A phase spectrum and a sum show none.
    instrument.panel.spectrum.type.userSelect(1);
    EXPECT_THAT(Containing(true, ": "), IsEmpty());
    instrument.panel.scope.type.userSelect(kScopeTypeSum);
    EXPECT_THAT(Containing(false, "F="), IsEmpty());

    instrument.panel.spectrum.type.userSelect(0);
    instrument.readouts.setOptions({false, 0.0});
    EXPECT_EQ(Texts(true), textsBefore);
    EXPECT_EQ(instrument.spectrum.frame().plotRect(), plotBefore);
}

TEST_F(MeasurementReadoutsTest, EachRecordIsMeasuredWhenItArrivesNotWhenDrawn) {
    Show();
    Open({{1000.0, 0.5}});
    EXPECT_THAT(Containing(false, "F="), ::testing::ElementsAre(HasSubstr("F=1000.00Hz")));
    // Samples changed without arriving: the drawing pass does not measure them.
    Put({{2000.0, 0.5}});
    EXPECT_THAT(Containing(false, "F="), ::testing::ElementsAre(HasSubstr("F=1000.00Hz")));
    instrument.effects.RedrawAllViews();
    EXPECT_THAT(Containing(false, "F="), ::testing::ElementsAre(HasSubstr("F=2000.00Hz")));
    Arrive({{440.0, 0.5}});
    EXPECT_THAT(Containing(false, "F="), ::testing::ElementsAre(HasSubstr("F=440.00Hz")));
}

// A card whose clock runs 50 ppm fast reads a true 1 kHz as 999.95 Hz; the correction the help
// gives, (reference / reading - 1) x 10^6, brings it back.
TEST_F(MeasurementReadoutsTest, TheClockCorrectionFoundFromAReferenceRestoresItsFrequency) {
    Open({{999.95, 0.5}}, 1.0);
    Show();
    EXPECT_THAT(Containing(false, "F="), ::testing::ElementsAre(HasSubstr("F=999.95Hz")));
    instrument.readouts.setOptions({true, (1000.0 / 999.95 - 1.0) * 1e6});
    EXPECT_THAT(Containing(false, "F="), ::testing::ElementsAre(HasSubstr("F=1000.00Hz")));
    EXPECT_THAT(Containing(true, "A: "), ::testing::ElementsAre(HasSubstr("A: 1000.00Hz")));
}

TEST(ReadoutOptionsTest, ClockCorrectionTexts) {
    struct Case {
        const char* text;
        std::optional<double> ppm;
    };
    for (const Case& c : {Case{"37.5", 37.5}, Case{" -12.25 ", -12.25}, Case{"+3", 3.0}, Case{"1000", 1000.0},
                          Case{"-1000", -1000.0}, Case{"1000.5", {}}, Case{"1e9", {}}, Case{"", {}}, Case{"abc", {}},
                          Case{"12abc", {}}, Case{"nan", {}}, Case{"37,5", {}}})
        EXPECT_EQ(ParseClockPpm(c.text), c.ppm) << c.text;
}

TEST(ReadoutOptionsTest, StoredChoicesComeBackAndBadOnesKeepTheDefaults) {
    MapStore store;
    EXPECT_EQ(LoadReadoutOptions(store), ReadoutOptions{});
    SaveReadoutOptions(store, {true, -37.5});
    EXPECT_EQ(LoadReadoutOptions(store), (ReadoutOptions{true, -37.5}));
    store.values["measurements/clockPpm"] = "5000";
    EXPECT_EQ(LoadReadoutOptions(store), (ReadoutOptions{true, 0.0}));
}

TEST_F(MeasurementReadoutsTest, DisplaySettingSetsAndKeepsTheChoicesAndRefusesABadCorrection) {
    MapStore store;
    const auto file = dir / "Vorel.cfg";
    DisplaySettingDialog dialog(instrument.configuration, shell, file, nullptr);
    dialog.attachReadouts(&instrument.readouts, &store);
    dialog.Open();
    EXPECT_FALSE(dialog.showMeasurements);
    EXPECT_EQ(dialog.clockPpm, "0");

    dialog.showMeasurements = true;
    dialog.clockPpm = "1500";
    EXPECT_FALSE(dialog.OnOk());
    EXPECT_EQ(shell.messages().back(), kClockPpmMessage);
    EXPECT_TRUE(store.values.empty());
    EXPECT_FALSE(instrument.readouts.options().showMeasurements);

    dialog.clockPpm = "-20.5";
    EXPECT_TRUE(dialog.OnSave());
    EXPECT_EQ(instrument.readouts.options(), (ReadoutOptions{true, -20.5}));
    EXPECT_EQ(LoadReadoutOptions(store), (ReadoutOptions{true, -20.5}));
    // Default restores the display's built-in values but not the measured correction.
    dialog.OnDefault();
    EXPECT_EQ(dialog.clockPpm, "-20.5");
}

}  // namespace
}  // namespace tonewell
