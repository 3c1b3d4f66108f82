#pragma once
// Input capture on the loopback cable with a hand-driven clock: the cable's output plays a known
// signal in a loop from the instant capture opens its input, so input frame j of the run is
// frame j of the signal; the test moves the clock one record length at a time and waits until
// the capture thread has taken each buffer. The input goes through the fault injector, so any
// device call can be made to fail.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "acquisition/CaptureEngine.h"
#include "acquisition/DocumentFormat.h"
#include "acquisition/SamplingBar.h"
#include "acquisition/TriggerBar.h"
#include "platform/RecordingShell.h"
#include "platform/audio/FaultInjectingBackend.h"
#include "platform/audio/LoopbackCable.h"

namespace tonewell::testing {

// What the cable plays: per frame a signed 16-bit value for channels A and B (8-bit streams carry
// the top byte).
struct CaptureSignal {
    std::vector<std::int16_t> a;
    std::vector<std::int16_t> b;
    std::size_t frames() const { return a.size(); }
};

// A sine of a period that shares no factor with the record lengths, with a small pattern that
// makes every sample differ from its neighbours' periods, so a record cut one frame off shows.
inline CaptureSignal SineSignal(std::size_t frames, double period, double amplitude, double phase = 0.0) {
    CaptureSignal signal;
    std::uint32_t state = 12345;
    for (std::size_t j = 0; j < frames; ++j) {
        state = state * 1664525u + 1013904223u;
        const double ripple = static_cast<double>(state >> 24) - 128.0;  // -128..127
        const double value = amplitude * std::sin(2 * M_PI * static_cast<double>(j) / period + phase) + ripple;
        signal.a.push_back(static_cast<std::int16_t>(std::lround(value)));
        // B: the same shape half a period later, so a trigger on B lands elsewhere.
        const double valueB = amplitude * std::sin(2 * M_PI * static_cast<double>(j) / period + phase + M_PI) - ripple;
        signal.b.push_back(static_cast<std::int16_t>(std::lround(valueB)));
    }
    return signal;
}

// The bars' row that shows `name`.
inline int RowNamed(const RangeTables& tables, RangeTableId id, const std::string& name) {
    auto row = tables[id].rowNamed(name);
    EXPECT_TRUE(row.has_value()) << name;
    return row.value_or(0);
}

struct CaptureSetup {
    int rate = 48000;
    bool stereo = true;
    int bits = 16;
    int points = 200;
    std::string mode = "Repeat";
    std::string edge = "Up";
    std::string source = "A";
    int levelPercent = 0;
    int delayPercent = 0;
};

class CaptureHarness : public CaptureHooks {
public:
    CaptureHarness() {
        cable.setHandlerWait(std::chrono::milliseconds(2000));
        sampling.Fill(tables, acquisition);
        trigger.Fill(tables, 0, 0, true, acquisition.recordLength, acquisition);
        engine.startClickPause = std::chrono::milliseconds(0);
    }
    ~CaptureHarness() override {
        // The engine first, while the cable and the output still stand.
        if (run.inputRunning.load()) engine.RunStop();
        stopSignal();
    }

    // The bars as the user would leave them.
    void configure(const CaptureSetup& setup) {
        setup_ = setup;
        using Id = RangeTableId;
        sampling.frequency.setSelection(RowNamed(tables, Id::SamplingFrequency, std::to_string(setup.rate) + "H"));
        sampling.channels.setSelection(RowNamed(tables, Id::SamplingChannels, setup.stereo ? "A&B" : "A"));
        sampling.resolution.setSelection(RowNamed(tables, Id::SamplingResolution, std::to_string(setup.bits) + "B"));
        sampling.point.setText(std::to_string(setup.points));
        trigger.mode.setSelection(RowNamed(tables, Id::TriggerMode, setup.mode));
        trigger.edge.setSelection(RowNamed(tables, Id::TriggerEdge, setup.edge));
        trigger.source.setSelection(RowNamed(tables, Id::TriggerSource, setup.source));
        trigger.level.setText(std::to_string(setup.levelPercent) + "%");
        trigger.delay.setText(std::to_string(setup.delayPercent) + "%");
    }

    // Starts the cable's output playing `signal` in a loop, in the format the bars select.
    void play(const CaptureSignal& signal) {
        signal_ = signal;
        const WaveFormat format = MakePcmFormat(setup_.stereo ? 2 : 1, static_cast<std::uint32_t>(setup_.rate),
                                                static_cast<std::uint16_t>(setup_.bits));
        const std::size_t sampleBytes = setup_.bits == 8 ? 1 : 2;
        played_.assign(signal.frames() * format.blockAlign, 0);
        for (std::size_t j = 0; j < signal.frames(); ++j) {
            for (int channel = 0; channel < format.channels; ++channel) {
                const std::int16_t value = channel == 0 ? signal.a[j] : signal.b[j];
                std::uint8_t* sample = played_.data() + j * format.blockAlign + channel * sampleBytes;
                if (setup_.bits == 8) {
                    sample[0] = static_cast<std::uint8_t>((value >> 8) + 128);
                } else {
                    sample[0] = static_cast<std::uint8_t>(value & 0xFF);
                    sample[1] = static_cast<std::uint8_t>((static_cast<std::uint16_t>(value) >> 8) & 0xFF);
                }
            }
        }
        output_ = cable.createOutput();
        ASSERT_EQ(output_->open(format, [](WaveHeader&) {}), AudioResult::NoError);
        loop_.data = played_.data();
        loop_.bufferLength = static_cast<std::uint32_t>(played_.size());
        loop_.flags = kWaveHeaderBeginLoop | kWaveHeaderEndLoop;
        loop_.loops = kLoopUntilReset;
        ASSERT_EQ(output_->prepare(loop_), AudioResult::NoError);
        ASSERT_EQ(output_->write(loop_), AudioResult::NoError);
    }

    void stopSignal() {
        if (!output_) return;
        output_->reset();
        output_->unprepare(loop_);
        output_->close();
        output_.reset();
    }

    // The code of input frame j of the run on a channel, as the document stores it.
    std::uint16_t streamCode(std::int64_t j, int channel, bool inverted = false) const {
        const std::size_t at = static_cast<std::size_t>(j) % signal_.frames();
        const std::int16_t value = channel == 0 ? signal_.a[at] : signal_.b[at];
        if (setup_.bits == 8) {
            const auto code = static_cast<std::uint16_t>((value >> 8) + 128);
            return inverted ? static_cast<std::uint16_t>(255 - code) : code;
        }
        const auto code = static_cast<std::uint16_t>(value + 32768);
        return inverted ? static_cast<std::uint16_t>(65535 - code) : code;
    }

    // Frames the output has played since play().
    std::int64_t framesPlayed() const { return framesPlayed_; }

    // Lets one record length pass on the cable and waits until the capture thread has taken
    // the buffer it filled.
    void advanceBuffers(int count) {
        for (int i = 0; i < count; ++i) {
            const std::uint64_t before = engine.buffersTaken();
            cable.advanceFrames(static_cast<std::uint64_t>(setup_.points), static_cast<std::uint32_t>(setup_.rate));
            framesPlayed_ += setup_.points;
            ASSERT_TRUE(waitFor([&] { return engine.buffersTaken() > before; })) << "no buffer came back";
        }
    }

    static bool waitFor(const std::function<bool()>& condition) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return true;
    }

    // Runs timer 3's posted work; the number of records handed over by it.
    std::uint64_t deliver() {
        const std::uint64_t before = engine.recordsHandedOver();
        shell.runPosted();
        return engine.recordsHandedOver() - before;
    }

    // Timer-1 ticks until the record is released (at most `limit`); the ticks it took.
    int releaseRecord(int limit = 20) {
        for (int tick = 1; tick <= limit; ++tick) {
            engine.OnRecordRelease();
            if (!redraw.recordPending.load()) return tick;
        }
        return -1;
    }

    // The document's record of a channel.
    std::vector<std::uint16_t> record(int channel) const {
        const auto& data = channel == 0 ? document.dataA : document.dataB;
        return {data.begin(), data.begin() + document.sampleCount};
    }

    // The stream's codes from frame `start` on, one record long.
    std::vector<std::uint16_t> expected(std::int64_t start, int channel, bool inverted = false) const {
        std::vector<std::uint16_t> codes;
        for (int f = 0; f < setup_.points; ++f) codes.push_back(streamCode(start + f, channel, inverted));
        return codes;
    }

    // CaptureHooks: the settings from the harness's bars, as the instrument's link reads its own.
    CaptureSettings SettingsFromBars() const override {
        CaptureSettings settings;
        SamplingSelection& selection = settings.sampling;
        selection.bothChannels = sampling.bothChannels(tables);
        selection.samplesPerSecond = tables[RangeTableId::SamplingFrequency].value(sampling.frequency.selection()).value_or(44100);
        selection.bits = tables[RangeTableId::SamplingResolution].value(sampling.resolution.selection()).value_or(16);
        selection.recordLength = sampling.recordLengthValue();
        ReadTriggerBar(trigger, tables, acquisition, settings);
        return settings;
    }
    void RecordLengthRefused() override { sampling.point.setText("1"); }
    bool ConfigureDocument(const SamplingSelection& selection) override {
        ++configurations;
        return ConfigureDocumentFormat(document, selection, configuration, acquisition, run.inputRunning, shell);
    }
    bool ScopeShown() const override { return scopeShown; }
    bool SpectrumShown() const override { return spectrumShown; }
    int ScopeType() const override { return 0; }
    void RedrawAllViews() override { ++redraws; }

    bool scopeShown = true;
    bool spectrumShown = false;
    int configurations = 0;
    int redraws = 0;

    RangeTables tables;
    InstrumentConfiguration configuration;
    RecordingShell shell;
    RunState run;
    RedrawState redraw;
    AcquisitionParameters acquisition;
    CSignalDoc document{shell, configuration, run.inputRunning, FreshDocumentSelection{}};
    TriggerBar trigger;
    SamplingBar sampling;
    LoopbackCable cable{LoopbackClock::Manual};
    FaultInjectingBackend faults{cable};
    CaptureEngine engine{CaptureParts{document, acquisition, run, redraw, configuration, shell, faults}, this};

private:
    CaptureSetup setup_;
    CaptureSignal signal_;
    std::int64_t framesPlayed_ = 0;
    std::vector<std::uint8_t> played_;
    WaveHeader loop_;
    std::unique_ptr<AudioOutput> output_;
};

}  // namespace tonewell::testing
