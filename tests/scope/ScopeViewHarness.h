#pragma once
// An oscilloscope view with everything it reads, for tests and benchmarks: the tables, filled
// bars with the controller that sets the view from them, a document whose record the test sets,
// the configuration and the program-wide state.

#include "acquisition/SignalDoc.h"
#include "app/ScopePanel.h"
#include "platform/RecordingShell.h"
#include "scope/CScopeView.h"
#include "shared/RangeTables.h"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tonewell::testing {

class ScopeViewHarness {
public:
    ScopeViewHarness() {
        bars.Fill(tables);
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
        // The interval exactly, where a power of ten over the rate is whole.
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
        document.ComputeStatistics(panel.settings().type);
    }

    // n samples of a sine of the given amplitude (in codes) and period (in samples) around the
    // zero code of a 16-bit channel.
    static std::vector<std::uint16_t> Sine(std::size_t n, double amplitude, double period, double phase = 0.0) {
        std::vector<std::uint16_t> codes(n);
        for (std::size_t i = 0; i < n; ++i)
            codes[i] = static_cast<std::uint16_t>(32768.0 + std::lround(amplitude * std::sin(6.283185307179586 * i / period + phase)));
        return codes;
    }

    // A new record's first update: the panel's choices stay while the start-up stage is below 2
    // (which each such update moves on), afterwards the view fits the record.
    void InitialUpdate() {
        const bool keepPanel = startupStage < 2;
        if (keepPanel) ++startupStage;
        panel.takeRecord(keepPanel);
    }

    // Selects a row by its string (without running the selector's handler).
    void Select(ListControl& selector, RangeTableId table, std::string_view name) {
        selector.setSelection(*tables[table].rowNamed(name));
    }
    // The oscilloscope selectors of the usual test picture: "10ms" x1, A "±1v" with multiplier
    // "Off", B "Off", type " & ".
    void SelectDefaults() {
        Select(bars.timeRange, RangeTableId::ScopeTimeRange, "10ms");
        Select(bars.timeMultiplier, RangeTableId::ScopeTimeMultiplier, "x1");
        Select(bars.rangeA, RangeTableId::ScopeRangeA, "±1v");
        Select(bars.multiplierA, RangeTableId::ScopeMultiplierA, "Off");
        Select(bars.rangeB, RangeTableId::ScopeRangeB, "Off");
        Select(bars.multiplierB, RangeTableId::ScopeMultiplierB, "Off");
        bars.type.setSelection(0);
    }

    RecordingShell shell;
    InstrumentConfiguration configuration;
    std::atomic<bool> inputRunning{false};
    RangeTables tables;
    CSignalDoc document{shell, configuration, inputRunning, FreshDocumentSelection{}};
    ScopeBars bars;
    AcquisitionParameters acquisition;
    RunState run;
    RedrawState redraw;
    int startupStage = 2;
    PaneFlags panes;
    CScopeView view{ScopeViewParts{document, acquisition, configuration, redraw, panes, shell}};
    ScopePanel panel{ScopePanelParts{bars, tables, document, run, view}};
    int repaints = 0;
};

}  // namespace tonewell::testing
