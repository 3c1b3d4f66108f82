// tonewell-cli: the instrument without a screen. Reads its arguments, then opens, generates,
// analyses and exports through the same core as the program.
//
// Exit status: 0 success, 1 the core refused the input (its message on stderr), 2 bad arguments.

#include "acquisition/SignalDoc.h"
#include "app/InstrumentConfiguration.h"
#include "platform/RecordingShell.h"

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

struct OptionSpec {
    std::string name;                  // without "--"
    std::string argument;              // shown in help; empty: a switch without a value
    std::vector<std::string> choices;  // allowed values; empty: any
    bool repeatable = false;
    std::string help;
};

struct CommandSpec {
    std::string name;
    std::string positional;  // e.g. "FILE.wav"; empty: none
    std::string summary;
    std::vector<OptionSpec> options;
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

std::string usageLine(const CommandSpec& command) {
    std::string line = "usage: tonewell-cli " + command.name;
    if (!command.positional.empty()) line += " " + command.positional;
    for (const OptionSpec& option : command.options) {
        line += " [--" + option.name;
        if (!option.argument.empty()) line += " " + option.argument;
        line += "]";
        if (option.repeatable) line += "...";
    }
    return line;
}

void printCommandHelp(const CommandSpec& command) {
    std::cout << usageLine(command) << "\n\n" << command.summary << "\n";
    if (!command.options.empty()) std::cout << "\noptions:\n";
    for (const OptionSpec& option : command.options) {
        std::string head = "  --" + option.name + (option.argument.empty() ? "" : " " + option.argument);
        std::cout << head;
        if (head.size() < 28) std::cout << std::string(28 - head.size(), ' ');
        else std::cout << "\n" << std::string(28, ' ');
        std::cout << option.help << "\n";
    }
}

// Parses "COMMAND FILE --opt value --opt=value ..." against the command's options.
Arguments parseArguments(const CommandSpec& command, const std::vector<std::string>& words) {
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
            const OptionSpec* spec = nullptr;
            for (const OptionSpec& option : command.options)
                if (option.name == name) spec = &option;
            if (spec == nullptr) throw UsageError{"unknown option --" + name};
            if (spec->argument.empty()) {
                if (value) throw UsageError{"--" + name + " takes no value"};
                value = "1";
            } else if (!value) {
                if (i + 1 >= words.size()) throw UsageError{"--" + name + " needs " + spec->argument};
                value = words[++i];
            }
            if (!spec->choices.empty()) {
                bool known = false;
                for (const std::string& choice : spec->choices) known = known || choice == *value;
                if (!known) {
                    std::string list;
                    for (const std::string& choice : spec->choices) list += (list.empty() ? "" : ", ") + choice;
                    throw UsageError{"--" + name + " must be one of " + list + ", not \"" + *value + "\""};
                }
            }
            if (!spec->repeatable && parsed.values.count(name))
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

// ---- info -------------------------------------------------------------------------------

int runInfo(const Arguments& arguments) {
    InstrumentConfiguration configuration;
    if (!loadConfiguration(arguments, configuration)) return kExitRefused;
    int scopeType = std::stoi(arguments.get("scope-type").value_or("0"));

    CliShell shell;
    std::atomic<bool> inputRunning{false};
    CSignalDoc document(shell, configuration, inputRunning, FreshDocumentSelection{});
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

// ---- the command table ---------------------------------------------------------------------

struct Command {
    CommandSpec spec;
    std::function<int(const Arguments&)> run;
};

const OptionSpec kConfigOption{"config", "Vorel.cfg", {}, false,
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
    };
}

void printGeneralHelp(const std::vector<Command>& table) {
    std::cout << "usage: tonewell-cli COMMAND [ARGUMENTS] (tonewell-cli COMMAND --help for its options)\n\n"
                 "commands:\n";
    for (const Command& command : table) std::cout << "  " << usageLine(command.spec).substr(20) << "\n";
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
        if (command.spec.name != words[0]) continue;
        std::vector<std::string> rest(words.begin() + 1, words.end());
        for (const std::string& word : rest)
            if (word == "--help" || word == "-h") {
                printCommandHelp(command.spec);
                return kExitOk;
            }
        try {
            return command.run(parseArguments(command.spec, rest));
        } catch (const UsageError& error) {
            std::cerr << "tonewell-cli: " << error.text << "\n" << usageLine(command.spec) << "\n";
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
