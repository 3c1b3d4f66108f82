#include "app/ScopePanel.h"

#include <algorithm>
#include <cmath>

namespace tonewell {

using Id = RangeTableId;

ScopePanel::ScopePanel(ScopePanelParts parts) : parts_(parts) {}

bool ScopePanel::recordHasA() const {
    const std::uint8_t type = parts_.document.samplingType;
    return type == kSamplingTypeA || type == kSamplingTypeAB;
}

bool ScopePanel::recordHasB() const {
    const std::uint8_t type = parts_.document.samplingType;
    return type == kSamplingTypeB || type == kSamplingTypeAB;
}

void ScopePanel::takeTimeRange() {
    // A bar without a selected row leaves the oscilloscope at the range it has.
    if (auto code = parts_.tables[Id::ScopeTimeRange].code(parts_.bars.timeRange.selection())) timeRange_ = *code;
}

void ScopePanel::setType(int type) {
    if (type == settings_.type) return;
    // The measurement lines read the document's statistics, which depend on the type (the sum or
    // difference in types 1 and 2): they follow every change of it.
    settings_.type = type;
    parts_.document.ComputeStatistics(type);
}

void ScopePanel::read() {
    const RangeTables& tables = parts_.tables;
    const ScopeBars& bars = parts_.bars;
    ScopeSettings& s = settings_;
    if (auto value = tables[Id::ScopeTimeMultiplier].value(bars.timeMultiplier.selection()))
        s.xMultiplier = static_cast<std::uint32_t>(std::max(*value, 1));
    if (auto value = tables[Id::ScopeMultiplierA].value(bars.multiplierA.selection()))
        s.aMultiplier = static_cast<std::uint32_t>(std::max(*value, 0));
    if (auto value = tables[Id::ScopeMultiplierB].value(bars.multiplierB.selection()))
        s.bMultiplier = static_cast<std::uint32_t>(std::max(*value, 0));
    if (auto code = tables[Id::ScopeTimeRange].code(bars.timeRange.selection()))
        if (!code->isOff()) s.xRange = *code;
    if (auto code = tables[Id::ScopeRangeA].code(bars.rangeA.selection())) s.aRange = *code;
    if (auto code = tables[Id::ScopeRangeB].code(bars.rangeB.selection())) s.bRange = *code;
    if (bars.type.selection() >= 0 && bars.type.selection() <= kScopeTypeXY) setType(bars.type.selection());
}

void ScopePanel::applyRanges() {
    takeTimeRange();
    read();
    parts_.view.apply(settings_);
}

void ScopePanel::takeRecord(bool keepPanel) {
    read();
    if (!parts_.view.reset()) return;
    if (keepPanel) {
        setType(parts_.tables[Id::ScopeType].defaultIndex);
    } else {
        setType(kScopeTypeSeparate);
        autoRange();
    }
    updateSelectorStates();
}

void ScopePanel::typeChanged() {
    ScopeBars& bars = parts_.bars;
    const int newType = bars.type.selection();
    if (newType < 0 || newType > kScopeTypeXY || newType == settings_.type) return;
    const int oldType = settings_.type;
    parts_.document.ComputeStatistics(newType);
    if (newType == kScopeTypeSeparate) {
        if (oldType == kScopeTypeSum || oldType == kScopeTypeDifference) {
            bars.rangeB.setSelection(bars.rangeA.selection());
            bars.multiplierB.setSelection(bars.multiplierA.selection());
        }
    } else if (newType == kScopeTypeSum || newType == kScopeTypeDifference) {
        bars.rangeB.setSelection(0);
        bars.multiplierB.setSelection(0);
    } else {
        bars.multiplierA.setSelection(0);
        bars.multiplierB.setSelection(0);
        const CSignalDoc& doc = parts_.document;
        if (settings_.aRange.isOff()) autoRangeCode(recordHasA(), doc.rangeA(), bars.rangeA);
        if (settings_.bRange.isOff()) autoRangeCode(recordHasB(), doc.rangeB(), bars.rangeB);
        bars.timeMultiplier.setSelection(0);
    }
    settings_.type = newType;
    parts_.view.clearCursors();
    updateSelectorStates();
}

void ScopePanel::updateSelectorStates() {
    ScopeBars& bars = parts_.bars;
    // Enabling a selector that was disabled gives it its twin's row when it stood on "Off".
    const auto enable = [](ListControl& selector, const ListControl& twin) {
        if (selector.enabled()) return;
        selector.setEnabled(true);
        if (selector.selection() == 0) selector.setSelection(twin.selection());
    };
    const auto disable = [](ListControl& selector) {
        selector.setSelection(0);
        selector.setEnabled(false);
    };
    const bool hasA = recordHasA();
    const bool hasB = recordHasB();

    bars.timeRange.setEnabled(!parts_.run.displayInScopeActive.load());
    if (hasA && hasB) {
        bars.type.setEnabled(true);
    } else {
        disable(bars.type);
        setType(kScopeTypeSeparate);
    }
    if (settings_.type == kScopeTypeXY)
        disable(bars.timeMultiplier);
    else
        bars.timeMultiplier.setEnabled(true);
    if (settings_.type == kScopeTypeXY || !hasA)
        disable(bars.multiplierA);
    else
        enable(bars.multiplierA, bars.multiplierB);
    if (settings_.type != kScopeTypeSeparate || !hasB)
        disable(bars.multiplierB);
    else
        enable(bars.multiplierB, bars.multiplierA);
    if (!hasA)
        disable(bars.rangeA);
    else
        enable(bars.rangeA, bars.rangeB);
    if ((settings_.type == kScopeTypeSeparate || settings_.type == kScopeTypeXY) && hasB)
        enable(bars.rangeB, bars.rangeA);
    else
        disable(bars.rangeB);
    read();
    parts_.view.apply(settings_);
}

RangeCode ScopePanel::autoRangeCode(bool hasChannel, const VoltageRange& range, ListControl& selector) {
    const RangeTable& table = parts_.tables[Id::ScopeRangeA];
    if (!hasChannel || table.count < 2) {
        selector.setSelection(0);
        return RangeCode();
    }
    const double fullScale = std::max(std::fabs(static_cast<double>(range.max)), std::fabs(static_cast<double>(range.min))) *
                             std::pow(10.0, static_cast<int>(range.exponent) - 12);
    // A full scale beyond the largest range ("±50v") gets the largest: the trace then leaves the
    // screen only where the signal does.
    int row = table.count - 1;
    for (int candidate = 1; candidate < table.count; ++candidate) {
        // The tolerance keeps a range equal to the full scale from losing to rounding.
        if (table.code(candidate)->value() >= fullScale * (1.0 - 1e-9)) {
            row = candidate;
            break;
        }
    }
    selector.setSelection(row);
    return *table.code(row);
}

void ScopePanel::autoRange() {
    ScopeBars& bars = parts_.bars;
    const CSignalDoc& doc = parts_.document;
    bars.type.setSelection(settings_.type);

    const RangeTable& times = parts_.tables[Id::ScopeTimeRange];
    const std::size_t held = std::min(doc.dataA.size(), doc.dataB.size());
    const double duration = static_cast<double>(std::min<std::size_t>(doc.sampleCount, held)) * doc.intervalSeconds();
    int timeRow = times.count - 1;
    for (int row = 0; row < times.count; ++row) {
        const RangeCode code = *times.code(row);
        const double seconds = (code.mantissa() + 0.00001) * std::pow(10.0, 3 * (code.prefixIndex() - 4));
        if (seconds > duration) {
            timeRow = row;
            break;
        }
    }
    bars.timeRange.setSelection(timeRow);
    bars.timeMultiplier.setSelection(0);
    autoRangeCode(recordHasA(), doc.rangeA(), bars.rangeA);
    bars.multiplierA.setSelection(0);
    autoRangeCode(recordHasB(), doc.rangeB(), bars.rangeB);
    bars.multiplierB.setSelection(0);
}

}  // namespace tonewell
