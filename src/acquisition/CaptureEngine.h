#pragma once
// Input capture: "Run/Stop monitoring input" opens the audio input with buffers of one record
// each: a ring circulating through the device (all queued but the one held back for pre-trigger
// samples; at least three, more for short records so that a quarter of a second is queued) and
// two spares. A capture thread of its own per start passes each filled buffer through the
// trigger ring (TriggerRing: the search, and the hand-over of a record by exchanging the two
// buffers that hold it with the spares) and does on the device what the ring answers; the UI
// thread copies the record into the document (timer 3, posted by the capture thread), releases
// it again about 180 ms later once the shown views have drawn it (timer 1, every 30 ms while
// capture runs), and restarts capture after a parameter change once the device has closed
// (timer 2). A start with its click opens the input once the click has sounded (timer 4).
//
// Threads: everything here runs on the UI thread except the capture thread's work on the
// buffers. The two share only atomics: recordPending (set with release by the capture thread
// before it posts, cleared with release by the UI thread after the views have drawn), the
// record-ready mark, restartPending, and the session's active/busy pair that keeps the capture
// thread away from the device while the UI thread stops it. No locks on the capture path. The
// parts given must outlive the engine.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "acquisition/AcquisitionParameters.h"
#include "acquisition/CaptureSettings.h"
#include "acquisition/DocumentFormat.h"
#include "acquisition/InputMonitoring.h"
#include "acquisition/SignalDoc.h"
#include "platform/Shell.h"
#include "platform/audio/AudioBackend.h"
#include "shared/InstrumentConfiguration.h"
#include "shared/ProgramState.h"

namespace tonewell {

// The main-frame timers of capture (timer 2, the restart, is kTimerCaptureRestart).
inline constexpr int kRecordReleaseTimer = 1;         // every 30 ms while capture runs
inline constexpr int kRecordReleaseMilliseconds = 30;
inline constexpr int kRecordReadyTimer = 3;           // posted by the capture thread
inline constexpr int kCaptureStartTimer = 4;          // the start click's pause is over
// Timer-1 ticks a record stays with the views at least.
inline constexpr std::int32_t kRecordReleaseTicks = 6;

inline constexpr const char* kZeroPointsMessage = "Number of Sampling Points can not be zero!";
// A negative length, or more than a record can hold.
inline constexpr const char* kPointsOutOfRangeMessage = "Number of Sampling Points must be from 1 to 48000000!";
inline constexpr const char* kNoActiveDocumentMessage = "No active document found!";

// What capture reads and writes besides its own state.
struct CaptureParts {
    CSignalDoc& document;                         // receives each record
    AcquisitionParameters& acquisition;           // trigger values and recordLength, restartPending
    RunState& run;                                // inputRunning
    RedrawState& redraw;                          // recordPending, pending draws, releaseTicks
    const InstrumentConfiguration& configuration; // invertInput
    Shell& shell;
    AudioBackend& audio;
};

// What capture asks of the frame and its views. The instrument implements it; UI thread.
class CaptureHooks {
public:
    virtual ~CaptureHooks() = default;
    // What Run/Stop starts capture with: the sampling and trigger bars as they are now.
    virtual CaptureSettings SettingsFromBars() const = 0;
    // A record length of 0, below 0 or above the longest was refused: "Point" shows "1".
    virtual void RecordLengthRefused() = 0;
    // The document takes the selected format and is emptied (ConfigureDocumentFormat); false
    // when its sample arrays could not be allocated (File Close posted, inputRunning cleared).
    virtual bool ConfigureDocument(const SamplingSelection& selection) = 0;
    // Whether each view's pane is shown now: a record counts as pending for a shown view until
    // its drawing pass.
    virtual bool ScopeShown() const = 0;
    virtual bool SpectrumShown() const = 0;
    // The oscilloscope type the statistics are computed for.
    virtual int ScopeType() const = 0;
    // Every view of the document redraws.
    virtual void RedrawAllViews() = 0;
};

// Capture without a screen (tonewell-cli, benchmarks): the document is configured as the
// instrument does it, and no view has to draw a record before the next may come.
class HeadlessCaptureHooks : public CaptureHooks {
public:
    explicit HeadlessCaptureHooks(CaptureHooks& instrument) : instrument_(instrument) {}
    CaptureSettings SettingsFromBars() const override { return instrument_.SettingsFromBars(); }
    void RecordLengthRefused() override { instrument_.RecordLengthRefused(); }
    bool ConfigureDocument(const SamplingSelection& selection) override {
        return instrument_.ConfigureDocument(selection);
    }
    bool ScopeShown() const override { return false; }
    bool SpectrumShown() const override { return false; }
    int ScopeType() const override { return kScopeTypeSeparate; }
    void RedrawAllViews() override {}

private:
    CaptureHooks& instrument_;
};

class CaptureEngine : public InputMonitoring {
public:
    // hooks may be null until the frame's link is attached; without them capture does not start
    // ("No active document found!").
    explicit CaptureEngine(const CaptureParts& parts, CaptureHooks* hooks = nullptr);
    // Stops running capture quietly (device closed, thread ended).
    ~CaptureEngine() override;
    CaptureEngine(const CaptureEngine&) = delete;
    CaptureEngine& operator=(const CaptureEngine&) = delete;

    void attachHooks(CaptureHooks* hooks) { hooks_ = hooks; }

    // "Run/Stop monitoring input": stops capture when it runs, else starts it with the hooks'
    // SettingsFromBars (without hooks: "No active document found!").
    void RunStop() override;
    // Starts capture with these settings (inputRunning set); nothing while it runs. With
    // playStartClick the click plays first and the input opens when startClickPause has passed
    // (timer 4, OnCaptureStart), so that the click is not recorded; the UI thread does not wait.
    // A record length outside 1..kMaxRecordLength is refused with its message (inputRunning
    // cleared). Device errors are shown by their names; a prepare, queue or start error leaves
    // inputRunning 1, so that the next Run/Stop closes the device.
    void startCapture(const CaptureSettings& settings);

    // Main-frame timer 3 (the capture thread posts it through Shell::post): the record into the
    // document, the views told, statistics; in mode "Single" capture stops. Does nothing when
    // no record is waiting, so a second delivery of the same tick is harmless.
    void OnRecordReady();
    // Main-frame timer 1: releases the record some six ticks after it arrived, once every shown
    // view has drawn it.
    void OnRecordRelease();
    // Main-frame timer 2: once the device has closed after a parameter change, kills the timer
    // and starts capture again without the click. With no restart pending any more (capture
    // was started by hand in between) it only kills the timer.
    void OnCaptureRestart();
    // Main-frame timer 4: kills the timer and opens the input of the start waiting for its click
    // to sound, if it was not stopped meanwhile.
    void OnCaptureStart();
    // Routes a main-frame timer to the four above; false for a timer that is not capture's.
    bool OnTimer(int timerId);

    // Where the capture thread's "record ready" goes on the UI thread: the frame takes it as its
    // timer 3 (and redraws its command bar after it, as after every timer); without a route the
    // engine takes the record itself. UI thread.
    void setRecordReadyRoute(std::function<void()> route) { recordReadyRoute_ = std::move(route); }

    // Overruns of the input device since capture last started: sound lost because the device
    // had no buffer to record into. Kept after stopping until the next start. UI thread.
    std::uint64_t overrunCount() const;
    // Records handed over to the document since construction. UI thread.
    std::uint64_t recordsHandedOver() const { return recordsHandedOver_; }
    // Data notifications the capture threads have taken since construction. Any thread.
    std::uint64_t buffersTaken() const { return buffersTaken_.load(std::memory_order_acquire); }
    // When the capture thread took the buffer that completed the last record handed over, and
    // the trigger frame's distance from that buffer's end in frames. UI thread.
    std::chrono::steady_clock::time_point lastRecordTakenAt() const { return lastRecordTakenAt_; }
    std::int64_t lastRecordFramesAfterTrigger() const { return lastRecordFramesAfterTrigger_; }

    // When set, a start plays the click and opens the input startClickPause later; every start
    // sets it again, the restart after a parameter change clears it. A pause of 0 opens at once.
    bool playStartClick = true;
    std::chrono::milliseconds startClickPause{200};

private:
    struct Session;

    // The start proper, after the click: the record length checked, the document configured,
    // the device opened, the ring queued and the capture thread started.
    void openCapture(const CaptureSettings& settings);
    void stopCapture();
    void endSession(bool quiet);
    void showResult(AudioResult result);
    void captureThread(Session& session);
    void takeData(Session& session, WaveHeader* header);
    // One filled buffer through the session's trigger ring, and its step carried out on the device.
    void processBuffer(Session& session, WaveHeader& header);
    void requeue(Session& session, WaveHeader& header);
    bool viewsHaveDrawn() const;

    CaptureParts parts_;
    CaptureHooks* hooks_;
    std::function<void()> recordReadyRoute_;
    std::unique_ptr<Session> session_;
    // The settings of a start waiting for its click to sound.
    std::optional<CaptureSettings> pendingStart_;
    // Set (release) by the capture thread with recordPending, taken (acquire) by OnRecordReady.
    std::atomic<bool> recordReady_{false};
    std::atomic<std::uint64_t> buffersTaken_{0};
    std::uint64_t recordsHandedOver_ = 0;
    std::uint64_t lastOverruns_ = 0;
    std::chrono::steady_clock::time_point lastRecordTakenAt_{};
    std::int64_t lastRecordFramesAfterTrigger_ = 0;
    // Posted work checks it is still alive before it touches the engine.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace tonewell
