#pragma once
// Which controls of the generator dialog the user may operate, from what the pages show and
// whether the output runs: nothing that shapes the signal while it plays, and of the rest only
// what the chosen waveforms, the sweep switch and the channels make meaningful. Pure function.

#include <cstdint>

namespace tonewell {

// What the pages show now (not yet read into the settings).
struct GeneratorPageState {
    bool running = false;              // outputRunning
    std::int32_t waveformA = 1;        // waveform codes
    std::int32_t waveformB = 0;
    bool sweeping = false;             // the "Sweep" box
    bool bothChannels = false;         // channels "A&B"
    bool equalFrequencies = true;      // the output frequency fields of A and B hold the same value
};

struct GeneratorEnabling {
    bool waveformA = false;       // also "Sweep", "Display in Oscilloscope" and the sampling lists
    bool configure = false;       // "..."
    bool frequencyA = false;      // field and slider
    bool frequencyB = false;
    bool amplitudeA = false;      // field and slider
    bool waveformB = false;
    bool amplitudeB = false;
    bool phase = false;           // field, label and slider
    bool sweepA = false;          // start, end and law of A on the sweep page
    bool sweepB = false;
    bool sweepDuration = false;

    bool operator==(const GeneratorEnabling&) const = default;
};

GeneratorEnabling ComputeGeneratorEnabling(const GeneratorPageState& state);

}  // namespace tonewell
