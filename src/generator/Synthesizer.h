#pragma once
// Fills one-second PCM buffers with the generated signal of both channels: tones are summed in
// floating point into a mix buffer, normalised to the buffer's own peak, scaled to the requested
// amplitude and encoded (8 bit with mid code 127, or 16-bit signed little-endian).
//
// One Synthesizer serves one output or export run at a time. startRun is called on the UI thread;
// Synthesize then runs on the UI thread for the first buffers and, during a sweep, on the audio
// notification thread, never on two threads at once. It reads the settings, the library and the
// calibration it was given (all owned elsewhere) and rewrites the tone lists for single waveforms.

#include "generator/GeneratorSettings.h"
#include "generator/OutputCalibration.h"
#include "generator/OutputFormat.h"
#include "generator/SeedClock.h"
#include "generator/ToneList.h"
#include "generator/WaveformLibrary.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tonewell {

class Shell;

inline constexpr const char* kLibraryNotLoadedMessage = "Waveform Library File have not been loaded.";

class Synthesizer {
public:
    Synthesizer(const GeneratorSettings& settings, ToneLists& toneLists, const WaveformLibrary& library,
                const OutputCalibration& calibration, const SeedClock& clock, Shell& shell);

    // Start of an output or export run: allocates the mix buffer for the current sampling
    // frequency (the only allocation of the run) and sets both phases and buffersGenerated to 0.
    void startRun();

    // Fills buffer (at least OutputFormatFor(settings).averageBytesPerSecond bytes) with second
    // number buffersGenerated() of the run. Does not count the buffer: the caller calls
    // countBuffer() afterwards. Returns false, leaving the buffer unwritten, when WFLibrary is
    // chosen without a loaded library (the user is told through the Shell) or the buffer is
    // too small for one second.
    bool Synthesize(std::span<std::uint8_t> buffer);

    std::uint32_t buffersGenerated() const { return buffersGenerated_; }
    void countBuffer() { ++buffersGenerated_; }

    // Phase accumulators: radians (Sine), half-cycles (Square, Triangle), cycles (SawTooth) or
    // library points (WFLibrary), whichever waveform last ran on the channel.
    double phaseA() const { return phase_[0]; }
    double phaseB() const { return phase_[1]; }

    // The mix buffer of the run (one float per frame), for inspection by tests.
    std::span<const float> mixBuffer() const { return mix_; }

private:
    struct Scales {
        float s8[2];
        float s16[2];
    };

    void prepareToneLists(std::int32_t codeA, bool stereo);
    void sumTones(int channel, std::uint32_t fs, double phaseShiftCycles);
    void synthesizeLibrary(int channel, std::uint32_t fs);
    void encode(int channel, const WaveFormat& format, const Scales& scales, std::span<std::uint8_t> buffer);
    // The swept frequency of one channel through the current buffer: f at sample n, from the
    // linear or logarithmic law over the whole sweep (stored as a float).
    struct SweepPlan {
        bool linear = true;
        double total = 1, first = 0, start = 0, end = 0, logStart = 0, logSpan = 0;
        double at(std::uint32_t n) const;
    };
    SweepPlan sweepPlan(int channel, std::uint32_t fs) const;

    const GeneratorSettings& settings_;
    ToneLists& toneLists_;
    const WaveformLibrary& library_;
    const OutputCalibration& calibration_;
    const SeedClock& clock_;
    Shell& shell_;

    std::vector<float> mix_;
    double phase_[2] = {0.0, 0.0};
    std::uint32_t buffersGenerated_ = 0;
};

}  // namespace tonewell
