#pragma once
// What tonewell-cli's commands share: exit statuses, the tool's shell, the instrument as the tool
// builds it, option helpers and the command table's row.
//
// Exit status: 0 success, 1 the core refused the input or the device failed (its message on
// stderr), 2 bad arguments.

#include "app/Instrument.h"
#include "main/CliArguments.h"
#include "platform/ConsoleShell.h"
#include "platform/audio/LoopbackCable.h"
#include "shared/RangeTables.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tonewell::cli {

using Id = RangeTableId;

constexpr int kExitOk = 0;
constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;

// The tool's shell: messages are printed as they are shown. The tool's main thread is its UI
// thread; posted work and the end of a sweep (main-frame timer 100) wake it while it waits.
class ToolShell : public ConsoleShell {
public:
    using ConsoleShell::ConsoleShell;

    void post(std::function<void()> work) override {
        ConsoleShell::post(std::move(work));
        wake();
    }
    void setTimer(int timerId, int) override {
        if (timerId != kSweepEndTimer) return;
        sweepEnd_ = true;
        wake();
    }
    void killTimer(int timerId) override {
        if (timerId == kSweepEndTimer) sweepEnd_ = false;
    }

    // Timer 100 fired since the last call.
    bool takeSweepEnd() { return sweepEnd_.exchange(false); }
    // Waits until something was posted or a timer started, at most `bound`.
    void waitForWork(std::chrono::milliseconds bound) {
        std::unique_lock lock(wakeMutex_);
        woken_.wait_for(lock, bound, [this] { return pending_; });
        pending_ = false;
    }

private:
    void wake() {
        {
            std::lock_guard lock(wakeMutex_);
            pending_ = true;
        }
        woken_.notify_all();
    }

    std::atomic<bool> sweepEnd_{false};
    std::mutex wakeMutex_;
    std::condition_variable woken_;
    bool pending_ = false;
};

// The instrument as this tool builds it. Messages are printed as they are shown; the program's
// own files are not read (no startUp), so results depend only on the arguments. Without a
// backend given, a loopback cable whose clock nobody moves: nothing plays or records.
struct ConsoleInstrument {
    explicit ConsoleInstrument(std::ostream& messages = std::cerr, std::string linePrefix = {},
                               std::unique_ptr<AudioBackend> backend = nullptr)
        : shell(messages, std::move(linePrefix)),
          audio(backend ? std::move(backend) : std::make_unique<LoopbackCable>()),
          instrument(shell, *audio) {
        // No splash to wait for: start-up is over once the instrument stands.
        instrument.startup.splashEnded();
    }

    ToolShell shell;
    std::unique_ptr<AudioBackend> audio;
    Instrument instrument;
};


// A refusal the core said nothing about gets the tool's own line.
int Refused(const ToolShell& shell, const std::string& what);

// Shortest text that reads back as the same float.
std::string FloatText(float value);

// The names of a selector list, for an option's allowed values and its help.
std::vector<std::string> SelectorNames(Id id);
// The values of a selector list as text.
std::vector<std::string> SelectorValueTexts(Id id);
// The value of the row a name picks (the name was checked against the list's names).
std::int32_t SelectorValue(const RangeTables& tables, Id id, const std::string& name);

std::string Joined(const std::vector<std::string>& words, std::string_view separator);
std::string Lowercase(std::string text);

// A whole number for an option, or a usage error naming it.
std::int64_t WholeNumber(const std::string& what, const std::string& text);

// The configuration named by --config into configuration; false (after saying so) when it
// cannot be read.
bool LoadConfigurationOption(const Arguments& arguments, InstrumentConfiguration& configuration);

// Opens a record as File > Open does; false (after the refusal) when it was not loaded.
bool OpenRecord(ConsoleInstrument& console, const std::string& file, int scopeType);

// Runs an export writer to --output, or to a scratch file copied to stdout. The writer shows
// its own message when it fails.
int ExportTo(const Arguments& arguments, const std::function<bool(const std::filesystem::path&)>& write);

// Catches SIGINT and SIGTERM while alive, so that a device is stopped and closed cleanly.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    bool arrived() const;

private:
    struct sigaction oldInterrupt_ {};
    struct sigaction oldTerminate_ {};
};

// One option whose values are a selector list's names.
OptionForm SelectorOption(std::string name, Id id, std::string help);

extern const OptionForm kConfigOption;

// A row of the command table: the command's form and what runs it.
struct Command {
    CommandForm form;
    std::function<int(const Arguments&)> run;
};

}  // namespace tonewell::cli
