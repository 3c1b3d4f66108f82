// scope-export: the oscilloscope's text export of a record.

#include "main/cli/Commands.h"

#include "scope/ScopeExport.h"

namespace tonewell::cli {
namespace {

int RunScopeExport(const Arguments& arguments) {
    ConsoleInstrument console;
    if (!OpenRecord(console, arguments.file, kScopeTypeSeparate)) return kExitRefused;
    return ExportTo(arguments, [&](const std::filesystem::path& path) {
        return WriteScopeExport(console.shell, path, console.instrument.document);
    });
}

}  // namespace

Command ScopeExportCommand() {
    return {{"scope-export", "FILE.wav", "Writes the oscilloscope export text of a record.",
      {{"output", "FILE.txt", {}, false, "file to write; default stdout"}}},
     RunScopeExport};
}

}  // namespace tonewell::cli
