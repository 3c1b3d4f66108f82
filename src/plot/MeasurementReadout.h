#pragma once
// The tone measurements the views show beside their pictures when "Show measurements" is on: a
// value the instrument hands the views after measuring each record as it arrives, and the texts
// the views draw from it. The views format and draw; they never measure.

#include <string>

namespace tonewell {

struct ChannelReadout {
    bool measured = false;
    std::string why;          // not measured: what the channel is ("silent: nothing to measure")
    double frequency = 0.0;   // Hz, sampling clock correction applied
    double level = 0.0;       // V, RMS of the fundamental
    double thd = 0.0;         // dB
    double thdn = 0.0;        // dB
    double sinad = 0.0;       // dB
};

struct MeasurementReadout {
    bool shown = false;       // off: the views draw exactly as without measurements
    ChannelReadout a, b;      // a channel the record lacks stays not measured with no reason
    const ChannelReadout& channel(int index) const { return index == 0 ? a : b; }
    // A line of the channel is drawn: measured, or with a reason it was not.
    bool hasLine(int index) const { return shown && (channel(index).measured || !channel(index).why.empty()); }
};

// The oscilloscope's addition to its measurement line: " F=1000.00Hz"; empty when not measured.
std::string ScopeFrequencyText(const ChannelReadout& readout);

// The spectrum view's line of a channel (0 = A, 1 = B):
// "A: 1000.00Hz 707.1mV THD -60.0dB THD+N -59.8dB SINAD 59.8dB", or "A: " and the reason.
std::string SpectrumReadoutLine(int channel, const ChannelReadout& readout);

}  // namespace tonewell
