#pragma once
// The peak readouts of the spectrum view as text: "FA=1000.0Hz", "FB=...Hz" for the amplitude
// spectrum, "dT=3.000ms, R=0.987" for the cross-correlation of channel A.

#include "spectrum/SpectrumAnalysis.h"

#include <string>
#include <vector>

namespace tonewell {

// Readouts of the shown channels after UpdateSpectra, A first; none for the phase spectrum and
// the auto-correlation, and for B only with the amplitude spectrum.
std::vector<std::string> SpectrumPeakReadouts(const SpectrumAnalysis& analysis, bool showA, bool showB);

}  // namespace tonewell
