#pragma once
// tonewell-cli's commands, one unit each; the entry point's table lists them.

#include "main/cli/CliSupport.h"

namespace tonewell::cli {

Command InfoCommand();
Command GenerateCommand();
Command PlayCommand();
Command RecordCommand();
Command SpectrumCommand();
Command ScopeExportCommand();
Command MeasureCommand();
Command ResponseCommand();
#ifdef TONEWELL_HAVE_PICTURES
Command RenderCommand();
#endif

}  // namespace tonewell::cli
