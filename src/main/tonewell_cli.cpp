// tonewell-cli: the instrument without a screen. Reads its arguments, builds the instrument as
// the program does (with a console shell, and a loopback cable or, to play, the audio backend the
// environment chooses), then opens, generates, plays, records, analyses and exports through it.
//
// Exit status: 0 success, 1 the core refused the input or the device failed (its message on
// stderr), 2 bad arguments.

#include "main/cli/Commands.h"

#include <iostream>
#include <string>
#include <vector>

namespace tonewell::cli {
namespace {

std::vector<Command> Commands() {
    return {
        InfoCommand(),     GenerateCommand(), PlayCommand(), RecordCommand(), SpectrumCommand(),
        ScopeExportCommand(), MeasureCommand(), ResponseCommand(),
#ifdef TONEWELL_HAVE_PICTURES
        RenderCommand(),
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
}  // namespace tonewell::cli

int main(int argc, char** argv) { return tonewell::cli::Run(argc, argv); }
