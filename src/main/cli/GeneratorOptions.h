#pragma once
// The generator's inputs that generate and play share.

#include "main/cli/CliSupport.h"

#include <optional>

namespace tonewell::cli {

// The generator's inputs of generate and play: the panel (with the library it names), the tone
// file, the library and the --set fields in order. An exit status when they cannot be read; bad
// fields are argument errors.
std::optional<int> LoadGeneratorOptions(const Arguments& arguments, ConsoleInstrument& console);

}  // namespace tonewell::cli
