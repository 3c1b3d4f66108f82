// play: the generated signal on the sound output through the generator's Run/Stop.

#include "main/cli/Commands.h"

#include "generator/GeneratorOutput.h"
#include "main/cli/GeneratorOptions.h"
#include "platform/audio/AudioBackendSelection.h"

#include <charconv>

namespace tonewell::cli {
namespace {

// Seconds as a decimal number, for --seconds.
double SecondsOption(const std::string& text) {
    double seconds = -1;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || !(seconds >= 0) || seconds > 1e9)
        throw UsageError{"--seconds takes a number of seconds, not \"" + text + "\""};
    return seconds;
}

// How long past its length a sweep may run before the tool decides the device stopped playing.
constexpr auto kSweepGrace = std::chrono::seconds(10);

int RunPlay(const Arguments& arguments) {
    // From the first moment, so that a signal during the device's start still ends cleanly.
    StopSignals stopSignals;
    std::optional<double> limit;
    if (auto text = arguments.get("seconds")) limit = SecondsOption(*text);
    ConsoleInstrument console(std::cerr, {}, CreateAudioBackendFromEnvironment());
    Instrument& instrument = console.instrument;
    ToolShell& shell = console.shell;
    if (auto status = LoadGeneratorOptions(arguments, console)) return *status;

    GeneratorOutput& output = instrument.output;
    const bool sweep = instrument.generator.sweepEnabled;
    const bool durationZero = instrument.generator.sweepDuration == 0;
    const auto started = std::chrono::steady_clock::now();
    output.RunStop();
    if (!output.running()) {
        // The message (a device error's name, or why the settings cannot play) is out already;
        // a sweep duration of 0 is put right silently, so the tool says it.
        if (durationZero) return Refused(shell, "the sweep duration is 0 (now 1): nothing was played");
        return Refused(shell, "nothing was played");
    }
    const std::size_t shownAtStart = shell.messageCount();
    const auto sweepDeadline = started + std::chrono::seconds(instrument.generator.sweepDuration) + kSweepGrace;
    bool failed = false;
    while (output.running()) {
        shell.waitForWork(std::chrono::milliseconds(20));
        shell.runPosted();
        if (shell.takeSweepEnd()) output.OnSweepEndTimer();
        if (!output.running()) break;
        const auto now = std::chrono::steady_clock::now();
        const bool pastLimit = limit && std::chrono::duration<double>(now - started).count() >= *limit;
        if (shell.messageCount() != shownAtStart) {
            // A device error while playing: its name is out; stop and say so by the status.
            failed = true;
        } else if (sweep && now > sweepDeadline) {
            std::cerr << "tonewell-cli: the sweep did not end: the device stopped playing\n";
            failed = true;
        } else if (!stopSignals.arrived() && !pastLimit) {
            continue;
        }
        output.RunStop();
    }
    // A stop that failed has shown the device error's name.
    shell.runPosted();
    if (shell.messageCount() != shownAtStart) failed = true;
    const std::uint64_t underruns = output.underrunCount();
    std::cout << "backend=" << console.audio->displayName() << "\n"
              << "underruns=" << underruns << "\n";
    if (underruns > 0)
        std::cerr << "tonewell-cli: the output ran dry " << underruns << " time(s): the sound had gaps\n";
    return failed ? kExitRefused : kExitOk;
}

}  // namespace

Command PlayCommand() {
    return {{"play", "",
      "Plays the generated signal on the sound output through the generator's Run/Stop. The\n"
      "audio backend is the one TONEWELL_AUDIO chooses (portaudio or loopback; by default the\n"
      "sound card when it has an output device), the device the one TONEWELL_AUDIO_DEVICE names\n"
      "(default: the system's). A sweep stops by itself after its duration; a continuous signal\n"
      "plays until --seconds have passed, or until Ctrl+C or SIGTERM. The output is then reset\n"
      "and closed and backend= and underruns= lines are printed; gaps in the sound are also\n"
      "reported on stderr. A device error prints its name (MMSYSERR_BADDEVICEID, ...) on stderr\n"
      "and exits 1. Settings start from the built-in defaults, then the panel file, then each\n"
      "--set in order.",
      {{"panel", "FILE.psf", {}, false, "panel setting file whose generator settings to start from"},
       kConfigOption,
       {"tones", "FILE.tcf", {}, false, "tone configuration file for MultiTones"},
       {"library", "FILE.wfl", {}, false, "waveform library file for WFLibrary"},
       {"set", "FIELD=VALUE", {}, true,
        "a generator setting by name (waveformIndexA=Sine, sweepEnabled=1, sweepDuration=3, ...)"},
       {"seconds", "S", {}, false, "stop after S seconds (decimals allowed); default: the sweep's end or a signal"}}},
     RunPlay};
}

}  // namespace tonewell::cli
