#include "spectrum/SpectrumSelectors.h"

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
