#pragma once
// tonewell-cli's command line: each command's form (its file argument and options), reading the
// words after the command name against it, and the usage and help texts.

#include <map>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

namespace tonewell {

struct OptionForm {
    std::string name;                  // without "--"
    std::string argument;              // shown in help; empty: a switch without a value
    std::vector<std::string> choices;  // allowed values; empty: any
    bool repeatable = false;
    std::string help;
    bool required = false;
};

struct CommandForm {
    std::string name;
    std::string positional;  // e.g. "FILE.wav"; empty: none
    std::string summary;
    std::vector<OptionForm> options;
};

// The words of one command, read.
struct Arguments {
    std::string file;
    std::map<std::string, std::vector<std::string>> values;  // a switch given holds "1"

    // The last value of an option, nothing when it was not given.
    std::optional<std::string> get(const std::string& name) const;
    // Every value of a repeatable option, in order.
    const std::vector<std::string>& all(const std::string& name) const;
};

// Words the command does not take; text says why (without the program's name).
struct UsageError {
    std::string text;
};

// "usage: tonewell-cli NAME FILE [--option ARG]..."
std::string UsageLine(const CommandForm& command);

// Reads "FILE --opt value --opt=value ..." against the command's options; throws UsageError.
Arguments ParseArguments(const CommandForm& command, const std::vector<std::string>& words);

// True when the words ask for help ("--help" or "-h" anywhere).
bool AsksForHelp(const std::vector<std::string>& words);

void PrintCommandHelp(std::ostream& out, const CommandForm& command);
void PrintGeneralHelp(std::ostream& out, std::span<const CommandForm> commands);

}  // namespace tonewell
