#pragma once
// Output streaming: the generator plays on the sound output. RunStop starts and stops it; a
// continuous signal is one synthesised second that the device loops until reset; a sweep plays
// sweepDuration seconds through three rotating buffers, refilled on the notification thread,
// and then stops itself through the UI thread. With "Display in Oscilloscope" each played second
// is copied into the document. Play and the export of the generated signal build their run the
// same way (prepareRun: the refusals, the run's copies, buffers and synthesizer) and then part:
// play opens the device, the export hands the run to the file writer.
//
// Owned by the composition root for the whole program, so the output plays on while the
// generator dialog is closed. Threads: everything runs on the UI thread except OnBufferDone,
// which the device calls on its notification thread. A run works on its own copies of the
// settings, tone lists, library and calibration, taken at the start, so edits on the UI thread
// never reach the notification thread. The hand-over between the two threads uses atomics only:
// a stop waits until no done handler is past its check of outputRunning, and a buffer whose
// samples the UI thread is copying into the document is not refilled until the copy is over.

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "acquisition/SignalDoc.h"
#include "generator/GeneratorExport.h"
#include "generator/GeneratorSettings.h"
#include "generator/GeneratorWindow.h"
#include "generator/OutputCalibration.h"
#include "generator/OutputDisplay.h"
#include "generator/SeedClock.h"
#include "generator/ToneList.h"
#include "generator/WaveformLibrary.h"
#include "platform/Shell.h"
#include "platform/audio/AudioBackend.h"
#include "platform/audio/WaveHeader.h"
#include "shared/ProgramState.h"

namespace tonewell {

class ExportProgress;

// The main-frame timer that ends a sweep while the generator dialog is closed.
inline constexpr int kSweepEndTimer = 100;
inline constexpr int kSweepEndTimerMilliseconds = 1;

// Shown when the buffers of a start cannot be allocated; the output stays stopped.
inline constexpr const char* kOutputOutOfMemoryMessage = "Not enough memory to generate the signal.";

// Where a run's buffers come from: resizes `bytes` to `size` bytes and throws std::bad_alloc
// when memory has run out. Tests hand in one that runs out.
using OutputBufferAllocator = std::function<void(std::vector<std::uint8_t>& bytes, std::size_t size)>;

// What the output reads and writes. The references must outlive the output.
struct GeneratorOutputParts {
    GeneratorSettings& settings;
    ToneLists& toneLists;
    const WaveformLibrary& library;
    std::function<OutputCalibration()> calibration;  // read at every start
    const SeedClock& clock;
    Shell& shell;
    RunState& run;                     // outputRunning, displayInScopeActive, generatorShown
    AudioBackend* audio = nullptr;     // nothing: the export alone
    CSignalDoc* document = nullptr;    // nothing: no display in the oscilloscope
};

class GeneratorOutput {
public:
    explicit GeneratorOutput(GeneratorOutputParts parts);
    // A running output is stopped without messages; its device is closed before the output goes.
    ~GeneratorOutput();
    GeneratorOutput(const GeneratorOutput&) = delete;
    GeneratorOutput& operator=(const GeneratorOutput&) = delete;

    // The generator dialog's window while it is open (told of the run state); nullptr when it
    // closes.
    void attachWindow(GeneratorWindow* window) { window_ = window; }
    // The frame's part of "Display in Oscilloscope"; nullptr: the output is never displayed.
    void attachDisplay(OutputDisplay* display) { display_ = display; }
    void setBufferAllocator(OutputBufferAllocator allocator) { allocator_ = std::move(allocator); }

    // Starts the output with the generator's settings as they are when it is stopped, stops it
    // when it runs; outputRunning follows. A refused or failed start says why (the message, or
    // the device error's name) and leaves outputRunning false; a stop always stops, showing any
    // device error's name.
    void RunStop();
    // Run/Stop as the frame's command and the end of a sweep give it: while the generator
    // dialog is open, a click of its Run/Stop button, which hands the pages over before a start;
    // otherwise RunStop.
    void RunStopCommand();

    // The device's done notification of one buffer (notification thread). During a sweep it
    // refills the buffer whose turn it is and queues it, posts the copy of the second now
    // playing into the document when the output is displayed, and after sweepDuration
    // notifications ends the sweep through the UI thread: a Run/Stop click posted to the
    // generator dialog when its window is open, else main-frame timer 100. Device errors are
    // shown by name (posted to the UI thread); the output goes on.
    void OnBufferDone(WaveHeader& header);

    // Main-frame timer 100: kills the timer and stops the output whose sweep has ended.
    void OnSweepEndTimer();

    // The export: the run built as for play, then written to a file of the chosen type instead
    // of the device (no display); seconds of signal from phase 0. outputRunning is set while it
    // writes and false afterwards.
    // progress (may be nullptr) hears every second written and may cancel: the partial file is
    // removed, a previous file of that name kept, and Cancelled returned without a message.
    ExportOutcome exportSignal(const std::filesystem::path& path, ExportFileType type, std::uint32_t seconds,
                               ExportProgress* progress = nullptr);

    bool running() const { return parts_.run.outputRunning.load(); }
    // Underruns of the running output's device since it opened (after a stop, those of the last
    // run), for the status bar. UI thread.
    std::uint64_t underrunCount() const;
    // Buffers synthesised and done notifications of the current or last run. UI thread, or any
    // thread once the run has ended.
    std::uint32_t buffersGenerated() const;
    std::uint32_t buffersDone() const;
    // The generator dialog's opening counts buffers from 0 again; a running output keeps its
    // count, which its sweep is following.
    void resetBuffersGenerated();

private:
    struct Run;
    enum class CopyState : int { Idle, Pending, Copying };
    enum class StartResult { Running, Refused, Failed };
    enum class PrepareResult { Ready, Refused, Failed };

    // The run of a start, shared by play and the export: a sweep of 0 seconds becomes 1 and a
    // multitone set beyond the sampling frequency is refused (with its message), before
    // anything changes; otherwise run_ holds the settings' copies, the format, the synthesizer
    // at phase 0 and bufferCount seconds of buffers. Failed: out of memory, said; run_ may hold
    // a part of the run.
    PrepareResult prepareRun(int bufferCount);
    // Play: the run, the display, the device and the first seconds queued.
    StartResult start();
    // Stops the device and frees the run. `report`: device errors are shown by name and the
    // dialog window activated (a stop); otherwise they are left unsaid (a start that has already
    // reported its failure, or the output's end).
    void stop(bool report);
    // A start that went wrong after outputRunning was set: the run is taken down again.
    StartResult failStart(std::string_view message);
    // The run's counts kept for the counters, and the run freed; work posted for it is dropped.
    void releaseRun();
    ExportOutcome writeSignal(Run& run, const std::filesystem::path& path, ExportFileType type, std::uint32_t seconds,
                              ExportProgress* progress);
    void refill(Run& run, int index);
    void postCopy(Run& run, int index);
    void copyShown(std::uint64_t generation, int index);
    void releaseForRefill(int index);
    void postDeviceError(AudioResult result);
    void endSweep();
    void sweepEndArrived();
    void waitForHandlers();

    GeneratorOutputParts parts_;
    GeneratorWindow* window_ = nullptr;
    OutputDisplay* display_ = nullptr;
    OutputBufferAllocator allocator_;

    std::unique_ptr<AudioOutput> device_;
    std::unique_ptr<Run> run_;
    std::uint64_t generation_ = 0;  // counts runs, so that work posted for an old run is dropped
    std::uint64_t lastUnderruns_ = 0;
    std::uint32_t lastGenerated_ = 0;
    std::uint32_t lastDone_ = 0;

    // Done handlers past their check of outputRunning; a stop waits for none.
    std::atomic<int> busy_{0};
    std::atomic<bool> sweepEnded_{false};
    std::array<std::atomic<CopyState>, 3> copyState_{};
    // Lets posted work find out on the UI thread whether the output still exists.
    std::shared_ptr<GeneratorOutput*> self_;
};

}  // namespace tonewell
