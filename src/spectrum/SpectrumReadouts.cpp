#include "spectrum/SpectrumReadouts.h"

#include "shared/NumberFormat.h"

#include <cstdio>

namespace tonewell {

namespace {

std::string printed(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return TrimBlanks(text);
}

}  // namespace

std::vector<std::string> SpectrumPeakReadouts(const SpectrumAnalysis& analysis, bool showA, bool showB) {
    std::vector<std::string> readouts;
    const SpectrumType type = analysis.spectrumType();
    if (showA && type == SpectrumType::Amplitude)
        readouts.push_back("FA=" + printed("%15.1fHz", analysis.peakPositionA()));
    if (showA && type == SpectrumType::CrossCorrelation)
        readouts.push_back("dT=" + printed("%10.3fms", analysis.peakPositionA() * 1000.0) + ", R=" +
                           printed("%10.3f", analysis.peakValueA()));
    if (showB && type == SpectrumType::Amplitude)
        readouts.push_back("FB=" + printed("%15.1fHz", analysis.peakPositionB()));
    return readouts;
}

}  // namespace tonewell
