// generate: the generated signal written as the generator's Save writes it.

#include "main/cli/Commands.h"

#include "generator/GeneratorExport.h"
#include "generator/GeneratorOutput.h"
#include "main/cli/GeneratorOptions.h"

#include <algorithm>
#include <charconv>

namespace tonewell::cli {
namespace {

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
    // The generator's Save: the output's run, written to the file instead of played.
    ExportOutcome outcome = instrument.output.exportSignal(ExportFileName(output, type), type, seconds);
    return outcome == ExportOutcome::Written ? kExitOk : kExitRefused;
}

}  // namespace

Command GenerateCommand() {
    const std::vector<std::string> exportTypes = ExportExtensions();
    return {{"generate", "",
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
     RunGenerate};
}

}  // namespace tonewell::cli
