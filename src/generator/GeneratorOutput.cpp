#include "generator/GeneratorOutput.h"

#include <new>
#include <utility>

#include "generator/GeneratedSignalFile.h"
#include "generator/GeneratorTables.h"
#include "generator/OutputDocument.h"
#include "generator/OutputFormat.h"
#include "generator/Synthesizer.h"
#include "generator/ToneFile.h"
#include "platform/SafeFileWriter.h"
#include "platform/audio/AudioResult.h"

namespace tonewell {

namespace {

constexpr int kHeaderCount = 3;
constexpr const char* kRunText = "Run";
constexpr const char* kStopText = "Stop";
constexpr const char* kTooLongMessage = "The signal is too long for a WAV file.";

void AllocateBytes(std::vector<std::uint8_t>& bytes, std::size_t size) { bytes.assign(size, 0); }

// One second of a buffer, looped `loops` times (kLoopUntilReset: until the device is reset).
void SetUpHeader(WaveHeader& header, std::vector<std::uint8_t>& bytes, std::uint32_t length, std::uint32_t loops) {
    header.data = bytes.data();
    header.bufferLength = length;
    header.bytesRecorded.store(0);
    header.user = 0;
    header.flags.store(kWaveHeaderBeginLoop | kWaveHeaderEndLoop);
    header.loops = loops;
}

}  // namespace

// One start of the output (or of the export) and everything it owns until the stop.
struct GeneratorOutput::Run {
    Run(const GeneratorSettings& programSettings, const ToneLists& programTones, const WaveformLibrary& programLibrary,
        const OutputCalibration& cal, const SeedClock& clock, Shell& shell)
        : settings(programSettings),
          toneLists(programTones),
          calibration(cal),
          format(OutputFormatFor(settings)),
          synth(settings, toneLists, library, calibration, clock, shell) {
        // Only the library waveform reads the library; other runs need no copy of it.
        if (WaveformCode(settings, 0) == kWaveformLibrary) library = programLibrary;
    }

    // The run's own copies of what synthesis reads.
    GeneratorSettings settings;
    ToneLists toneLists;
    WaveformLibrary library;
    OutputCalibration calibration;
    WaveFormat format;
    Synthesizer synth;

    std::array<std::vector<std::uint8_t>, kHeaderCount> buffers;
    std::array<WaveHeader, kHeaderCount> headers;
    bool sweep = false;
    std::uint32_t duration = 1;  // seconds of a sweep
    bool display = false;        // each played second goes into the document
    std::uint64_t generation = 0;

    // Written by the start before the first buffer is queued, afterwards only by the done
    // handler; atomics so that the UI thread may look at them while the output runs.
    std::atomic<std::uint32_t> buffersDone{0};
    std::atomic<std::uint32_t> buffersGenerated{0};
    int refillIndex = 1;

    std::span<std::uint8_t> second(int index) {
        return {buffers[static_cast<std::size_t>(index)].data(), format.averageBytesPerSecond};
    }
    // Synthesises the next second into a buffer and counts it.
    bool synthesize(int index) {
        if (!synth.Synthesize(second(index))) return false;
        synth.countBuffer();
        buffersGenerated.store(synth.buffersGenerated(), std::memory_order_relaxed);
        return true;
    }
};

GeneratorOutput::GeneratorOutput(GeneratorOutputParts parts)
    : parts_(std::move(parts)), allocator_(AllocateBytes), self_(std::make_shared<GeneratorOutput*>(this)) {
    for (auto& state : copyState_) state.store(CopyState::Idle);
}

GeneratorOutput::~GeneratorOutput() {
    // The program ends: nothing is shown, and neither the dialog nor the frame is asked anything.
    window_ = nullptr;
    display_ = nullptr;
    if (run_ || device_) stop(false);
    self_.reset();
}

void GeneratorOutput::RunStop() {
    if (parts_.run.outputRunning.load()) {
        stop(true);
        return;
    }
    parts_.run.outputRunning.store(true);
    start();
}

void GeneratorOutput::RunStopCommand() {
    if (window_) window_->clickRunStop();
    else RunStop();
}

// ---- start ------------------------------------------------------------------------------------

GeneratorOutput::PrepareResult GeneratorOutput::prepareRun(int bufferCount) {
    GeneratorSettings& settings = parts_.settings;
    Shell& shell = parts_.shell;
    // Checks that refuse a start before anything changes: the document and capture are left
    // as they are.
    if (settings.sweepDuration == 0) {
        settings.sweepDuration = 1;
        return PrepareResult::Refused;
    }
    if (std::optional<std::string> message = MultiTonesCheck(settings, parts_.toneLists)) {
        shell.showMessage(*message);
        return PrepareResult::Refused;
    }
    // The run's copies, its seconds of buffers and the mix buffer; nothing is allocated while
    // the output runs.
    try {
        run_ = std::make_unique<Run>(settings, parts_.toneLists, parts_.library, parts_.calibration(), parts_.clock,
                                     shell);
        for (int i = 0; i < bufferCount; ++i)
            allocator_(run_->buffers[static_cast<std::size_t>(i)], run_->format.averageBytesPerSecond);
        run_->synth.startRun();
    } catch (const std::bad_alloc&) {
        shell.showMessage(kOutputOutOfMemoryMessage);
        return PrepareResult::Failed;
    }
    run_->sweep = settings.sweepEnabled;
    run_->duration = settings.sweepDuration;
    return PrepareResult::Ready;
}

GeneratorOutput::StartResult GeneratorOutput::start() {
    RunState& state = parts_.run;
    // Three seconds of buffers: a sweep's rotation.
    switch (prepareRun(kHeaderCount)) {
        case PrepareResult::Refused: state.outputRunning.store(false); return StartResult::Refused;
        case PrepareResult::Failed: return failStart({});
        case PrepareResult::Ready: break;
    }
    Run& run = *run_;
    const WaveFormat& format = run.format;

    const bool display = parts_.settings.displayInScope && display_ != nullptr && parts_.document != nullptr;
    state.displayInScopeActive.store(display);
    if (display) display_->stopInputMonitoring();
    ++generation_;
    sweepEnded_.store(false);
    run.generation = generation_;
    run.display = display;

    if (parts_.audio == nullptr) return failStart(AudioResultName(AudioResult::NoDriver));
    device_ = parts_.audio->createOutput();
    const AudioResult opened = device_->open(format, [this](WaveHeader& header) { OnBufferDone(header); });
    if (opened != AudioResult::NoError) {
        // A device that never opened has nothing to reset or close.
        device_.reset();
        return failStart(AudioResultName(opened));
    }

    // The first seconds are synthesised before any is queued, so that a done notification never
    // meets a half-made start.
    const std::uint32_t length = format.averageBytesPerSecond;
    const bool rotating = run.sweep && run.duration >= 2;
    SetUpHeader(run.headers[0], run.buffers[0], length, run.sweep ? 1 : kLoopUntilReset);
    if (AudioResult r = device_->prepare(run.headers[0]); r != AudioResult::NoError)
        return failStart(AudioResultName(r));
    // The synthesizer has said why when it writes nothing (no library loaded).
    if (!run.synthesize(0)) return failStart({});
    if (rotating) {
        SetUpHeader(run.headers[1], run.buffers[1], length, 1);
        SetUpHeader(run.headers[2], run.buffers[2], length, 1);
        if (AudioResult r = device_->prepare(run.headers[1]); r != AudioResult::NoError)
            return failStart(AudioResultName(r));
        run.synthesize(1);
    }
    // Single waveforms rewrite the tone lists, as the program's own lists show afterwards.
    parts_.toneLists = run.toneLists;

    run.buffersDone.store(0);
    run.refillIndex = 1;
    if (AudioResult r = device_->write(run.headers[0]); r != AudioResult::NoError) return failStart(AudioResultName(r));
    if (rotating) {
        if (AudioResult r = device_->write(run.headers[1]); r != AudioResult::NoError)
            return failStart(AudioResultName(r));
    }

    if (display) {
        display_->alignToOutput(format);
        if (!ResetDocumentToOutput(*parts_.document, format, run.calibration)) return failStart(kOutputOutOfMemoryMessage);
        CopyOutputToDocument(*parts_.document, format, run.second(0));
        display_->fitViewsToDocument();
        parts_.document->ComputeStatistics(display_->scopeType());
        display_->updateViews();
    }
    if (window_) {
        window_->setRunButtonText(kStopText);
        window_->applyEnabling();
    }
    return StartResult::Running;
}

GeneratorOutput::StartResult GeneratorOutput::failStart(std::string_view message) {
    if (!message.empty()) parts_.shell.showMessage(message);
    stop(false);
    if (window_) window_->activate();
    return StartResult::Failed;
}

// ---- stop -------------------------------------------------------------------------------------

void GeneratorOutput::waitForHandlers() {
    // A handler that saw outputRunning set finishes its refill; one that comes later returns at
    // once. Refills are short and never wait for this thread, so the wait is short too.
    for (int busy = busy_.load(); busy != 0; busy = busy_.load()) busy_.wait(busy);
}

void GeneratorOutput::stop(bool report) {
    RunState& state = parts_.run;
    state.outputRunning.store(false);
    waitForHandlers();
    // A sweep end not yet taken up must not stop the next run.
    if (sweepEnded_.exchange(false)) parts_.shell.killTimer(kSweepEndTimer);

    if (state.displayInScopeActive.exchange(false) && display_) display_->restoreDisplay();
    if (window_) window_->setRunButtonText(kRunText);

    bool failed = false;
    auto shown = [&](AudioResult result) {
        if (result == AudioResult::NoError) return;
        failed = true;
        if (!report) return;
        const std::string_view name = AudioResultName(result);
        if (!name.empty()) parts_.shell.showMessage(name);
    };
    if (device_) {
        shown(device_->reset());
        // Unpreparing reports nothing; a buffer the reset did not return stays queued and the
        // close says so.
        if (run_)
            for (WaveHeader& header : run_->headers)
                if (header.flags.load() & kWaveHeaderPrepared) (void)device_->unprepare(header);
        shown(device_->close());
        lastUnderruns_ = device_->underrunCount();
        // Destroying the device returns whatever a failed reset left queued and waits for the
        // handlers, so the buffers are free to go afterwards.
        device_.reset();
    }
    releaseRun();

    if (failed && report && window_) window_->activate();
    if (window_) window_->applyEnabling();
}

void GeneratorOutput::releaseRun() {
    if (run_) {
        lastGenerated_ = run_->buffersGenerated.load();
        lastDone_ = run_->buffersDone.load();
    }
    ++generation_;
    for (auto& copy : copyState_) copy.store(CopyState::Idle);
    run_.reset();
}

// ---- buffer done (notification thread) ----------------------------------------------------------

namespace {
// Counts a done handler as busy from before its check of outputRunning until it returns.
class BusyScope {
public:
    explicit BusyScope(std::atomic<int>& busy) : busy_(busy) { busy_.fetch_add(1); }
    ~BusyScope() {
        busy_.fetch_sub(1);
        busy_.notify_all();
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    std::atomic<int>& busy_;
};
}  // namespace

void GeneratorOutput::OnBufferDone(WaveHeader&) {
    BusyScope busy(busy_);
    // Sequentially consistent with the stop's store: either this handler sees the stop, or the
    // stop sees this handler busy and waits for it.
    if (!parts_.run.outputRunning.load()) return;
    Run& run = *run_;
    const std::uint32_t done = run.buffersDone.fetch_add(1, std::memory_order_relaxed) + 1;
    // A looping buffer needs no refill.
    if (!run.sweep) return;
    if (done >= run.duration) {
        endSweep();
        return;
    }
    if (done == run.duration - 1) {
        // The last second is already queued and now plays.
        if (run.display) postCopy(run, run.refillIndex);
        return;
    }
    run.refillIndex = (run.refillIndex + 1) % kHeaderCount;
    const int index = run.refillIndex;
    // The header now playing is the one refilled last time.
    if (run.display) postCopy(run, (index + 2) % kHeaderCount);
    refill(run, index);
}

void GeneratorOutput::refill(Run& run, int index) {
    releaseForRefill(index);
    WaveHeader& header = run.headers[static_cast<std::size_t>(index)];
    (void)device_->unprepare(header);
    SetUpHeader(header, run.buffers[static_cast<std::size_t>(index)], run.format.averageBytesPerSecond, 1);
    if (AudioResult r = device_->prepare(header); r != AudioResult::NoError) {
        postDeviceError(r);
        return;
    }
    // The run's library and settings were fit for synthesis at the start and cannot change.
    if (!run.synthesize(index)) return;
    if (AudioResult r = device_->write(header); r != AudioResult::NoError) postDeviceError(r);
}

void GeneratorOutput::postDeviceError(AudioResult result) {
    const std::string_view name = AudioResultName(result);
    if (name.empty()) return;
    Shell* shell = &parts_.shell;
    shell->post([shell, text = std::string(name)] { shell->showMessage(text); });
}

void GeneratorOutput::endSweep() {
    sweepEnded_.store(true);
    if (parts_.run.generatorShown.load()) {
        std::weak_ptr<GeneratorOutput*> self = self_;
        parts_.shell.post([self] {
            if (auto alive = self.lock()) (*alive)->sweepEndArrived();
        });
    } else {
        parts_.shell.setTimer(kSweepEndTimer, kSweepEndTimerMilliseconds);
    }
}

void GeneratorOutput::sweepEndArrived() {
    if (!sweepEnded_.exchange(false) || !running()) return;
    RunStopCommand();
}

void GeneratorOutput::OnSweepEndTimer() {
    parts_.shell.killTimer(kSweepEndTimer);
    if (!sweepEnded_.exchange(false) || !running()) return;
    RunStop();
}

// ---- the played second in the document ----------------------------------------------------------

void GeneratorOutput::postCopy(Run& run, int index) {
    copyState_[static_cast<std::size_t>(index)].store(CopyState::Pending, std::memory_order_release);
    std::weak_ptr<GeneratorOutput*> self = self_;
    parts_.shell.post([self, generation = run.generation, index] {
        if (auto alive = self.lock()) (*alive)->copyShown(generation, index);
    });
}

void GeneratorOutput::copyShown(std::uint64_t generation, int index) {
    if (generation != generation_ || !run_ || !run_->display) return;
    std::atomic<CopyState>& state = copyState_[static_cast<std::size_t>(index)];
    CopyState expected = CopyState::Pending;
    // A buffer whose turn to be refilled came first has dropped its copy.
    if (!state.compare_exchange_strong(expected, CopyState::Copying, std::memory_order_acquire)) return;
    CopyOutputToDocument(*parts_.document, run_->format, run_->second(index));
    state.store(CopyState::Idle, std::memory_order_release);
    state.notify_all();
    parts_.document->ComputeStatistics(display_ ? display_->scopeType() : kScopeTypeSeparate);
    if (display_) display_->updateViews();
}

void GeneratorOutput::releaseForRefill(int index) {
    std::atomic<CopyState>& state = copyState_[static_cast<std::size_t>(index)];
    CopyState expected = CopyState::Pending;
    // A copy not yet begun is dropped (a newer second is on its way); one under way is waited
    // for, which takes no longer than copying one second of samples.
    if (state.compare_exchange_strong(expected, CopyState::Idle, std::memory_order_acquire)) return;
    while (expected == CopyState::Copying) {
        state.wait(CopyState::Copying, std::memory_order_acquire);
        expected = state.load(std::memory_order_acquire);
    }
}

// ---- export ------------------------------------------------------------------------------------

ExportOutcome GeneratorOutput::exportSignal(const std::filesystem::path& path, ExportFileType type,
                                            std::uint32_t seconds, ExportProgress* progress) {
    if (running()) return ExportOutcome::Refused;
    RunState& state = parts_.run;
    // The output counts as running while it writes, and shows nothing in the oscilloscope.
    state.outputRunning.store(true);
    state.displayInScopeActive.store(false);
    ExportOutcome outcome = ExportOutcome::Failed;
    // One second of buffer, written again for every second.
    switch (prepareRun(1)) {
        case PrepareResult::Refused: state.outputRunning.store(false); return ExportOutcome::Refused;
        case PrepareResult::Failed: releaseRun(); break;
        case PrepareResult::Ready:
            outcome = writeSignal(*run_, path, type, seconds, progress);
            parts_.toneLists = run_->toneLists;
            lastGenerated_ = run_->buffersGenerated.load();
            run_.reset();
            break;
    }
    state.outputRunning.store(false);
    if (window_) window_->applyEnabling();
    return outcome;
}

ExportOutcome GeneratorOutput::writeSignal(Run& run, const std::filesystem::path& path, ExportFileType type,
                                           std::uint32_t seconds, ExportProgress* progress) {
    Shell& shell = parts_.shell;
    if (type == ExportFileType::Wave && !WaveFitsRiff(run.format, seconds)) {
        shell.showMessage(kTooLongMessage);
        return ExportOutcome::Refused;
    }
    SafeFileWriter file(path);
    if (!file.open()) {
        shell.showMessage(kFileCreateFailedMessage);
        return ExportOutcome::Failed;
    }
    if (progress) progress->begin(seconds);
    const SignalWriteResult result =
        type == ExportFileType::Wave
            ? WriteGeneratedWave(file, run.synth, run.format, run.calibration, seconds, run.buffers[0], progress)
            : WriteGeneratedText(file, run.synth, run.format, run.calibration, seconds, run.buffers[0], progress);
    if (progress) progress->end();
    run.buffersGenerated.store(run.synth.buffersGenerated());
    if (result == SignalWriteResult::SynthesisFailed) {
        // Nothing to write: the synthesizer has said why. The previous file stays.
        file.abandon();
        return ExportOutcome::Refused;
    }
    if (result == SignalWriteResult::Cancelled) {
        // The part written so far goes; a file of that name from before stays as it was.
        file.abandon();
        return ExportOutcome::Cancelled;
    }
    if (result != SignalWriteResult::Written || !file.commit()) {
        shell.showMessage(kFileCreateFailedMessage);
        return ExportOutcome::Failed;
    }
    return ExportOutcome::Written;
}

// ---- counters ----------------------------------------------------------------------------------

std::uint64_t GeneratorOutput::underrunCount() const {
    return device_ ? device_->underrunCount() : lastUnderruns_;
}

std::uint32_t GeneratorOutput::buffersGenerated() const {
    return run_ ? run_->buffersGenerated.load() : lastGenerated_;
}

std::uint32_t GeneratorOutput::buffersDone() const { return run_ ? run_->buffersDone.load() : lastDone_; }

void GeneratorOutput::resetBuffersGenerated() {
    if (!run_) lastGenerated_ = 0;
}

}  // namespace tonewell
