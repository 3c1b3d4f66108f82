#include "acquisition/CaptureEngine.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "acquisition/CaptureRestart.h"
#include "acquisition/TriggerConversions.h"
#include "acquisition/TriggerRing.h"
#include "platform/audio/InputNotificationQueue.h"
#include "platform/audio/ThreadName.h"

namespace tonewell {

namespace {

constexpr std::int32_t kModeSingle = 2;
constexpr std::size_t kSpareCount = TriggerRing::kSpareCount;
// The device holds every ring buffer but the one held back. Two would do for long records; a
// desktop may keep the capture thread waiting for tens of milliseconds, so short records get
// enough queued buffers to cover a quarter of a second, and no sound is lost meanwhile.
constexpr std::size_t kMinimumQueued = 2;
constexpr std::size_t kMaximumQueued = 255;
constexpr double kQueuedSeconds = 0.25;

std::size_t RingSize(std::uint32_t frames, std::uint32_t samplesPerSecond) {
    const double wanted = std::ceil(kQueuedSeconds * samplesPerSecond / std::max<std::uint32_t>(frames, 1));
    return std::clamp<std::size_t>(static_cast<std::size_t>(wanted), kMinimumQueued, kMaximumQueued) + 1;
}

// The system clears bytes recorded, the user word and the flags before it queues a header again.
void ClearHeader(WaveHeader& header) {
    header.bytesRecorded.store(0, std::memory_order_relaxed);
    header.user = 0;
    header.flags.store(0, std::memory_order_relaxed);
}

}  // namespace

// One start's device, buffers and capture thread. The trigger ring and the fields under "capture
// thread" belong to that thread once `active` is set; the ring's record and takenAt are handed
// to the UI thread by recordReady_.
struct CaptureEngine::Session {
    InputNotificationQueue notifications{InputNotificationQueue::Consumer::OwnThread};
    // The ring's headers, then the spares'.
    std::unique_ptr<WaveHeader[]> headers;
    std::size_t headerCount = 0;
    std::vector<std::unique_ptr<std::uint8_t[]>> buffers;
    std::unique_ptr<AudioInput> device;  // created on the UI thread, released after `active` is cleared
    bool opened = false;
    std::thread thread;
    std::weak_ptr<int> engineAlive;

    // The UI thread clears `active` and then waits while `busy` is set; the capture thread sets
    // `busy` and then reads `active`. Both in sequential consistency, so that one of them sees the
    // other: either the thread leaves the buffer alone, or the UI thread waits until it is done.
    std::atomic<bool> active{false};
    std::atomic<bool> busy{false};

    // Made on the UI thread before `active` is set; then the capture thread's.
    std::optional<TriggerRing> ring;
    bool requeueFailed = false;
    // When the buffer that completed the record handed over was taken; written before
    // recordReady_ is set.
    std::chrono::steady_clock::time_point takenAt{};
};

CaptureEngine::CaptureEngine(const CaptureParts& parts, CaptureHooks* hooks) : parts_(parts), hooks_(hooks) {}

CaptureEngine::~CaptureEngine() {
    if (pendingStart_) parts_.shell.killTimer(kCaptureStartTimer);
    if (session_) endSession(true);
}

void CaptureEngine::showResult(AudioResult result) {
    if (result == AudioResult::NoError) return;
    const std::string_view name = AudioResultName(result);
    if (!name.empty()) parts_.shell.showMessage(name);
}

void CaptureEngine::RunStop() {
    if (parts_.run.inputRunning.load()) {
        parts_.run.inputRunning.store(false);
        stopCapture();
    } else {
        startCapture(hooks_ ? hooks_->SettingsFromBars() : CaptureSettings{});
    }
}

// ---- start ------------------------------------------------------------------------------

void CaptureEngine::startCapture(const CaptureSettings& settings) {
    RunState& run = parts_.run;
    if (run.inputRunning.load()) return;
    run.inputRunning.store(true);
    const bool click = playStartClick;
    playStartClick = true;
    if (click) {
        parts_.shell.playClick();
        if (startClickPause.count() > 0) {
            // The click must not be recorded: the input opens once it has sounded, and the UI
            // thread goes on meanwhile.
            pendingStart_ = settings;
            parts_.shell.setTimer(kCaptureStartTimer, static_cast<int>(startClickPause.count()));
            return;
        }
    }
    openCapture(settings);
}

void CaptureEngine::OnCaptureStart() {
    parts_.shell.killTimer(kCaptureStartTimer);
    // A stop in between has dropped the start.
    if (!pendingStart_) return;
    const CaptureSettings settings = *pendingStart_;
    pendingStart_.reset();
    openCapture(settings);
}

void CaptureEngine::openCapture(const CaptureSettings& settings) {
    Shell& shell = parts_.shell;
    RunState& run = parts_.run;
    RedrawState& redraw = parts_.redraw;
    AcquisitionParameters& acquisition = parts_.acquisition;

    // Empty, 0, negative, or more than a record can hold.
    const std::int32_t length = settings.sampling.recordLength;
    if (length <= 0 || length > kMaxRecordLength) {
        run.inputRunning.store(false);
        shell.showMessage(length == 0 ? kZeroPointsMessage : kPointsOutOfRangeMessage);
        if (hooks_) hooks_->RecordLengthRefused();
        return;
    }

    redraw.scopePendingDraws.store(0);
    redraw.spectrumPendingDraws.store(0);
    redraw.recordPending.store(false, std::memory_order_release);
    redraw.releaseTicks.store(0);
    acquisition.restartPending.store(0, std::memory_order_release);
    recordReady_.store(false, std::memory_order_release);

    if (hooks_ == nullptr) {
        // Without the frame's link there is no document for the records to go to.
        run.inputRunning.store(false);
        shell.showMessage(kNoActiveDocumentMessage);
        return;
    }
    if (!hooks_->ConfigureDocument(settings.sampling)) {
        run.inputRunning.store(false);
        return;
    }
    const WaveFormat format = parts_.document.riffHeader.format;

    // The trigger's values for this run; the level in codes of the resolution just configured.
    acquisition.triggerMode = settings.triggerMode;
    acquisition.triggerSource = settings.triggerSource;
    acquisition.triggerEdge = settings.triggerEdge;
    acquisition.triggerLevelCode = TriggerLevelCode(settings.triggerLevelPercent, acquisition.samplingBits);
    acquisition.triggerDelaySamples = TriggerDelaySamples(settings.triggerDelayPercent, length);

    auto session = std::make_unique<Session>();
    Session& s = *session;
    TriggerRingSetup setup;
    setup.frames = static_cast<std::uint32_t>(length);
    setup.mode = acquisition.triggerMode;
    setup.delay = acquisition.triggerDelaySamples;
    setup.stereo = format.channels == 2;
    setup.search.edge = acquisition.triggerEdge == 1 ? TriggerEdge::Falling : TriggerEdge::Rising;
    setup.search.level = acquisition.triggerLevelCode;
    setup.search.bits = format.bitsPerSample;
    setup.search.blockAlign = format.blockAlign;
    setup.search.sampleOffset =
        acquisition.triggerSource == 1 && setup.stereo ? BytesPerSample(format.bitsPerSample) : 0;
    setup.search.invert = parts_.configuration.invertInput;
    s.engineAlive = alive_;
    s.thread = std::thread([this, &s] { captureThread(s); });
    session_ = std::move(session);

    s.device = parts_.audio.createInput();
    const AudioResult opened = s.device ? s.device->open(format, s.notifications) : AudioResult::NoDriver;
    if (opened != AudioResult::NoError) {
        showResult(opened);
        run.inputRunning.store(false);
        endSession(true);
        return;
    }
    s.opened = true;

    const std::size_t bytes = static_cast<std::size_t>(format.blockAlign) * setup.frames;
    const std::size_t ringSize = RingSize(setup.frames, format.samplesPerSecond);
    s.headerCount = ringSize + kSpareCount;
    s.headers = std::make_unique<WaveHeader[]>(s.headerCount);
    s.buffers.resize(s.headerCount);
    for (std::size_t i = 0; i < s.headerCount; ++i) {
        s.buffers[i].reset(new (std::nothrow) std::uint8_t[bytes]());
        if (!s.buffers[i]) {
            shell.postCommand(kCommandFileClose);
            run.inputRunning.store(false);
            endSession(true);
            return;
        }
        s.headers[i].data = s.buffers[i].get();
        s.headers[i].bufferLength = static_cast<std::uint32_t>(bytes);
    }

    // The ring buffers queued but the last, which is held back for pre-trigger samples; the
    // spares ready.
    std::vector<WaveHeader*> ring;
    for (std::size_t i = 0; i < ringSize; ++i) ring.push_back(&s.headers[i]);
    const std::array<WaveHeader*, kSpareCount> spares{&s.headers[ringSize], &s.headers[ringSize + 1]};
    for (std::size_t i = 0; i + 1 < ringSize; ++i) {
        WaveHeader* header = ring[i];
        AudioResult result = s.device->prepare(*header);
        if (result == AudioResult::NoError) result = s.device->addBuffer(*header);
        if (result != AudioResult::NoError) {
            showResult(result);  // inputRunning stays 1: the next Run/Stop closes the device
            return;
        }
    }
    for (WaveHeader* header : {ring.back(), spares[0], spares[1]}) {
        if (AudioResult result = s.device->prepare(*header); result != AudioResult::NoError) {
            showResult(result);
            return;
        }
    }

    s.ring.emplace(setup, std::move(ring), spares);
    s.active.store(true);

    if (AudioResult result = s.device->start(); result != AudioResult::NoError) {
        showResult(result);
        return;
    }
    shell.setTimer(kRecordReleaseTimer, kRecordReleaseMilliseconds);
}

// ---- stop -------------------------------------------------------------------------------

void CaptureEngine::stopCapture() {
    if (pendingStart_) {
        // Stopped during the click's pause: the input never opens.
        pendingStart_.reset();
        parts_.shell.killTimer(kCaptureStartTimer);
    }
    if (session_) {
        endSession(false);
    } else {
        // Nothing was open, so no close notification will come: a restart waiting for one goes on.
        int marked = 1;
        parts_.acquisition.restartPending.compare_exchange_strong(marked, 2, std::memory_order_acq_rel);
    }
    parts_.shell.killTimer(kRecordReleaseTimer);
}

void CaptureEngine::endSession(bool quiet) {
    Session& s = *session_;
    s.active.store(false);
    while (s.busy.load()) std::this_thread::yield();

    if (s.opened) {
        const AudioResult reset = s.device->reset();
        if (!quiet) showResult(reset);
        for (std::size_t i = 0; i < s.headerCount; ++i) s.device->unprepare(s.headers[i]);
        const AudioResult closed = s.device->close();
        if (!quiet) showResult(closed);
    }
    if (s.device) lastOverruns_ = s.device->overrunCount();
    // A device that would not close shuts down here: it returns its buffers and pushes its close
    // notification, and waits until the capture thread has taken it.
    s.device.reset();
    if (!s.opened) s.notifications.push({InputNotificationKind::Close, nullptr});
    if (s.thread.joinable()) s.thread.join();
    // A record that was not yet copied goes with its buffers.
    recordReady_.store(false, std::memory_order_release);
    session_.reset();
}

// ---- capture thread ---------------------------------------------------------------------

void CaptureEngine::captureThread(Session& s) {
    NameThisThread("tw-capture");
    for (;;) {
        const std::optional<InputNotification> notification = s.notifications.waitPop(std::chrono::seconds(1));
        if (!notification) continue;
        switch (notification->kind) {
            case InputNotificationKind::Open: break;
            case InputNotificationKind::Close: {
                int marked = 1;
                parts_.acquisition.restartPending.compare_exchange_strong(marked, 2, std::memory_order_acq_rel);
                return;
            }
            case InputNotificationKind::Data:
                if (notification->header != nullptr) takeData(s, notification->header);
                break;
        }
    }
}

void CaptureEngine::takeData(Session& s, WaveHeader* header) {
    s.busy.store(true);
    if (s.active.load() && parts_.run.inputRunning.load(std::memory_order_acquire) &&
        parts_.acquisition.restartPending.load(std::memory_order_acquire) == 0)
        processBuffer(s, *header);
    s.busy.store(false, std::memory_order_release);
    buffersTaken_.fetch_add(1, std::memory_order_release);
}

void CaptureEngine::processBuffer(Session& s, WaveHeader& header) {
    const TriggerRingStep step =
        s.ring->take(header, parts_.redraw.recordPending.load(std::memory_order_acquire));
    if (step.takenOut != nullptr) {
        s.device->unprepare(*step.takenOut);
        ClearHeader(*step.takenOut);
    }
    if (step.recordCut) {
        s.takenAt = std::chrono::steady_clock::now();
        parts_.redraw.recordPending.store(true, std::memory_order_release);
        recordReady_.store(true, std::memory_order_release);
        parts_.shell.post([this, alive = s.engineAlive] {
            if (alive.expired()) return;
            if (recordReadyRoute_) recordReadyRoute_();
            else OnRecordReady();
        });
    }
    if (step.requeue != nullptr) requeue(s, *step.requeue);
}

void CaptureEngine::requeue(Session& s, WaveHeader& header) {
    AudioInput& device = *s.device;
    device.unprepare(header);  // a header that is not prepared stays as it is
    ClearHeader(header);
    AudioResult result = device.prepare(header);
    if (result == AudioResult::NoError) result = device.addBuffer(header);
    if (result == AudioResult::NoError || s.requeueFailed) return;
    // The ring has lost a buffer: say so once, on the UI thread.
    s.requeueFailed = true;
    const std::string_view name = AudioResultName(result);
    if (name.empty()) return;
    parts_.shell.post([shell = &parts_.shell, text = std::string(name), alive = s.engineAlive] {
        if (!alive.expired()) shell->showMessage(text);
    });
}

// ---- UI thread: hand-over, release, restart ---------------------------------------------

void CaptureEngine::OnRecordReady() {
    Session* s = session_.get();
    if (s == nullptr || !recordReady_.exchange(false, std::memory_order_acq_rel)) return;
    if (!parts_.redraw.recordPending.load(std::memory_order_acquire)) return;

    CSignalDoc& document = parts_.document;
    const TriggerRing& ring = *s->ring;
    const std::uint32_t n = ring.setup().frames;
    // The document was given this length when capture started; anything else is not ours to fill.
    if (!ring.copyRecord(document.dataA, document.dataB)) return;

    document.SetModifiedFlag();
    document.sampleCount = n;
    document.RecordChanged();
    RedrawState& redraw = parts_.redraw;
    if (hooks_) {
        if (hooks_->ScopeShown()) redraw.scopePendingDraws.fetch_add(1);
        if (hooks_->SpectrumShown()) redraw.spectrumPendingDraws.fetch_add(1);
    }
    document.ComputeStatistics(hooks_ ? hooks_->ScopeType() : kScopeTypeSeparate);
    if (hooks_) hooks_->RedrawAllViews();
    ++recordsHandedOver_;
    lastRecordTakenAt_ = s->takenAt;
    lastRecordFramesAfterTrigger_ = 2 * static_cast<std::int64_t>(n) - ring.record().triggerFrame;

    if (ring.setup().mode == kModeSingle) RunStop();
    redraw.releaseTicks.fetch_add(1);
}

bool CaptureEngine::viewsHaveDrawn() const {
    const RedrawState& redraw = parts_.redraw;
    if (hooks_ == nullptr) return true;
    return (!hooks_->ScopeShown() || redraw.scopePendingDraws.load() == 0) &&
           (!hooks_->SpectrumShown() || redraw.spectrumPendingDraws.load() == 0);
}

void CaptureEngine::OnRecordRelease() {
    RedrawState& redraw = parts_.redraw;
    const std::int32_t ticks = redraw.releaseTicks.load();
    if (ticks == 0) return;
    if (ticks <= kRecordReleaseTicks || !viewsHaveDrawn()) {
        redraw.releaseTicks.store(ticks + 1);
        return;
    }
    redraw.releaseTicks.store(0);
    redraw.recordPending.store(false, std::memory_order_release);
}

void CaptureEngine::OnCaptureRestart() {
    AcquisitionParameters& acquisition = parts_.acquisition;
    const int pending = acquisition.restartPending.load(std::memory_order_acquire);
    if (pending == 1) return;  // the device has not closed yet
    parts_.shell.killTimer(kTimerCaptureRestart);
    // Nothing left to restart: capture was started by hand in between.
    if (pending == 0) return;
    acquisition.restartPending.store(0, std::memory_order_release);
    if (parts_.run.inputRunning.load()) return;
    playStartClick = false;
    RunStop();
}

bool CaptureEngine::OnTimer(int timerId) {
    switch (timerId) {
        case kRecordReleaseTimer: OnRecordRelease(); return true;
        case kTimerCaptureRestart: OnCaptureRestart(); return true;
        case kRecordReadyTimer: OnRecordReady(); return true;
        case kCaptureStartTimer: OnCaptureStart(); return true;
        default: return false;
    }
}

std::uint64_t CaptureEngine::overrunCount() const {
    if (session_ && session_->device) return session_->device->overrunCount();
    return lastOverruns_;
}

}  // namespace tonewell
