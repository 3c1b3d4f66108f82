// tonewell-cli: the instrument without a screen. Reads its arguments, then opens, generates,
// analyses and exports through the same core as the program.
//
// Exit status: 0 success, 1 the core refused the input (its message on stderr), 2 bad arguments.

#include "acquisition/SignalDoc.h"
#include "app/InstrumentConfigurationFile.h"
#include "app/FrontPanel.h"
#include "app/PanelEffects.h"
#include "app/PanelSetting.h"
#include "shared/RangeTables.h"
#include "generator/GeneratorExport.h"
#include "generator/GeneratorSettingsFields.h"
#include "generator/ToneFile.h"
#include "generator/WaveformLibraryFile.h"
#include "platform/RecordingShell.h"
#include "scope/ScopeExport.h"
#include "spectrum/SpectrumAnalysis.h"
#include "spectrum/SpectrumExport.h"
#include "spectrum/SpectrumReadouts.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include <charconv>
#include <cstdio>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tonewell {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;

struct OptionForm {
    std::string name;                  // without "--"
    std::string argument;              // shown in help; empty: a switch without a value
    std::vector<std::string> choices;  // allowed values; empty: any
    bool repeatable = false;
    std::string help;
};

struct CommandForm {
    std::string name;
    std::string positional;  // e.g. "FILE.wav"; empty: none
    std::string summary;
    std::vector<OptionForm> options;
};

struct Arguments {
    std::string file;
    std::map<std::string, std::vector<std::string>> values;

    std::optional<std::string> get(const std::string& name) const {
        auto found = values.find(name);
        if (found == values.end() || found->second.empty()) return std::nullopt;
        return found->second.back();
    }
    const std::vector<std::string>& all(const std::string& name) const {
        static const std::vector<std::string> none;
        auto found = values.find(name);
        return found == values.end() ? none : found->second;
    }
};

struct UsageError {
    std::string text;
};

std::string usageLine(const CommandForm& command) {
    std::string line = "usage: tonewell-cli " + command.name;
    if (!command.positional.empty()) line += " " + command.positional;
    for (const OptionForm& option : command.options) {
        line += " [--" + option.name;
        if (!option.argument.empty()) line += " " + option.argument;
        line += "]";
        if (option.repeatable) line += "...";
    }
    return line;
}

void printCommandHelp(const CommandForm& command) {
    std::cout << usageLine(command) << "\n\n" << command.summary << "\n";
    if (!command.options.empty()) std::cout << "\noptions:\n";
    for (const OptionForm& option : command.options) {
        std::string head = "  --" + option.name + (option.argument.empty() ? "" : " " + option.argument);
        std::cout << head;
        if (head.size() < 28) std::cout << std::string(28 - head.size(), ' ');
        else std::cout << "\n" << std::string(28, ' ');
        std::cout << option.help << "\n";
    }
}

// Parses "COMMAND FILE --opt value --opt=value ..." against the command's options.
Arguments parseArguments(const CommandForm& command, const std::vector<std::string>& words) {
    Arguments parsed;
    bool haveFile = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.rfind("--", 0) == 0 && word.size() > 2) {
            std::string name = word.substr(2);
            std::optional<std::string> value;
            if (auto equals = name.find('='); equals != std::string::npos) {
                value = name.substr(equals + 1);
                name.resize(equals);
            }
            const OptionForm* declared = nullptr;
            for (const OptionForm& option : command.options)
                if (option.name == name) declared = &option;
            if (declared == nullptr) throw UsageError{"unknown option --" + name};
            if (declared->argument.empty()) {
                if (value) throw UsageError{"--" + name + " takes no value"};
                value = "1";
            } else if (!value) {
                if (i + 1 >= words.size()) throw UsageError{"--" + name + " needs " + declared->argument};
                value = words[++i];
            }
            if (!declared->choices.empty()) {
                bool known = false;
                for (const std::string& choice : declared->choices) known = known || choice == *value;
                if (!known) {
                    std::string list;
                    for (const std::string& choice : declared->choices) list += (list.empty() ? "" : ", ") + choice;
                    throw UsageError{"--" + name + " must be one of " + list + ", not \"" + *value + "\""};
                }
            }
            if (!declared->repeatable && parsed.values.count(name))
                throw UsageError{"--" + name + " given twice"};
            parsed.values[name].push_back(*value);
        } else if (!command.positional.empty() && !haveFile) {
            parsed.file = word;
            haveFile = true;
        } else {
            throw UsageError{"unexpected argument \"" + word + "\""};
        }
    }
    if (!command.positional.empty() && !haveFile) throw UsageError{"missing " + command.positional};
    if (command.name == "generate" && !parsed.values.count("output")) throw UsageError{"missing --output FILE"};
    return parsed;
}

// Shortest text that reads back as the same float.
std::string floatText(float value) {
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// A shell for a program without a screen: messages are kept in order for the caller to print.
struct CliShell : RecordingShell {};

// Reads the configuration named by --config into configuration; false (after the message) when
// it cannot be read.
bool loadConfiguration(const Arguments& arguments, InstrumentConfiguration& configuration) {
    auto path = arguments.get("config");
    if (!path) return true;
    if (!LoadInstrumentConfiguration(*path, configuration)) {
        std::cerr << "tonewell-cli: cannot read the configuration file " << *path << "\n";
        return false;
    }
    return true;
}

// The frame of a program without panes: nothing to draw or to restart.
class HeadlessFrame : public PanelEffects {
public:
    explicit HeadlessFrame(const RangeTables& tables) : tables_(tables) {}
    RangeCode ScopeTimeRange() const override {
        const RangeTable& table = tables_[RangeTableId::ScopeTimeRange];
        return table.code(table.defaultIndex).value_or(RangeCode());
    }
    void ConfigureDocumentFormat() override {}
    void ApplyScopeRanges() override {}
    void AdaptViewToolbars() override {}
    void RestartCaptureIfRunning() override {}
    void RedrawAllViews() override {}
    PaneFlags Panes() const override { return {}; }
    std::optional<SpectrumScales> ShownSpectrumScales() const override { return std::nullopt; }
    void ApplyViewVisibility() override {}

private:
    const RangeTables& tables_;
};

// The document with the front panel that follows an opened file, as in the program, so that
// opening gives the same messages.
struct HeadlessInstrument {
    explicit HeadlessInstrument(const InstrumentConfiguration& configuration)
        : configuration(configuration),
          document(shell, this->configuration, inputRunning, FreshDocumentSelection{}),
          frame(tables),
          panel(PanelHomes{tables, acquisition, generator, toneFilePath, startupStage}, document, frame, shell) {
        SetGeneratorDefaults(generator);
        panel.createBars();
        document.SetFrameHooks(&panel);
    }

    InstrumentConfiguration configuration;
    CliShell shell;
    std::atomic<bool> inputRunning{false};
    CSignalDoc document;
    RangeTables tables;
    AcquisitionParameters acquisition;
    GeneratorSettings generator;
    std::string toneFilePath;
    int startupStage = 1;
    HeadlessFrame frame;
    FrontPanel panel;
};

// ---- info -------------------------------------------------------------------------------

int runInfo(const Arguments& arguments) {
    InstrumentConfiguration configuration;
    if (!loadConfiguration(arguments, configuration)) return kExitRefused;
    int scopeType = std::stoi(arguments.get("scope-type").value_or("0"));

    HeadlessInstrument instrument(configuration);
    CliShell& shell = instrument.shell;
    CSignalDoc& document = instrument.document;
    bool loaded = document.OnOpenDocument(arguments.file, scopeType);

    for (const std::string& message : shell.messages()) std::cout << "message=" << message << "\n";
    if (!loaded) {
        for (const std::string& message : shell.messages()) std::cerr << message << "\n";
        if (shell.messages().empty()) std::cerr << "tonewell-cli: cannot open " << arguments.file << "\n";
        return kExitRefused;
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
        std::cout << "maxA=" << floatText(document.maxA) << "\n"
                  << "minA=" << floatText(document.minA) << "\n"
                  << "meanA=" << floatText(document.meanA) << "\n"
                  << "rmsA=" << floatText(document.rmsA) << "\n";
    if (holdsB)
        std::cout << "maxB=" << floatText(document.maxB) << "\n"
                  << "minB=" << floatText(document.minB) << "\n"
                  << "meanB=" << floatText(document.meanB) << "\n"
                  << "rmsB=" << floatText(document.rmsB) << "\n";
    std::cout << "dcOffsetCodesA=" << document.dcOffsets.dcOffsetCodesA << "\n"
              << "dcOffsetCodesB=" << document.dcOffsets.dcOffsetCodesB << "\n";
    return kExitOk;
}


// Prints every message the core showed on stderr, in order.
void printMessages(const RecordingShell& shell) {
    for (const std::string& message : shell.messages()) std::cerr << message << "\n";
}

// Opens a record as File > Open does; false (after printing its messages) when refused.
bool openRecord(const Arguments& arguments, RecordingShell& shell, CSignalDoc& document) {
    if (document.OnOpenDocument(arguments.file, kScopeTypeSeparate)) return true;
    printMessages(shell);
    if (shell.messages().empty()) std::cerr << "tonewell-cli: cannot open " << arguments.file << "\n";
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

// Runs an export writer to --output, or to a scratch file copied to stdout.
int exportTo(const Arguments& arguments, RecordingShell& shell,
             const std::function<bool(const std::filesystem::path&)>& write) {
    if (auto output = arguments.get("output")) {
        if (write(*output)) return kExitOk;
        printMessages(shell);
        return kExitRefused;
    }
    ScratchFolder scratch;
    auto path = scratch.file("export.txt");
    if (!write(path)) {
        printMessages(shell);
        return kExitRefused;
    }
    std::ifstream in(path, std::ios::binary);
    std::cout << in.rdbuf();
    std::cout.flush();
    return std::cout ? kExitOk : kExitRefused;
}

// ---- scope-export ---------------------------------------------------------------------------

int runScopeExport(const Arguments& arguments) {
    HeadlessInstrument instrument(InstrumentConfiguration{});
    CliShell& shell = instrument.shell;
    CSignalDoc& document = instrument.document;
    if (!openRecord(arguments, shell, document)) return kExitRefused;
    printMessages(shell);  // warnings
    shell.clear();
    return exportTo(arguments, shell, [&](const std::filesystem::path& path) {
        return WriteScopeExport(shell, path, document);
    });
}

// ---- spectrum -------------------------------------------------------------------------------

int rowValue(RangeTableId id, const std::string& name) {
    RangeTables tables;
    const RangeTable& table = tables[id];
    auto row = table.rowNamed(name);
    return row ? table.value(*row).value_or(0) : 0;
}

int runSpectrum(const Arguments& arguments) {
    InstrumentConfiguration configuration;
    if (!loadConfiguration(arguments, configuration)) return kExitRefused;
    HeadlessInstrument instrument(configuration);
    CliShell& shell = instrument.shell;
    CSignalDoc& document = instrument.document;
    if (!openRecord(arguments, shell, document)) return kExitRefused;
    printMessages(shell);
    shell.clear();

    const std::string typeName = arguments.get("type").value_or("AMS");
    SpectrumType type = SpectrumType::Amplitude;
    if (typeName == "PHS") type = SpectrumType::Phase;
    if (typeName == "ACR") type = SpectrumType::AutoCorrelation;
    if (typeName == "CCR") type = SpectrumType::CrossCorrelation;
    const int fftSize = rowValue(RangeTableId::FftPoints, arguments.get("fft").value_or("512"));
    const std::string windowName = arguments.get("window").value_or("REC");
    const WindowType window = windowName == "TRI" ? WindowType::Triangular : windowName == "HAN" ? WindowType::Hanning
                            : windowName == "HAM" ? WindowType::Hamming : windowName == "BLA" ? WindowType::Blackman
                                                                                             : WindowType::Rectangular;
    bool removeDc = configuration.removeDcInSpectrum;
    if (auto dc = arguments.get("dc")) removeDc = *dc == "on";

    SpectrumAnalysis analysis(shell);
    if (!analysis.setFftSize(fftSize)) {
        printMessages(shell);
        return kExitRefused;
    }
    analysis.setSpectrumType(type);
    analysis.setWindowType(window);
    // Every channel the record holds is switched on; the cross-correlation is channel A's.
    const bool showA = type == SpectrumType::CrossCorrelation || document.samplingType != kSamplingTypeB;
    const bool showB = type != SpectrumType::CrossCorrelation && document.samplingType != kSamplingTypeA;
    analysis.UpdateSpectra(document, document.dcOffsets, showA, showB, removeDc);
    if (!shell.messages().empty()) {
        printMessages(shell);
        return kExitRefused;
    }
    int status = exportTo(arguments, shell, [&](const std::filesystem::path& path) {
        return WriteSpectrumExport(shell, path, document, analysis);
    });
    if (status == kExitOk)
        for (const std::string& readout : SpectrumPeakReadouts(analysis, showA, showB))
            std::cerr << readout << "\n";
    return status;
}

// ---- generate -------------------------------------------------------------------------------

int runGenerate(const Arguments& arguments) {
    InstrumentConfiguration configuration;
    if (!loadConfiguration(arguments, configuration)) return kExitRefused;
    CliShell shell;

    GeneratorSettings settings;
    SetGeneratorDefaults(settings);
    ToneLists toneLists{};
    WaveformLibrary library;
    std::string toneFilePath;

    if (auto panelPath = arguments.get("panel")) {
        PanelSetting panel = BuiltInPanelSetting();
        if (!ReadPanelSettingFile(*panelPath, panel, shell)) {
            printMessages(shell);
            if (shell.messages().empty()) std::cerr << "tonewell-cli: cannot read " << *panelPath << "\n";
            return kExitRefused;
        }
        settings = panel.generator;
        // As at start-up: a library panel brings the library it names.
        if (settings.waveformIndexA == 8 && !panel.toneFilePath.empty() && !arguments.get("library"))
            if (!LoadLibrary(panel.toneFilePath, library, toneFilePath, shell)) {
                printMessages(shell);
                return kExitRefused;
            }
    }
    if (auto tones = arguments.get("tones"))
        if (!ReadToneFile(*tones, toneLists, toneFilePath, shell)) {
            printMessages(shell);
            if (shell.messages().empty()) std::cerr << "tonewell-cli: cannot read " << *tones << "\n";
            return kExitRefused;
        }
    if (auto libraryPath = arguments.get("library"))
        if (!LoadLibrary(*libraryPath, library, toneFilePath, shell)) {
            printMessages(shell);
            if (shell.messages().empty()) std::cerr << "tonewell-cli: cannot read " << *libraryPath << "\n";
            return kExitRefused;
        }
    for (const std::string& assignment : arguments.all("set")) {
        auto equals = assignment.find('=');
        std::string problem = equals == std::string::npos
                                  ? "--set takes FIELD=VALUE, not \"" + assignment + "\""
                                  : SetGeneratorSettingsField(settings, assignment.substr(0, equals),
                                                              assignment.substr(equals + 1));
        if (!problem.empty()) throw UsageError{problem};
    }

    std::uint32_t seconds = settings.sweepEnabled ? settings.sweepDuration : 1;
    if (auto duration = arguments.get("duration")) {
        auto [end, error] = std::from_chars(duration->data(), duration->data() + duration->size(), seconds);
        if (error != std::errc() || end != duration->data() + duration->size())
            throw UsageError{"--duration takes whole seconds, not \"" + *duration + "\""};
    }
    const std::string output = *arguments.get("output");
    ExportFileType type = ExportFileType::Wave;
    if (auto format = arguments.get("format")) {
        type = *format == "txt" ? ExportFileType::Text : ExportFileType::Wave;
    } else {
        std::string extension = std::filesystem::path(output).extension().string();
        for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (extension == ".txt") type = ExportFileType::Text;
    }

    OutputCalibration calibration{configuration.outputFullScale8, configuration.outputFullScale16};
    SystemSeedClock clock;
    GeneratorSources sources{settings, toneLists, library, calibration, clock, shell};
    ExportOutcome outcome = ExportGeneratedSignal(sources, ExportFileName(output, type), type, seconds);
    printMessages(shell);
    return outcome == ExportOutcome::Written ? kExitOk : kExitRefused;
}

// ---- the command table ---------------------------------------------------------------------

struct Command {
    CommandForm form;
    std::function<int(const Arguments&)> run;
};

// The names of a selector list, as the option's allowed values.
std::vector<std::string> tableNames(RangeTableId id) {
    RangeTables tables;
    std::vector<std::string> names;
    for (std::string_view name : tables[id].names) names.emplace_back(name);
    return names;
}

const OptionForm kConfigOption{"config", "Vorel.cfg", {}, false,
                               "instrument configuration (calibration, DC removal) to use"};

std::vector<Command> commands() {
    return {
        {{"info", "FILE.wav",
          "Opens a WAV record as File > Open does and prints its format, ranges, note and\n"
          "statistics as key=value lines; every message the reader showed is a message= line.",
          {{"scope-type", "0|1|2|3", {"0", "1", "2", "3"}, false,
            "oscilloscope type the statistics are computed for: 0 A and B, 1 A+B, 2 A-B, 3 X-Y"},
           kConfigOption}},
         runInfo},
        {{"generate", "",
          "Writes the generated signal exactly as the generator's Save does: a WAV file or a text\n"
          "table in volts. Settings start from the built-in defaults, then the panel file, then\n"
          "each --set in order.",
          {{"output", "FILE", {}, false, "file to write (required)"},
           {"format", "wav|txt", {"wav", "txt"}, false, "file type; otherwise from the extension (.txt: text)"},
           {"duration", "SECONDS", {}, false, "length; default the sweep duration when sweeping, else 1"},
           {"panel", "FILE.psf", {}, false, "panel setting file whose generator settings to start from"},
           kConfigOption,
           {"tones", "FILE.tcf", {}, false, "tone configuration file for MultiTones"},
           {"library", "FILE.wfl", {}, false, "waveform library file for WFLibrary"},
           {"set", "FIELD=VALUE", {}, true,
            "a generator setting by name (waveformIndexA=Sine, frequencyA=440, sweepEnabled=1, ...)"}}},
         runGenerate},
        {{"spectrum", "FILE.wav",
          "Computes the spectrum view's result with every channel of the record switched on (CCR:\n"
          "channel A), writes the spectrum export text and prints the peak readouts on stderr.",
          {{"type", "AMS|PHS|ACR|CCR", tableNames(RangeTableId::SpectrumType), false, "spectrum type (default AMS)"},
           {"fft", "N", tableNames(RangeTableId::FftPoints), false,
            "FFT points (default 512)"},
           {"window", "REC|TRI|HAN|HAM|BLA", tableNames(RangeTableId::WindowFunction), false,
            "window function (default REC)"},
           {"dc", "on|off", {"on", "off"}, false, "remove the DC component (default: as the configuration says)"},
           kConfigOption,
           {"output", "FILE.txt", {}, false, "file to write; default stdout"}}},
         runSpectrum},
        {{"scope-export", "FILE.wav", "Writes the oscilloscope export text of a record.",
          {{"output", "FILE.txt", {}, false, "file to write; default stdout"}}},
         runScopeExport},
    };
}

void printGeneralHelp(const std::vector<Command>& table) {
    std::cout << "usage: tonewell-cli COMMAND [ARGUMENTS] (tonewell-cli COMMAND --help for its options)\n\n"
                 "commands:\n";
    for (const Command& command : table) std::cout << "  " << usageLine(command.form).substr(20) << "\n";
    std::cout << "\nexit status: 0 success, 1 the input was refused (message on stderr), 2 bad arguments\n";
}

int run(int argc, char** argv) {
    std::vector<Command> table = commands();
    std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        printGeneralHelp(table);
        return kExitUsage;
    }
    if (words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
        printGeneralHelp(table);
        return kExitOk;
    }
    for (const Command& command : table) {
        if (command.form.name != words[0]) continue;
        std::vector<std::string> rest(words.begin() + 1, words.end());
        for (const std::string& word : rest)
            if (word == "--help" || word == "-h") {
                printCommandHelp(command.form);
                return kExitOk;
            }
        try {
            return command.run(parseArguments(command.form, rest));
        } catch (const UsageError& error) {
            std::cerr << "tonewell-cli: " << error.text << "\n" << usageLine(command.form) << "\n";
            return kExitUsage;
        }
    }
    std::cerr << "tonewell-cli: unknown command \"" << words[0] << "\"\n";
    printGeneralHelp(table);
    return kExitUsage;
}

}  // namespace
}  // namespace tonewell

int main(int argc, char** argv) { return tonewell::run(argc, argv); }
