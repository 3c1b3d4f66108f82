#include "app/SpectrumPanel.h"

#include <algorithm>
#include <cmath>

#include "shared/LeadingInteger.h"

namespace tonewell {

using Id = RangeTableId;

SpectrumPanel::SpectrumPanel(SpectrumPanelParts parts) : parts_(parts) {}

void SpectrumPanel::read() {
    const RangeTables& tables = parts_.tables;
    const SpectrumSelectors& bars = parts_.bars;
    SpectrumSettings& s = settings_;
    s.type = bars.selectedType(tables);
    if (auto value = tables[Id::SpectrumFrequencyMultiplier].value(bars.xMultiplier.selection()))
        s.xMultiplier = static_cast<std::uint32_t>(std::max(*value, 1));
    if (auto value = tables[Id::SpectrumMultiplierA].value(bars.multiplierA.selection()))
        s.yMultiplierA = static_cast<std::uint32_t>(std::max(*value, 0));
    if (auto value = tables[Id::SpectrumMultiplierB].value(bars.multiplierB.selection()))
        s.yMultiplierB = static_cast<std::uint32_t>(std::max(*value, 0));
    if (auto code = tables[bars.xRangeTable()].code(bars.xRange.selection()))
        if (!code->isOff()) s.xRange = *code;
    if (auto code = tables[bars.yRangeTable(0)].code(bars.rangeA.selection())) s.yRangeA = *code;
    if (auto code = tables[bars.yRangeTable(1)].code(bars.rangeB.selection())) s.yRangeB = *code;
    if (bars.fftPoints.hasSelection()) s.fftSize = LeadingInteger(bars.fftPoints.text());
    if (auto window = WindowTypeOf(bars.window.selection())) s.window = *window;
}

void SpectrumPanel::push() { parts_.view.apply(settings_); }

void SpectrumPanel::applyControls() {
    read();
    push();
}

void SpectrumPanel::showDefaultXRange(SpectrumType type) {
    const RangeTableId id = SpectrumXRangeTable(type);
    const RangeTable& table = parts_.tables[id];
    const double interval = SpectrumSampleInterval(parts_.document, parts_.acquisition.samplingRate);
    int row;
    if (IsCorrelation(type)) {
        // N as the list now shows it: the settings may not have read it yet.
        const SpectrumSelectors& bars = parts_.bars;
        const int n = bars.fftPoints.hasSelection() ? LeadingInteger(bars.fftPoints.text()) : settings_.fftSize;
        row = DefaultLagRangeRow(table, n * interval);
    } else {
        row = DefaultFrequencyRangeRow(table, interval > 0.0 ? 1.0 / interval : 0.0);
    }
    parts_.bars.showXRange(parts_.tables, id, row);
}

void SpectrumPanel::showDefaultYRanges(SpectrumType type) {
    const CSignalDoc& doc = parts_.document;
    const bool normalized = settings_.scales.normalized;
    for (int channel = 0; channel < 2; ++channel) {
        const bool held = channel == 0 ? doc.samplingType != kSamplingTypeB : doc.samplingType != kSamplingTypeA;
        const RangeTableId id = SpectrumYRangeTable(channel, type, normalized);
        int row = held ? 1 : 0;
        if (type == SpectrumType::CrossCorrelation && channel == 1) {
            row = 0;  // the cross-correlation is drawn as channel A's trace
        } else if (held && type == SpectrumType::Amplitude && !normalized) {
            const VoltageRange range = channel == 0 ? doc.rangeA() : doc.rangeB();
            const double fullScale = std::max(std::fabs(static_cast<double>(range.max)), std::fabs(static_cast<double>(range.min))) *
                                     std::pow(10.0, static_cast<int>(range.exponent) - 12);
            row = DefaultAmplitudeRangeRow(parts_.tables[id], fullScale);
        }
        parts_.bars.showYRange(channel, parts_.tables, id, row);
    }
}

void SpectrumPanel::switchType(SpectrumType type) {
    // Within the frequency group or the time group the X range stays.
    if (IsCorrelation(type) != IsCorrelation(settings_.type)) showDefaultXRange(type);
    showDefaultYRanges(type);
    settings_.type = type;
    parts_.view.clearCursors();
}

void SpectrumPanel::typeChanged() {
    const SpectrumType type = parts_.bars.selectedType(parts_.tables);
    if (type == settings_.type) return;
    switchType(type);
    syncToolbar();
}

void SpectrumPanel::syncToolbar() {
    SpectrumSelectors& bars = parts_.bars;
    const RangeTables& tables = parts_.tables;
    const std::uint8_t channels = parts_.document.samplingType;
    const bool hasA = channels == kSamplingTypeA || channels == kSamplingTypeAB;
    const bool both = channels == kSamplingTypeAB;

    if (!both && bars.type.selection() == static_cast<int>(SpectrumType::CrossCorrelation)) {
        // Without two channels there is nothing to cross-correlate: back to the amplitude
        // spectrum, with its own X and Y lists.
        bars.type.setSelection(static_cast<int>(SpectrumType::Amplitude));
        switchType(SpectrumType::Amplitude);
    }
    bars.offerCrossCorrelation(tables, both);

    // A list that comes back takes its twin's row when it stood on "Off".
    const auto enable = [](ListControl& list, const ListControl& twin) {
        if (list.enabled()) return;
        list.setEnabled(true);
        if (list.selection() == 0) list.setSelection(twin.selection());
    };
    const auto disable = [](ListControl& list) {
        list.setSelection(0);
        list.setEnabled(false);
    };
    if (hasA) {
        enable(bars.multiplierA, bars.multiplierB);
        enable(bars.rangeA, bars.rangeB);
    } else {
        disable(bars.multiplierA);
        disable(bars.rangeA);
    }
    const SpectrumType type = bars.selectedType(tables);
    if (channels == kSamplingTypeB || (both && type != SpectrumType::CrossCorrelation)) {
        enable(bars.multiplierB, bars.multiplierA);
        enable(bars.rangeB, bars.rangeA);
    } else {
        disable(bars.multiplierB);
        disable(bars.rangeB);
    }
    if (type == SpectrumType::Amplitude) {
        bars.window.setEnabled(true);
    } else {
        disable(bars.window);
    }
    // The view follows what the lists now show.
    applyControls();
}

void SpectrumPanel::setScaleModes(const SpectrumScaleModes& modes) {
    if (modes == settings_.scales) return;
    const bool normalizedChanged = modes.normalized != settings_.scales.normalized;
    settings_.scales = modes;
    if (normalizedChanged) {
        showDefaultYRanges(settings_.type);
        read();
    }
    parts_.view.clearCursors();
    push();
}

void SpectrumPanel::takeRecord(bool keepPanel) {
    SpectrumSelectors& bars = parts_.bars;
    if (keepPanel) {
        const SpectrumType type = bars.selectedType(parts_.tables);
        settings_.type = type;
        const PanelSetting& loaded = parts_.loadedPanel;
        settings_.scales = {loaded.spectrumXScale == 1 ? SpectrumXScale::Log : SpectrumXScale::Linear,
                            loaded.spectrumYScale == 1 ? SpectrumYScale::Db : SpectrumYScale::Volt,
                            loaded.spectrumNormalized};
        // Lists filled for another type or amplitude axis than the view's get their defaults.
        const bool normalized = settings_.scales.normalized;
        if (bars.xRangeTable() != SpectrumXRangeTable(type)) showDefaultXRange(type);
        if (bars.yRangeTable(0) != SpectrumYRangeTable(0, type, normalized) ||
            bars.yRangeTable(1) != SpectrumYRangeTable(1, type, normalized))
            showDefaultYRanges(type);
    } else {
        settings_.scales = SpectrumScaleModes{};
        settings_.type = SpectrumType::Amplitude;
        bars.type.setSelection(static_cast<int>(SpectrumType::Amplitude));
        showDefaultXRange(SpectrumType::Amplitude);
        showDefaultYRanges(SpectrumType::Amplitude);
    }
    if (!parts_.view.reset()) return;
    // The settings as the lists now stand, for the toolbar's fitting to the record's channels.
    read();
    syncToolbar();
}

}  // namespace tonewell
