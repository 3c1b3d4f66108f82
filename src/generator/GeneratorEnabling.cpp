#include "generator/GeneratorEnabling.h"

#include "generator/GeneratorTables.h"

namespace tonewell {

namespace {

bool IsNoise(std::int32_t code) { return code == kWaveformWhiteNoise || code == kWaveformPinkNoise; }

// A waveform with an output frequency of its own (noise has none; a multitone set has one per tone).
bool HasFrequency(std::int32_t code) {
    return code != kWaveformNone && !IsNoise(code) && code != kWaveformMultiTones;
}

// A waveform whose frequency can sweep.
bool CanSweep(std::int32_t code) { return code != kWaveformNone && !IsNoise(code); }

bool IsPeriodic(std::int32_t code) { return code >= kWaveformSine && code <= kWaveformSawTooth; }

}  // namespace

GeneratorEnabling ComputeGeneratorEnabling(const GeneratorPageState& s) {
    GeneratorEnabling e;
    const bool stopped = !s.running;
    e.waveformA = stopped;
    e.configure = stopped && (s.waveformA == kWaveformMultiTones || s.waveformA == kWaveformLibrary);
    e.frequencyA = stopped && !s.sweeping && HasFrequency(s.waveformA);
    e.frequencyB = stopped && !s.sweeping && HasFrequency(s.waveformB) && s.bothChannels;
    e.amplitudeA = stopped && s.waveformA != kWaveformNone;
    e.waveformB = stopped && s.bothChannels;
    e.amplitudeB = e.waveformB && s.waveformB != kWaveformNone;
    e.phase = stopped && !s.sweeping && s.bothChannels && s.equalFrequencies && IsPeriodic(s.waveformA) &&
              IsPeriodic(s.waveformB);
    e.sweepA = stopped && s.sweeping && CanSweep(s.waveformA);
    e.sweepB = stopped && s.sweeping && CanSweep(s.waveformB) && s.bothChannels;
    e.sweepDuration = stopped && s.sweeping;
    return e;
}

}  // namespace tonewell
