#pragma once
// Runs tonewell-cli as a script would and captures what it printed.

#include "support/TempDir.h"

#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace tonewell::testing {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string shellQuote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs tonewell-cli with the arguments, after `environment` (VAR=value words, may be empty);
// its output lands in scratch as NAME.stdout and NAME.stderr.
inline CliResult runCli(const std::vector<std::string>& arguments, const TempDir& scratch,
                        const std::string& environment = "", const std::string& name = "cli") {
    std::string command = environment + " " + shellQuote(std::string(TONEWELL_BINARY_DIR) + "/tonewell-cli");
    for (const std::string& argument : arguments) command += " " + shellQuote(argument);
    auto outPath = scratch / (name + ".stdout");
    auto errPath = scratch / (name + ".stderr");
    command += " >" + shellQuote(outPath.string()) + " 2>" + shellQuote(errPath.string()) + " </dev/null";
    int status = std::system(command.c_str());
    CliResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readFileBytes(outPath);
    result.err = readFileBytes(errPath);
    return result;
}

// The value of "key=" in key=value output, or "<missing>".
inline std::string valueOf(const std::string& output, const std::string& key) {
    std::string needle = key + "=";
    std::size_t at = output.rfind("\n" + needle);
    at = output.compare(0, needle.size(), needle) == 0 ? 0 : (at == std::string::npos ? at : at + 1);
    if (at == std::string::npos) return "<missing>";
    std::size_t end = output.find('\n', at);
    return output.substr(at + needle.size(), end - at - needle.size());
}

}  // namespace tonewell::testing
