#pragma once
// A spectrum view with everything it reads, for tests and benchmarks: the tables, the spectrum
// bars with their handlers connected as the program connects them to the controller that sets
// the view, the analysis, a document whose record the test sets, the configuration, the
// program-wide state and a frame that records what it is asked.

#include "acquisition/SignalDoc.h"
#include "app/PanelSetting.h"
#include "app/SpectrumPanel.h"
#include "platform/RecordingShell.h"
#include "shared/RangeTables.h"
#include "spectrum/CSpectrumView.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tonewell::testing {

class RecordingSpectrumFrame : public SpectrumFrameHooks {
public:
    int scopeType() const override { return scope; }
    void openXScaleDialog() override { ++xDialogs; }
    void openYScaleDialog() override { ++yDialogs; }

    int scope = 0;
    int xDialogs = 0;
    int yDialogs = 0;
};

class SpectrumViewHarness {
public:
    SpectrumViewHarness() {
        bars.fill(tables, true);
        // The spectrum bars' handlers, as the program connects them.
        bars.type.setSelectionHandler([this](int) { panel.typeChanged(); });
        for (ListControl* list : {&bars.xRange, &bars.xMultiplier, &bars.rangeA, &bars.multiplierA, &bars.rangeB,
                                  &bars.multiplierB, &bars.fftPoints, &bars.window})
            list->setSelectionHandler([this](int) { panel.applyControls(); });
        view.setFrameHooks(&frame);
        view.setRepaintHandler([this] { ++repaints; });
    }

    // A record at samplesPerSecond (the interval taken exactly as 10^k / rate where that is
    // whole) with codes per channel. samplingType 1 (A), 2 (B) or 3 (A and B); fullScaleMillivolts
    // gives both channels' range, bits their resolution.
    void SetRecord(std::uint8_t samplingType, std::vector<std::uint16_t> a, std::vector<std::uint16_t> b = {},
                   std::uint32_t samplesPerSecond = 10000, int bits = 16, float fullScaleMillivolts = 1000.0f) {
        configuration.inputFullScale8 = configuration.inputFullScale16 = fullScaleMillivolts;
        document.MakeFresh({samplingType == kSamplingTypeAB, samplesPerSecond, bits, 0x300A});
        document.samplingType = samplingType;
        acquisition.samplingRate = static_cast<std::int32_t>(samplesPerSecond);
        for (int exponent = 12; exponent >= 0; --exponent) {
            const double mantissa = std::pow(10.0, 12 - exponent) / samplesPerSecond;
            if (mantissa > 6553.5 && mantissa <= 65535.0 && mantissa == std::floor(mantissa)) {
                document.intervalMantissa = static_cast<std::uint16_t>(mantissa);
                document.intervalExponent = static_cast<std::uint8_t>(exponent);
                break;
            }
        }
        const std::size_t n = std::max(a.size(), b.size());
        if (a.size() < n) a = b;
        if (b.size() < n) b = a;
        document.sampleCount = static_cast<std::uint32_t>(n);
        document.dataA = a.empty() ? std::vector<std::uint16_t>(1, 0) : std::move(a);
        document.dataB = b.empty() ? std::vector<std::uint16_t>(1, 0) : std::move(b);
        document.ComputeStatistics(0);
    }

    // n samples of a sine of the given amplitude (in codes) and period (in samples) around the
    // zero code of a 16-bit channel.
    static std::vector<std::uint16_t> Sine(std::size_t n, double amplitude, double period, double phase = 0.0) {
        std::vector<std::uint16_t> codes(n);
        for (std::size_t i = 0; i < n; ++i)
            codes[i] = static_cast<std::uint16_t>(32768 + std::lround(amplitude * std::sin(6.283185307179586 * i / period + phase)));
        return codes;
    }

    // The row of a list showing this text.
    static int RowOf(const ListControl& list, std::string_view text) {
        const auto& items = list.items();
        const auto found = std::find(items.begin(), items.end(), text);
        if (found == items.end()) throw std::invalid_argument("no row " + std::string(text));
        return static_cast<int>(found - items.begin());
    }
    // The user picks a row by its text (the list's handler runs).
    static void Pick(ListControl& list, std::string_view text) { list.userSelect(RowOf(list, text)); }

    // The first update of a view after start-up: "AMS", Linear, Volt, normalised, default ranges.
    void Open() { panel.takeRecord(false); }
    // The same with amplitudes in volts.
    void OpenInVolts() {
        Open();
        panel.setScaleModes({SpectrumXScale::Linear, SpectrumYScale::Volt, false});
    }
    // A first update during start-up: the loaded panel's type, axis choices and ranges stay.
    void OpenWithPanel() { panel.takeRecord(true); }

    RecordingShell shell;
    InstrumentConfiguration configuration;
    std::atomic<bool> inputRunning{false};
    RangeTables tables;
    CSignalDoc document{shell, configuration, inputRunning, FreshDocumentSelection{}};
    SpectrumSelectors bars;
    AcquisitionParameters acquisition;
    RunState run;
    RedrawState redraw;
    RecordingSpectrumFrame frame;
    SpectrumAnalysis analysis{shell};
    PaneFlags panes;
    CSpectrumView view{SpectrumViewParts{document, analysis, acquisition, configuration, run, redraw, panes, shell}};
    PanelSetting loadedPanel = BuiltInPanelSetting();
    SpectrumPanel panel{SpectrumPanelParts{bars, tables, document, acquisition, loadedPanel, view}};
    int repaints = 0;
};

}  // namespace tonewell::testing
