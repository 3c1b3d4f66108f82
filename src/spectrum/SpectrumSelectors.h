#pragma once
// The selector lists of the spectrum analyser's toolbars as control models. The X range list
// and the two Y range lists change meaning with the spectrum type (and, for amplitude spectra,
// with "Normalized"): each then shows another selector list. How the bars arrange them and what
// their handlers do belongs to the spectrum view. Owned by the main frame; UI thread.

#include <cstdint>

#include "controls/ListControl.h"
#include "shared/RangeTables.h"
#include "spectrum/SpectrumType.h"

namespace tonewell {

inline constexpr int kSpectrumTypeId = 65030;
inline constexpr int kSpectrumFrequencyRangeId = 65033;
inline constexpr int kSpectrumRangeAId = 65034;
inline constexpr int kSpectrumRangeBId = 65035;
inline constexpr int kSpectrumMultiplierBId = 65036;
inline constexpr int kSpectrumMultiplierAId = 65037;
inline constexpr int kSpectrumFrequencyMultiplierId = 65038;
inline constexpr int kFftPointsId = 65041;
inline constexpr int kWindowFunctionId = 65042;

// The list the X range control shows: frequency ranges for amplitude and phase spectra,
// symmetric time lags for the correlations.
RangeTableId SpectrumXRangeTable(SpectrumType spectrumType);

// The list the Y range control of a channel (0 = A, 1 = B) shows: volts or the normalised
// "Off"/"1" for amplitude spectra, "±180" for phase, "±1" for the correlations.
RangeTableId SpectrumYRangeTable(int channel, SpectrumType spectrumType, bool normalized);

// A1 for amplitude and phase spectra: from the smallest frequency range upwards, the first whose
// value exceeds half the sampling frequency; the largest when none does.
int DefaultFrequencyRangeRow(const RangeTable& frequencyRanges, double samplingFrequency);

// A1 for the correlations: the first symmetric span (twice its value) longer than the FFT's
// window of N samples (windowSeconds = N x Ts); the longest when none is.
int DefaultLagRangeRow(const RangeTable& lagRanges, double windowSeconds);

// A2 for amplitude spectra in volts: the first range from "20mv" up that is not below the
// channel's input full scale in volts; the largest when all are.
int DefaultAmplitudeRangeRow(const RangeTable& voltRanges, double fullScaleVolts);

class SpectrumSelectors {
public:
    SpectrumSelectors() = default;
    SpectrumSelectors(const SpectrumSelectors&) = delete;
    SpectrumSelectors& operator=(const SpectrumSelectors&) = delete;

    // Every list refilled from the table it stands for under the stored spectrum type and set to
    // that table's stored row.
    void fill(const RangeTables& tables, bool normalized);

    // The X range list refilled from another list and set to row.
    void showXRange(const RangeTables& tables, RangeTableId table, int row);
    // A channel's (0 = A, 1 = B) Y range list refilled from another list and set to row.
    void showYRange(int channel, const RangeTables& tables, RangeTableId table, int row);

    // Offers "CCR" as the type list's last entry, or takes it away; the selection stays on its
    // row (nothing is selected when the row taken away was selected).
    void offerCrossCorrelation(const RangeTables& tables, bool offered);

    // The selected type ("AMS" when nothing is selected).
    SpectrumType selectedType(const RangeTables& tables) const;

    // The tables the changing controls currently show (as of the last fill).
    RangeTableId xRangeTable() const { return xRangeTable_; }
    RangeTableId yRangeTable(int channel) const { return channel == 0 ? yRangeTableA_ : yRangeTableB_; }

    ListControl type{kSpectrumTypeId};
    ListControl xRange{kSpectrumFrequencyRangeId};
    ListControl xMultiplier{kSpectrumFrequencyMultiplierId};
    ListControl rangeA{kSpectrumRangeAId};
    ListControl multiplierA{kSpectrumMultiplierAId};
    ListControl rangeB{kSpectrumRangeBId};
    ListControl multiplierB{kSpectrumMultiplierBId};
    ListControl fftPoints{kFftPointsId};
    ListControl window{kWindowFunctionId};

private:
    RangeTableId xRangeTable_ = RangeTableId::SpectrumFrequencyRange;
    RangeTableId yRangeTableA_ = RangeTableId::SpectrumRangeA;
    RangeTableId yRangeTableB_ = RangeTableId::SpectrumRangeB;
};

}  // namespace tonewell
