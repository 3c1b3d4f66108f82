#include "spectrum/SpectrumSelectors.h"

#include <cmath>
#include <string>
#include <vector>

namespace tonewell {

RangeTableId SpectrumXRangeTable(SpectrumType spectrumType) {
    return IsCorrelation(spectrumType) ? RangeTableId::SymmetricTimeRange : RangeTableId::SpectrumFrequencyRange;
}

RangeTableId SpectrumYRangeTable(int channel, SpectrumType spectrumType, bool normalized) {
    bool a = channel == 0;
    switch (spectrumType) {
        case SpectrumType::Phase:
            return a ? RangeTableId::PhaseRangeA : RangeTableId::PhaseRangeB;
        case SpectrumType::AutoCorrelation:
        case SpectrumType::CrossCorrelation:
            return a ? RangeTableId::CorrelationRangeA : RangeTableId::CorrelationRangeB;
        default:
            if (normalized) return a ? RangeTableId::SpectrumSecondRangeA : RangeTableId::SpectrumSecondRangeB;
            return a ? RangeTableId::SpectrumRangeA : RangeTableId::SpectrumRangeB;
    }
}

int DefaultFrequencyRangeRow(const RangeTable& frequencyRanges, double samplingFrequency) {
    const double half = samplingFrequency / 2.0;
    for (int row = frequencyRanges.count - 1; row >= 0; --row) {
        const RangeCode code = *frequencyRanges.code(row);
        // The small addition keeps a range equal to half the rate from losing to rounding.
        const double value = (code.mantissa() + 0.00001) * std::pow(10.0, 3 * (code.prefixIndex() - 4));
        if (value > half) return row;
    }
    return 0;
}

int DefaultLagRangeRow(const RangeTable& lagRanges, double windowSeconds) {
    for (int row = 0; row < lagRanges.count; ++row)
        if (2.0 * lagRanges.code(row)->value() > windowSeconds) return row;
    return lagRanges.count - 1;
}

int DefaultAmplitudeRangeRow(const RangeTable& voltRanges, double fullScaleVolts) {
    for (int row = 1; row < voltRanges.count; ++row)
        // The tolerance keeps a range equal to the full scale from losing to rounding.
        if (voltRanges.code(row)->value() >= fullScaleVolts * (1.0 - 1e-9)) return row;
    return voltRanges.count - 1;
}

void SpectrumSelectors::showXRange(const RangeTables& tables, RangeTableId table, int row) {
    xRangeTable_ = table;
    xRange.setItems(tables[table]);
    xRange.setSelection(row);
}

void SpectrumSelectors::showYRange(int channel, const RangeTables& tables, RangeTableId table, int row) {
    ListControl& list = channel == 0 ? rangeA : rangeB;
    (channel == 0 ? yRangeTableA_ : yRangeTableB_) = table;
    list.setItems(tables[table]);
    list.setSelection(row);
}

void SpectrumSelectors::offerCrossCorrelation(const RangeTables& tables, bool offered) {
    constexpr int kCrossRow = static_cast<int>(SpectrumType::CrossCorrelation);
    const bool shown = type.count() > kCrossRow;
    if (offered == shown) return;
    std::vector<std::string> items = type.items();
    const int selected = type.selection();
    if (offered)
        items.emplace_back(tables[RangeTableId::SpectrumType].name(kCrossRow).value_or("CCR"));
    else
        items.resize(kCrossRow);
    type.setItems(std::move(items));
    type.setSelection(selected);
}

SpectrumType SpectrumSelectors::selectedType(const RangeTables& tables) const {
    auto value = tables[RangeTableId::SpectrumType].value(type.selection());
    return SpectrumTypeOf(value.value_or(0)).value_or(SpectrumType::Amplitude);
}

void SpectrumSelectors::fill(const RangeTables& tables, bool normalized) {
    type.fill(tables[RangeTableId::SpectrumType]);
    SpectrumType spectrumType = selectedType(tables);
    xRangeTable_ = SpectrumXRangeTable(spectrumType);
    yRangeTableA_ = SpectrumYRangeTable(0, spectrumType, normalized);
    yRangeTableB_ = SpectrumYRangeTable(1, spectrumType, normalized);

    xRange.fill(tables[xRangeTable_]);
    xMultiplier.fill(tables[RangeTableId::SpectrumFrequencyMultiplier]);
    rangeA.fill(tables[yRangeTableA_]);
    multiplierA.fill(tables[RangeTableId::SpectrumMultiplierA]);
    rangeB.fill(tables[yRangeTableB_]);
    multiplierB.fill(tables[RangeTableId::SpectrumMultiplierB]);
    fftPoints.fill(tables[RangeTableId::FftPoints]);
    window.fill(tables[RangeTableId::WindowFunction]);
}

}  // namespace tonewell
