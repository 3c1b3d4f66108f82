#include "plot/MeasurementReadout.h"

#include <cmath>
#include <cstdio>

namespace tonewell {

namespace {

std::string Printed(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Four significant digits with an engineering prefix, as a meter shows a level: 707.1mV, 1.000V.
std::string VoltsText(double volts) {
    static constexpr const char* kPrefixes[] = {"u", "m", "", "k"};
    int index = 2;
    double shown = volts;
    while (std::fabs(shown) < 1.0 && shown != 0.0 && index > 0) {
        shown *= 1000.0;
        --index;
    }
    // 999.96 would print as 1000.0 of the smaller unit.
    while (std::fabs(shown) >= 999.95 && index < 3) {
        shown /= 1000.0;
        ++index;
    }
    const char* format = std::fabs(shown) >= 100.0 ? "%.1f" : std::fabs(shown) >= 10.0 ? "%.2f" : "%.3f";
    return Printed(format, shown) + kPrefixes[index] + "V";
}

}  // namespace

std::string ScopeFrequencyText(const ChannelReadout& readout) {
    if (!readout.measured) return {};
    return " F=" + Printed("%.2f", readout.frequency) + "Hz";
}

std::string SpectrumReadoutLine(int channel, const ChannelReadout& readout) {
    const std::string head = channel == 0 ? "A: " : "B: ";
    if (!readout.measured) return head + readout.why;
    return head + Printed("%.2f", readout.frequency) + "Hz " + VoltsText(readout.level) + " THD " +
           Printed("%.1f", readout.thd) + "dB THD+N " + Printed("%.1f", readout.thdn) + "dB SINAD " +
           Printed("%.1f", readout.sinad) + "dB";
}

}  // namespace tonewell
