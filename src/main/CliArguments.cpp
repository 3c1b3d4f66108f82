#include "main/CliArguments.h"

#include <algorithm>

namespace tonewell {

namespace {

constexpr std::size_t kHelpColumn = 28;

const OptionForm* FindOption(const CommandForm& command, const std::string& name) {
    for (const OptionForm& option : command.options)
        if (option.name == name) return &option;
    return nullptr;
}

std::string ChoiceList(const std::vector<std::string>& choices) {
    std::string list;
    for (const std::string& choice : choices) list += (list.empty() ? "" : ", ") + choice;
    return list;
}

}  // namespace

std::optional<std::string> Arguments::get(const std::string& name) const {
    auto found = values.find(name);
    if (found == values.end() || found->second.empty()) return std::nullopt;
    return found->second.back();
}

const std::vector<std::string>& Arguments::all(const std::string& name) const {
    static const std::vector<std::string> none;
    auto found = values.find(name);
    return found == values.end() ? none : found->second;
}

std::string UsageLine(const CommandForm& command) {
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

Arguments ParseArguments(const CommandForm& command, const std::vector<std::string>& words) {
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
            const OptionForm* declared = FindOption(command, name);
            if (declared == nullptr) throw UsageError{"unknown option --" + name};
            if (declared->argument.empty()) {
                if (value) throw UsageError{"--" + name + " takes no value"};
                value = "1";
            } else if (!value) {
                if (i + 1 >= words.size()) throw UsageError{"--" + name + " needs " + declared->argument};
                value = words[++i];
            }
            const std::vector<std::string>& choices = declared->choices;
            if (!choices.empty() && std::find(choices.begin(), choices.end(), *value) == choices.end())
                throw UsageError{"--" + name + " must be one of " + ChoiceList(choices) + ", not \"" + *value + "\""};
            if (!declared->repeatable && parsed.values.count(name)) throw UsageError{"--" + name + " given twice"};
            parsed.values[name].push_back(*value);
        } else if (!command.positional.empty() && !haveFile) {
            parsed.file = word;
            haveFile = true;
        } else {
            throw UsageError{"unexpected argument \"" + word + "\""};
        }
    }
    if (!command.positional.empty() && !haveFile) throw UsageError{"missing " + command.positional};
    for (const OptionForm& option : command.options)
        if (option.required && !parsed.values.count(option.name))
            throw UsageError{"missing --" + option.name + (option.argument.empty() ? "" : " " + option.argument)};
    return parsed;
}

bool AsksForHelp(const std::vector<std::string>& words) {
    return std::any_of(words.begin(), words.end(), [](const std::string& word) { return word == "--help" || word == "-h"; });
}

void PrintCommandHelp(std::ostream& out, const CommandForm& command) {
    out << UsageLine(command) << "\n\n" << command.summary << "\n";
    if (!command.options.empty()) out << "\noptions:\n";
    for (const OptionForm& option : command.options) {
        std::string head = "  --" + option.name + (option.argument.empty() ? "" : " " + option.argument);
        out << head;
        if (head.size() < kHelpColumn) out << std::string(kHelpColumn - head.size(), ' ');
        else out << "\n" << std::string(kHelpColumn, ' ');
        out << option.help << "\n";
    }
}

void PrintGeneralHelp(std::ostream& out, std::span<const CommandForm> commands) {
    const std::string prefix = "usage: tonewell-cli ";
    out << prefix << "COMMAND [ARGUMENTS] (tonewell-cli COMMAND --help for its options)\n\n"
        << "commands:\n";
    for (const CommandForm& command : commands) out << "  " << UsageLine(command).substr(prefix.size()) << "\n";
    out << "\nexit status: 0 success, 1 the input was refused or the sound device failed (message on\n"
        << "stderr), 2 bad arguments\n";
}

}  // namespace tonewell
