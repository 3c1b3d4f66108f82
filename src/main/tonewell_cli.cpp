// tonewell-cli: the instrument without a screen. Reads its arguments, builds the instrument as
// the program does (with a console shell, and a loopback cable or, to play, the audio backend the
// environment chooses), then opens, generates, plays, records, analyses and exports through it.
//
// Exit status: 0 success, 1 the core refused the input or the device failed (its message on
// stderr), 2 bad arguments.

#include "acquisition/CaptureEngine.h"
#include "app/Instrument.h"
#include "app/InstrumentConfigurationFile.h"
#include "generator/GeneratorExport.h"
#include "generator/GeneratorOutput.h"
#include "generator/GeneratorSettingsFields.h"
#include "generator/GeneratorTables.h"
#include "generator/ToneFile.h"
#include "generator/WaveformLibraryFile.h"
#include "main/CliArguments.h"
#include "platform/ConsoleShell.h"
#include "platform/audio/AudioBackendSelection.h"
#include "platform/audio/LoopbackCable.h"
#include "scope/ScopeExport.h"
#include "spectrum/SpectrumAnalysis.h"
#include "spectrum/SpectrumExport.h"
#include "spectrum/SpectrumReadouts.h"
#ifdef TONEWELL_HAVE_PICTURES
#include "scope/qt/ScopePicture.h"
#include "spectrum/qt/SpectrumPicture.h"
#endif

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace tonewell {
namespace {

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
        instrument.startupStage = 1;
    }

    ToolShell shell;
    std::unique_ptr<AudioBackend> audio;
    Instrument instrument;
};

// A refusal the core said nothing about gets the tool's own line.
int Refused(const ToolShell& shell, const std::string& what) {
    if (shell.messageCount() == 0) std::cerr << "tonewell-cli: " << what << "\n";
    return kExitRefused;
}

// Shortest text that reads back as the same float.
std::string FloatText(float value) {
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// The names of a selector list, for an option's allowed values and its help.
std::vector<std::string> SelectorNames(Id id) {
    RangeTables tables;
    std::vector<std::string> names;
    for (std::string_view name : tables[id].names) names.emplace_back(name);
    return names;
}

// The values of a selector list as text.
std::vector<std::string> SelectorValueTexts(Id id) {
    RangeTables tables;
    std::vector<std::string> texts;
    for (std::int32_t value : tables[id].values) texts.push_back(std::to_string(value));
    return texts;
}

// The value of the row a name picks (the name was checked against the list's names).
std::int32_t SelectorValue(const RangeTables& tables, Id id, const std::string& name) {
    const RangeTable& table = tables[id];
    return table.value(table.rowNamed(name).value_or(table.defaultIndex)).value_or(0);
}

// The generator export's file types as extensions, in the rows of its filter ("Name|*.ext|"
// pairs), which are the values of ExportFileType.
std::vector<std::string> ExportExtensions() {
    std::vector<std::string> extensions;
    std::string_view filter = kExportFilter;
    for (;;) {
        std::size_t nameEnd = filter.find('|');
        if (nameEnd == std::string_view::npos) break;
        std::string_view rest = filter.substr(nameEnd + 1);
        std::size_t patternEnd = rest.find('|');
        std::string_view pattern = rest.substr(0, patternEnd);
        extensions.emplace_back(pattern.substr(pattern.find('.') + 1));
        if (patternEnd == std::string_view::npos) break;
        filter = rest.substr(patternEnd + 1);
    }
    return extensions;
}

std::string Joined(const std::vector<std::string>& words, std::string_view separator) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : std::string(separator)) + word;
    return text;
}

std::string Lowercase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The configuration named by --config into configuration; false (after saying so) when it
// cannot be read.
bool LoadConfigurationOption(const Arguments& arguments, InstrumentConfiguration& configuration) {
    auto path = arguments.get("config");
    if (!path || LoadInstrumentConfiguration(*path, configuration)) return true;
    std::cerr << "tonewell-cli: cannot read the configuration file " << *path << "\n";
    return false;
}

// Opens a record as File > Open does; false (after the refusal) when it was not loaded.
bool OpenRecord(ConsoleInstrument& console, const std::string& file, int scopeType) {
    if (console.instrument.document.OnOpenDocument(file, scopeType)) return true;
    Refused(console.shell, "cannot open " + file);
    return false;
}

// A scratch folder for exports that go to stdout; removed with the object.
class ScratchFolder {
public:
    ScratchFolder() {
        std::random_device random;
        for (;;) {
            path_ = std::filesystem::temp_directory_path() /
                    ("tonewell-cli-" + std::to_string(random()) + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(path_, error)) break;
            if (error) throw std::runtime_error("cannot create a temporary folder");
        }
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::filesystem::path file(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Runs an export writer to --output, or to a scratch file copied to stdout. The writer shows
// its own message when it fails.
int ExportTo(const Arguments& arguments, const std::function<bool(const std::filesystem::path&)>& write) {
    if (auto output = arguments.get("output")) return write(*output) ? kExitOk : kExitRefused;
    ScratchFolder scratch;
    auto path = scratch.file("export.txt");
    if (!write(path)) return kExitRefused;
    std::ifstream in(path, std::ios::binary);
    std::cout << in.rdbuf();
    std::cout.flush();
    return std::cout ? kExitOk : kExitRefused;
}

// ---- info -------------------------------------------------------------------------------

int RunInfo(const Arguments& arguments) {
    // The reader's messages belong to the listing, as message= lines.
    ConsoleInstrument console(std::cout, "message=");
    const CSignalDoc& document = console.instrument.document;
    if (!LoadConfigurationOption(arguments, console.instrument.configuration)) return kExitRefused;
    const int scopeType = std::stoi(arguments.get("scope-type").value_or("0"));
    if (!console.instrument.document.OnOpenDocument(arguments.file, scopeType)) {
        // A refusal goes to stderr as well, as with every other command.
        for (const std::string& message : console.shell.messages()) std::cerr << message << "\n";
        return Refused(console.shell, "cannot open " + arguments.file);
    }

    const bool holdsA = document.samplingType != kSamplingTypeB;
    const bool holdsB = document.samplingType != kSamplingTypeA;
    std::cout << "samplingType=" << int(document.samplingType) << "\n"
              << "channels=" << document.riffHeader.format.channels << "\n"
              << "samplesPerSec=" << document.riffHeader.format.samplesPerSecond << "\n"
              << "bitsPerSample=" << document.riffHeader.format.bitsPerSample << "\n"
              << "sampleCount=" << document.sampleCount << "\n"
              << "intervalMantissa=" << document.intervalMantissa << "\n"
              << "intervalExponent=" << int(document.intervalExponent) << "\n";
    if (holdsA)
        std::cout << "resolutionA=" << int(document.resolutionA) << "\n"
                  << "rangeMaxA=" << document.rangeMaxA << "\n"
                  << "rangeMinA=" << document.rangeMinA << "\n"
                  << "rangeExponentA=" << int(document.rangeExponentA) << "\n"
                  << "zeroA=" << document.zeroA << "\n";
    if (holdsB)
        std::cout << "resolutionB=" << int(document.resolutionB) << "\n"
                  << "rangeMaxB=" << document.rangeMaxB << "\n"
                  << "rangeMinB=" << document.rangeMinB << "\n"
                  << "rangeExponentB=" << int(document.rangeExponentB) << "\n"
                  << "zeroB=" << document.zeroB << "\n";
    std::cout << "note=" << document.notes << "\n";
    if (holdsA)
        std::cout << "maxA=" << FloatText(document.maxA) << "\n"
                  << "minA=" << FloatText(document.minA) << "\n"
                  << "meanA=" << FloatText(document.meanA) << "\n"
                  << "rmsA=" << FloatText(document.rmsA) << "\n";
    if (holdsB)
        std::cout << "maxB=" << FloatText(document.maxB) << "\n"
                  << "minB=" << FloatText(document.minB) << "\n"
                  << "meanB=" << FloatText(document.meanB) << "\n"
                  << "rmsB=" << FloatText(document.rmsB) << "\n";
    std::cout << "dcOffsetCodesA=" << document.dcOffsets.dcOffsetCodesA << "\n"
              << "dcOffsetCodesB=" << document.dcOffsets.dcOffsetCodesB << "\n";
    return kExitOk;
}

// ---- scope-export ---------------------------------------------------------------------------

int RunScopeExport(const Arguments& arguments) {
    ConsoleInstrument console;
    if (!OpenRecord(console, arguments.file, kScopeTypeSeparate)) return kExitRefused;
    return ExportTo(arguments, [&](const std::filesystem::path& path) {
        return WriteScopeExport(console.shell, path, console.instrument.document);
    });
}

// ---- render ---------------------------------------------------------------------------------

#ifdef TONEWELL_HAVE_PICTURES
constexpr const char* kDefaultPictureSize = "960x600";

// "WIDTHxHEIGHT", each 1..16384 pixels.
QSize PictureSize(const std::string& text) {
    int width = 0, height = 0;
    const char* end = text.data() + text.size();
    auto [afterWidth, widthError] = std::from_chars(text.data(), end, width);
    bool good = widthError == std::errc() && afterWidth != end && (*afterWidth == 'x' || *afterWidth == 'X');
    if (good) {
        auto [afterHeight, heightError] = std::from_chars(afterWidth + 1, end, height);
        good = heightError == std::errc() && afterHeight == end;
    }
    if (!good || width < 1 || height < 1 || width > 16384 || height > 16384)
        throw UsageError{"--size takes WIDTHxHEIGHT, each 1 to 16384 pixels, not \"" + text + "\""};
    return {width, height};
}

// The options that belong to one view only.
const std::vector<std::string> kScopeRenderOptions{"scope-type"};
const std::vector<std::string> kSpectrumRenderOptions{"type", "fft", "window", "xscale", "yscale", "normalized"};

// The user picks a list's row by its name, as on the spectrum bars; false when the list does not
// offer it.
bool PickRow(ListControl& list, const std::string& name) {
    const auto& items = list.items();
    const auto found = std::find(items.begin(), items.end(), name);
    if (found == items.end() || !list.operable()) return false;
    list.userSelect(static_cast<int>(found - items.begin()));
    return true;
}

// The spectrum view of the record, from the panel's choices or the program's defaults for a record
// opened while it runs, then the options picked as on the bars and in the axis dialogs.
int RenderSpectrum(const Arguments& arguments, ConsoleInstrument& console, bool fromPanel, QSize size) {
    Instrument& instrument = console.instrument;
    CSpectrumView& spectrum = instrument.spectrum;
    instrument.startupStage = fromPanel ? 0 : 2;
    const std::size_t shownBefore = console.shell.messageCount();
    spectrum.OnInitialUpdate();
    SpectrumSelectors& bars = instrument.panel.spectrum;
    // N first, so that a correlation's default lag range fits the N asked for.
    if (auto fft = arguments.get("fft")) PickRow(bars.fftPoints, *fft);
    if (auto type = arguments.get("type"); type && !PickRow(bars.type, *type)) {
        std::cerr << "tonewell-cli: spectrum type " << *type << " needs a record of channels A and B\n";
        return kExitRefused;
    }
    // The list a type other than AMS holds at "REC" takes no other window.
    if (auto window = arguments.get("window"); window && bars.window.text() != *window && !PickRow(bars.window, *window)) {
        std::cerr << "tonewell-cli: the window function applies to the amplitude spectrum (AMS) only\n";
        return kExitRefused;
    }
    SpectrumScaleModes modes = spectrum.scaleModes();
    if (auto x = arguments.get("xscale")) modes.xScale = *x == "log" ? SpectrumXScale::Log : SpectrumXScale::Linear;
    if (auto y = arguments.get("yscale")) modes.yScale = *y == "db" ? SpectrumYScale::Db : SpectrumYScale::Volt;
    if (auto normalized = arguments.get("normalized")) modes.normalized = *normalized == "on";
    spectrum.setScaleModes(modes);
    // Out of memory for the transform: the view has shown why.
    if (console.shell.messageCount() != shownBefore) return kExitRefused;
    if (!WriteSpectrumPicture(spectrum, *arguments.get("output"), size)) {
        std::cerr << "tonewell-cli: cannot write " << *arguments.get("output") << "\n";
        return kExitRefused;
    }
    return kExitOk;
}

int RunRender(const Arguments& arguments) {
    const QSize size = PictureSize(arguments.get("size").value_or(kDefaultPictureSize));
    const bool spectrumView = arguments.get("view") == "spectrum";
    for (const std::string& option : spectrumView ? kScopeRenderOptions : kSpectrumRenderOptions)
        if (arguments.get(option))
            throw UsageError{"--" + option + " is for --view " + (spectrumView ? "scope" : "spectrum")};
    ConsoleInstrument console;
    Instrument& instrument = console.instrument;
    if (!LoadConfigurationOption(arguments, instrument.configuration)) return kExitRefused;
    const auto panelPath = arguments.get("panel");
    if (panelPath) {
        if (!instrument.panel.loadPanel(*panelPath)) return Refused(console.shell, "cannot read " + *panelPath);
        instrument.panel.createBars();
        instrument.effects.takeScopeTimeRange();
    }
    if (spectrumView) {
        const int panelType = instrument.tables[Id::ScopeType].defaultIndex;
        if (!OpenRecord(console, arguments.file, panelPath ? panelType : kScopeTypeSeparate)) return kExitRefused;
        return RenderSpectrum(arguments, console, panelPath.has_value(), size);
    }
    const auto typeOption = arguments.get("scope-type");
    const int panelType = instrument.tables[Id::ScopeType].defaultIndex;
    const int type = typeOption ? std::stoi(*typeOption) : (panelPath ? panelType : kScopeTypeSeparate);
    if (!OpenRecord(console, arguments.file, type)) return kExitRefused;

    // The view's first update for the record: with a panel its selectors stay, as for a record
    // opened after Load Panel Setting; without one the view fits itself to the record, as for
    // any record opened while the program runs.
    CScopeView& scope = instrument.scope;
    instrument.startupStage = panelPath ? 0 : 2;
    scope.OnInitialUpdate();
    if (type != scope.scopeType()) {
        // Through the type list, as the user picks it.
        instrument.panel.scope.type.userSelect(type);
        if (type != scope.scopeType()) {
            std::cerr << "tonewell-cli: oscilloscope type " << type << " needs a record of channels A and B\n";
            return kExitRefused;
        }
    }
    if (!WriteScopePicture(scope, *arguments.get("output"), size)) {
        std::cerr << "tonewell-cli: cannot write " << *arguments.get("output") << "\n";
        return kExitRefused;
    }
    return kExitOk;
}
#endif

// ---- spectrum -------------------------------------------------------------------------------

int RunSpectrum(const Arguments& arguments) {
    ConsoleInstrument console;
    Instrument& instrument = console.instrument;
    const CSignalDoc& document = instrument.document;
    if (!LoadConfigurationOption(arguments, instrument.configuration)) return kExitRefused;
    if (!OpenRecord(console, arguments.file, kScopeTypeSeparate)) return kExitRefused;

    const RangeTables& tables = instrument.tables;
    const auto type = static_cast<SpectrumType>(SelectorValue(tables, Id::SpectrumType, arguments.get("type").value_or("AMS")));
    const int fftSize = SelectorValue(tables, Id::FftPoints, arguments.get("fft").value_or("512"));
    const auto window = static_cast<WindowType>(SelectorValue(tables, Id::WindowFunction, arguments.get("window").value_or("REC")));
    bool removeDc = instrument.configuration.removeDcInSpectrum;
    if (auto dc = arguments.get("dc")) removeDc = *dc == "on";

    // Anything the analysis shows is a refusal.
    const std::size_t shownBefore = console.shell.messageCount();
    SpectrumAnalysis analysis(console.shell);
    if (!analysis.setFftSize(fftSize)) return kExitRefused;
    analysis.setSpectrumType(type);
    analysis.setWindowType(window);
    // Every channel the record holds is switched on; the cross-correlation is channel A's.
    const bool showA = type == SpectrumType::CrossCorrelation || document.samplingType != kSamplingTypeB;
    const bool showB = type != SpectrumType::CrossCorrelation && document.samplingType != kSamplingTypeA;
    analysis.UpdateSpectra(document, document.dcOffsets, showA, showB, removeDc);
    if (console.shell.messageCount() != shownBefore) return kExitRefused;

    int status = ExportTo(arguments, [&](const std::filesystem::path& path) {
        return WriteSpectrumExport(console.shell, path, document, analysis);
    });
    if (status == kExitOk)
        for (const std::string& readout : SpectrumPeakReadouts(analysis, showA, showB)) std::cerr << readout << "\n";
    return status;
}

// ---- generate -------------------------------------------------------------------------------

// --format, else the output's extension; a file type the export does not know is a WAV file.
ExportFileType ExportType(const Arguments& arguments, const std::string& output) {
    const std::vector<std::string> extensions = ExportExtensions();
    std::string extension = Lowercase(std::filesystem::path(output).extension().string());
    if (!extension.empty()) extension.erase(0, 1);
    std::string wanted = arguments.get("format").value_or(extension);
    auto found = std::find(extensions.begin(), extensions.end(), wanted);
    return found == extensions.end() ? ExportFileType::Wave : static_cast<ExportFileType>(found - extensions.begin());
}

// The generator's inputs of generate and play: the panel (with the library it names), the tone
// file, the library and the --set fields in order. An exit status when they cannot be read; bad
// fields are argument errors.
std::optional<int> LoadGeneratorOptions(const Arguments& arguments, ConsoleInstrument& console) {
    Instrument& instrument = console.instrument;
    ToolShell& shell = console.shell;
    if (!LoadConfigurationOption(arguments, instrument.configuration)) return kExitRefused;
    auto libraryPath = arguments.get("library");
    if (auto panelPath = arguments.get("panel")) {
        if (!instrument.panel.loadPanel(*panelPath)) return Refused(shell, "cannot read " + *panelPath);
        // As at start-up: a library panel brings the library it names.
        if (WaveformCode(instrument.generator, 0) == kWaveformLibrary && !instrument.toneFilePath.empty() &&
            !libraryPath &&
            !LoadLibrary(instrument.toneFilePath, instrument.library, instrument.toneFilePath, shell))
            return kExitRefused;
    }
    if (auto tones = arguments.get("tones"))
        if (!ReadToneFile(*tones, instrument.toneLists, instrument.toneFilePath, shell))
            return Refused(shell, "cannot read " + *tones);
    if (libraryPath && !LoadLibrary(*libraryPath, instrument.library, instrument.toneFilePath, shell))
        return Refused(shell, "cannot read " + *libraryPath);
    for (const std::string& assignment : arguments.all("set")) {
        auto equals = assignment.find('=');
        std::string problem = equals == std::string::npos
                                  ? "--set takes FIELD=VALUE, not \"" + assignment + "\""
                                  : SetGeneratorSettingsField(instrument.generator, assignment.substr(0, equals),
                                                              assignment.substr(equals + 1));
        if (!problem.empty()) throw UsageError{problem};
    }
    return std::nullopt;
}

int RunGenerate(const Arguments& arguments) {
    ConsoleInstrument console;
    Instrument& instrument = console.instrument;
    if (auto status = LoadGeneratorOptions(arguments, console)) return *status;

    std::uint32_t seconds = instrument.generator.sweepEnabled ? instrument.generator.sweepDuration : 1;
    if (auto duration = arguments.get("duration")) {
        auto [end, error] = std::from_chars(duration->data(), duration->data() + duration->size(), seconds);
        if (error != std::errc() || end != duration->data() + duration->size())
            throw UsageError{"--duration takes whole seconds, not \"" + *duration + "\""};
    }
    const std::string output = *arguments.get("output");
    const ExportFileType type = ExportType(arguments, output);
    // The generator's Save: the output's start sequence in export mode.
    ExportOutcome outcome = instrument.output.exportSignal(ExportFileName(output, type), type, seconds);
    return outcome == ExportOutcome::Written ? kExitOk : kExitRefused;
}

// ---- play -----------------------------------------------------------------------------------

// The signal that asked the tool to stop (SIGINT or SIGTERM), 0 while none came.
volatile std::sig_atomic_t gStopSignal = 0;

extern "C" void OnStopSignal(int signal) { gStopSignal = signal; }

// Catches SIGINT and SIGTERM while alive, so that the output is stopped and closed cleanly.
class StopSignals {
public:
    StopSignals() {
        gStopSignal = 0;
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &oldInterrupt_);
        sigaction(SIGTERM, &action, &oldTerminate_);
    }
    ~StopSignals() {
        sigaction(SIGINT, &oldInterrupt_, nullptr);
        sigaction(SIGTERM, &oldTerminate_, nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    bool arrived() const { return gStopSignal != 0; }

private:
    struct sigaction oldInterrupt_ {};
    struct sigaction oldTerminate_ {};
};

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

// ---- record ---------------------------------------------------------------------------------

// The keys of record's --set: each names a control of the sampling or trigger bar.
constexpr const char* kRecordKeys =
    "samplingRate, channels, resolution, recordLength, triggerMode, triggerSource, triggerEdge, "
    "triggerLevel, triggerDelay";

// A whole number for an option, or a usage error naming it.
std::int64_t WholeNumber(const std::string& what, const std::string& text) {
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        throw UsageError{what + " takes a whole number, not \"" + text + "\""};
    return value;
}

// One --set KEY=VALUE of record, read against the bars' lists: the row to select, or the text
// for the box.
struct RecordSetting {
    std::string key;
    int row = -1;
    std::string text;
};

// The row of a list that shows `value` (or, for lists of numbers, whose value it is).
int RowShowing(const RangeTables& tables, Id id, const std::string& key, const std::string& value) {
    const RangeTable& table = tables[id];
    std::optional<int> row = table.rowNamed(value);
    for (int r = 0; !row && r < static_cast<int>(table.values.size()); ++r)
        if (std::to_string(table.values[static_cast<std::size_t>(r)]) == value) row = r;
    if (!row) throw UsageError{key + " must be one of " + Joined(SelectorNames(id), ", ") + ", not \"" + value + "\""};
    return *row;
}

// The lists of the keys that name one.
std::optional<Id> RecordKeyList(const std::string& key) {
    if (key == "samplingRate") return Id::SamplingFrequency;
    if (key == "channels") return Id::SamplingChannels;
    if (key == "resolution") return Id::SamplingResolution;
    if (key == "triggerMode") return Id::TriggerMode;
    if (key == "triggerSource") return Id::TriggerSource;
    if (key == "triggerEdge") return Id::TriggerEdge;
    return std::nullopt;
}

// In the toolbar's words: the lists' names ("48000H", "A&B", "16B", "Repeat", "B", "Dn"), the
// record length "Point" as a number of samples, the level and delay as percentages (clamped to
// -100..100 as the spin buttons do).
RecordSetting ReadRecordKey(const RangeTables& tables, const std::string& assignment) {
    const auto equals = assignment.find('=');
    if (equals == std::string::npos) throw UsageError{"--set takes KEY=VALUE, not \"" + assignment + "\""};
    RecordSetting setting;
    setting.key = assignment.substr(0, equals);
    const std::string value = assignment.substr(equals + 1);
    if (auto list = RecordKeyList(setting.key)) {
        setting.row = RowShowing(tables, *list, setting.key, value);
    } else if (setting.key == "recordLength") {
        setting.text = std::to_string(WholeNumber(setting.key, value));
    } else if (setting.key == "triggerLevel" || setting.key == "triggerDelay") {
        std::string number = value;
        if (!number.empty() && number.back() == '%') number.pop_back();
        setting.text = std::to_string(std::clamp<std::int64_t>(WholeNumber(setting.key, number), -100, 100)) + "%";
    } else {
        throw UsageError{"--set takes one of " + std::string(kRecordKeys) + ", not \"" + setting.key + "\""};
    }
    return setting;
}

// Into the sampling and trigger bars, as the user leaves them; capture reads them when it starts.
void ApplyRecordSetting(FrontPanel& panel, const RecordSetting& setting) {
    const std::string& key = setting.key;
    ListControl* list = key == "samplingRate"    ? &panel.sampling.frequency
                        : key == "channels"      ? &panel.sampling.channels
                        : key == "resolution"    ? &panel.sampling.resolution
                        : key == "triggerMode"   ? &panel.trigger.mode
                        : key == "triggerSource" ? &panel.trigger.source
                        : key == "triggerEdge"   ? &panel.trigger.edge
                                                 : nullptr;
    if (list) list->setSelection(setting.row);
    else if (key == "recordLength") panel.sampling.point.setText(setting.text);
    else if (key == "triggerLevel") panel.trigger.level.setText(setting.text);
    else if (key == "triggerDelay") panel.trigger.delay.setText(setting.text);
}

int RunRecord(const Arguments& arguments) {
    StopSignals stopSignals;
    const std::int64_t wanted = WholeNumber("--records", arguments.get("records").value_or("1"));
    if (wanted < 1) throw UsageError{"--records takes a number of records from 1 on"};
    double timeout = 10;
    if (auto text = arguments.get("timeout")) {
        auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), timeout);
        if (error != std::errc() || end != text->data() + text->size() || !(timeout > 0) || timeout > 1e6)
            throw UsageError{"--timeout takes a number of seconds above 0, not \"" + *text + "\""};
    }
    const std::string output = *arguments.get("output");
    std::vector<RecordSetting> settings;
    {
        const RangeTables tables;
        for (const std::string& assignment : arguments.all("set")) settings.push_back(ReadRecordKey(tables, assignment));
    }

    ConsoleInstrument console(std::cerr, {}, CreateAudioBackendFromEnvironment());
    Instrument& instrument = console.instrument;
    ToolShell& shell = console.shell;
    if (!LoadConfigurationOption(arguments, instrument.configuration)) return kExitRefused;
    if (auto panelPath = arguments.get("panel")) {
        if (!instrument.panel.loadPanel(*panelPath)) return Refused(shell, "cannot read " + *panelPath);
        instrument.panel.createBars();
        instrument.effects.takeScopeTimeRange();
    }
    for (const RecordSetting& setting : settings) ApplyRecordSetting(instrument.panel, setting);
    // The bar offers source B only while both channels are sampled.
    if (!instrument.panel.sampling.bothChannels(instrument.tables) &&
        instrument.tables[Id::TriggerSource].value(instrument.panel.trigger.source.selection()) == 1)
        throw UsageError{"triggerSource=B needs channels=A&B"};

    HeadlessCaptureHooks headless(instrument.captureLink);
    CaptureEngine& capture = instrument.capture;
    capture.attachHooks(&headless);
    capture.startClickPause = std::chrono::milliseconds(0);
    const std::atomic<bool>& running = instrument.run.inputRunning;

    const std::size_t shownAtStart = shell.messageCount();
    const auto started = std::chrono::steady_clock::now();
    const auto deadline = started + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                        std::chrono::duration<double>(timeout));
    capture.RunStop();
    if (!running || shell.messageCount() != shownAtStart) {
        // A device error's name or the refusal of the record length is out already.
        if (running) capture.RunStop();
        return Refused(shell, "capture did not start");
    }

    // The tool is the main frame: timer 1 every 30 ms, timer 3 through the posted work.
    constexpr auto kReleasePeriod = std::chrono::milliseconds(kRecordReleaseMilliseconds);
    auto nextRelease = started + kReleasePeriod;
    std::uint64_t overruns = 0;
    std::string failure;
    while (capture.recordsHandedOver() < static_cast<std::uint64_t>(wanted)) {
        shell.waitForWork(std::chrono::milliseconds(10));
        shell.runPosted();
        const auto now = std::chrono::steady_clock::now();
        if (now >= nextRelease) {
            capture.OnRecordRelease();
            nextRelease = now + kReleasePeriod;
        }
        if (shell.messageCount() != shownAtStart) {
            failure = "the input device failed";
            break;
        }
        if (capture.recordsHandedOver() >= static_cast<std::uint64_t>(wanted)) break;
        if (!running) {
            // "Single" stops after each record: start again for the next.
            overruns += capture.overrunCount();
            capture.RunStop();
            if (!running || shell.messageCount() != shownAtStart) {
                failure = "capture did not start again";
                break;
            }
        }
        if (stopSignals.arrived()) {
            failure = "interrupted";
            break;
        }
        if (now >= deadline) {
            const std::uint64_t got = capture.recordsHandedOver();
            failure = got == 0 ? "no trigger within " + FloatText(static_cast<float>(timeout)) + " s: nothing recorded"
                               : "only " + std::to_string(got) + " of " + std::to_string(wanted) + " records within " +
                                     FloatText(static_cast<float>(timeout)) + " s";
            break;
        }
    }
    if (running) capture.RunStop();
    overruns += capture.overrunCount();
    shell.runPosted();
    if (failure.empty() && shell.messageCount() != shownAtStart) failure = "the input device failed";

    std::cout << "backend=" << console.audio->displayName() << "\n"
              << "records=" << capture.recordsHandedOver() << "\n"
              << "overruns=" << overruns << "\n";
    if (overruns > 0)
        std::cerr << "tonewell-cli: the input lost sound " << overruns << " time(s) (overruns): a record may have gaps\n";
    if (!failure.empty()) {
        std::cerr << "tonewell-cli: " << failure << "\n";
        return kExitRefused;
    }
    // File Save: the record with its IBIN block and note, written safely.
    return instrument.document.OnSaveDocument(output) ? kExitOk : kExitRefused;
}

// ---- the command table ---------------------------------------------------------------------

struct Command {
    CommandForm form;
    std::function<int(const Arguments&)> run;
};

// One option whose values are a selector list's names.
OptionForm SelectorOption(std::string name, Id id, std::string help) {
    std::vector<std::string> names = SelectorNames(id);
    return {std::move(name), Joined(names, "|"), names, false, std::move(help)};
}

const OptionForm kConfigOption{"config", "Vorel.cfg", {}, false,
                               "instrument configuration (calibration, DC removal) to use"};

std::vector<Command> Commands() {
    const std::vector<std::string> scopeTypes = SelectorValueTexts(Id::ScopeType);
    const std::vector<std::string> exportTypes = ExportExtensions();
    OptionForm fft = SelectorOption("fft", Id::FftPoints, "FFT points (default 512)");
    fft.argument = "N";
    return {
        {{"info", "FILE.wav",
          "Opens a WAV record as File > Open does and prints its format, ranges, note and\n"
          "statistics as key=value lines; every message the reader showed is a message= line.",
          {{"scope-type", Joined(scopeTypes, "|"), scopeTypes, false,
            "oscilloscope type the statistics are computed for: 0 A and B, 1 A+B, 2 A-B, 3 X-Y"},
           kConfigOption}},
         RunInfo},
        {{"generate", "",
          "Writes the generated signal exactly as the generator's Save does: a WAV file or a text\n"
          "table in volts. Settings start from the built-in defaults, then the panel file, then\n"
          "each --set in order.",
          {{"output", "FILE", {}, false, "file to write (required)", true},
           {"format", Joined(exportTypes, "|"), exportTypes, false,
            "file type; otherwise from the extension (.txt: text)"},
           {"duration", "SECONDS", {}, false, "length; default the sweep duration when sweeping, else 1"},
           {"panel", "FILE.psf", {}, false, "panel setting file whose generator settings to start from"},
           kConfigOption,
           {"tones", "FILE.tcf", {}, false, "tone configuration file for MultiTones"},
           {"library", "FILE.wfl", {}, false, "waveform library file for WFLibrary"},
           {"set", "FIELD=VALUE", {}, true,
            "a generator setting by name (waveformIndexA=Sine, frequencyA=440, sweepEnabled=1, ...)"}}},
         RunGenerate},
        {{"play", "",
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
         RunPlay},
        {{"record", "",
          "Captures from the sound input as \"Run/Stop monitoring input\" does, with the sampling\n"
          "and trigger settings of the panel file and the --set keys, waits for --records records\n"
          "and saves the last exactly as File Save does. The backend is chosen as for play. Prints\n"
          "backend=, records= and overruns= lines; sound the input lost is also reported on\n"
          "stderr. Exits 1 when no trigger (or too few) arrived within --timeout seconds, and on a\n"
          "device error, whose name (MMSYSERR_BADDEVICEID, ...) is printed on stderr.",
          {{"output", "FILE.wav", {}, false, "record file to write (required)", true},
           {"panel", "FILE.psf", {}, false, "panel setting file whose sampling and trigger bars to start from"},
           kConfigOption,
           {"set", "KEY=VALUE", {}, true,
            std::string("a bar's setting in its own words: ") + kRecordKeys +
                " (samplingRate=48000H, channels=A&B, resolution=16B, recordLength=4800, triggerMode=Repeat, "
                "triggerSource=A, triggerEdge=Up, triggerLevel=0, triggerDelay=-50)"},
           {"records", "K", {}, false, "records to wait for (default 1); the last is saved"},
           {"timeout", "S", {}, false, "seconds to wait for them (default 10)"}}},
         RunRecord},
        {{"spectrum", "FILE.wav",
          "Computes the spectrum view's result with every channel of the record switched on (CCR:\n"
          "channel A), writes the spectrum export text and prints the peak readouts on stderr.",
          {SelectorOption("type", Id::SpectrumType, "spectrum type (default AMS)"), fft,
           SelectorOption("window", Id::WindowFunction, "window function (default REC)"),
           {"dc", "on|off", {"on", "off"}, false, "remove the DC component (default: as the configuration says)"},
           kConfigOption,
           {"output", "FILE.txt", {}, false, "file to write; default stdout"}}},
         RunSpectrum},
        {{"scope-export", "FILE.wav", "Writes the oscilloscope export text of a record.",
          {{"output", "FILE.txt", {}, false, "file to write; default stdout"}}},
         RunScopeExport},
#ifdef TONEWELL_HAVE_PICTURES
        {{"render", "FILE.wav",
          "Draws a view of a record as the program shows it and writes the picture as PNG; no\n"
          "display is needed. Without --panel the oscilloscope fits its ranges to the record and the\n"
          "spectrum view starts from its defaults, as for a record opened while the program runs;\n"
          "with it the panel's selections are used. The spectrum options then act as picking them\n"
          "on the spectrum bars and in the axis scale dialogs.",
          {{"view", "scope|spectrum", {"scope", "spectrum"}, false, "the view to draw", true},
           {"output", "FILE.png", {}, false, "picture to write (required)", true},
           {"size", "WxH", {}, false, std::string("picture size in pixels (default ") + kDefaultPictureSize + ")"},
           {"panel", "FILE.psf", {}, false, "panel setting file whose selections to draw with"},
           kConfigOption,
           {"scope-type", Joined(scopeTypes, "|"), scopeTypes, false,
            "oscilloscope type: 0 A and B, 1 A+B, 2 A-B, 3 X-Y (default: the panel's, else 0)"},
           SelectorOption("type", Id::SpectrumType, "spectrum type (default: the panel's, else AMS)"),
           [&] {
               OptionForm panelFft = fft;
               panelFft.help = "FFT points (default: the panel's, else 512)";
               return panelFft;
           }(),
           SelectorOption("window", Id::WindowFunction, "window function, AMS only (default: the panel's, else REC)"),
           {"xscale", "lin|log", {"lin", "log"}, false, "frequency axis of AMS (default: the panel's, else lin)"},
           {"yscale", "volt|db", {"volt", "db"}, false, "amplitude axis of AMS (default: the panel's, else volt)"},
           {"normalized", "on|off", {"on", "off"}, false,
            "AMS amplitudes as a fraction of each channel's peak (default: the panel's, else on)"}}},
         RunRender},
#endif
    };
}

int Run(int argc, char** argv) {
    const std::vector<Command> table = Commands();
    std::vector<CommandForm> forms;
    for (const Command& command : table) forms.push_back(command.form);
    std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        PrintGeneralHelp(std::cout, forms);
        return kExitUsage;
    }
    if (words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
        PrintGeneralHelp(std::cout, forms);
        return kExitOk;
    }
    for (const Command& command : table) {
        if (command.form.name != words[0]) continue;
        std::vector<std::string> rest(words.begin() + 1, words.end());
        if (AsksForHelp(rest)) {
            PrintCommandHelp(std::cout, command.form);
            return kExitOk;
        }
        try {
            return command.run(ParseArguments(command.form, rest));
        } catch (const UsageError& error) {
            std::cerr << "tonewell-cli: " << error.text << "\n" << UsageLine(command.form) << "\n";
            return kExitUsage;
        }
    }
    std::cerr << "tonewell-cli: unknown command \"" << words[0] << "\"\n";
    PrintGeneralHelp(std::cout, forms);
    return kExitUsage;
}

}  // namespace
}  // namespace tonewell

int main(int argc, char** argv) { return tonewell::Run(argc, argv); }
