#include "spectrum/SpectrumSelectors.h"

namespace tonewell {

RangeTableId SpectrumXRangeTable(std::int32_t spectrumType) {
    bool correlation = spectrumType == kAutoCorrelation || spectrumType == kCrossCorrelation;
    return correlation ? RangeTableId::SymmetricTimeRange : RangeTableId::SpectrumFrequencyRange;
}

RangeTableId SpectrumYRangeTable(int channel, std::int32_t spectrumType, bool normalized) {
    bool a = channel == 0;
    switch (spectrumType) {
        case kSpectrumPhase:
            return a ? RangeTableId::PhaseRangeA : RangeTableId::PhaseRangeB;
        case kAutoCorrelation:
        case kCrossCorrelation:
            return a ? RangeTableId::CorrelationRangeA : RangeTableId::CorrelationRangeB;
        default:
            if (normalized) return a ? RangeTableId::SpectrumSecondRangeA : RangeTableId::SpectrumSecondRangeB;
            return a ? RangeTableId::SpectrumRangeA : RangeTableId::SpectrumRangeB;
    }
}

std::int32_t SpectrumSelectors::selectedType(const RangeTables& tables) const {
    return tables[RangeTableId::SpectrumType].value(type.selection()).value_or(kSpectrumAmplitude);
}

void SpectrumSelectors::Fill(const RangeTables& tables, bool normalized) {
    type.fill(tables[RangeTableId::SpectrumType]);
    std::int32_t spectrumType = selectedType(tables);
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
