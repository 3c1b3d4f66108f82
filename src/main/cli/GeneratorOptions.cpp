#include "main/cli/GeneratorOptions.h"

#include "generator/GeneratorFieldLimits.h"
#include "generator/GeneratorSettingsFields.h"
#include "generator/GeneratorTables.h"
#include "generator/ToneFile.h"
#include "generator/WaveformLibraryFile.h"

namespace tonewell::cli {

std::optional<int> LoadGeneratorOptions(const Arguments& arguments, ConsoleInstrument& console) {
    Instrument& instrument = console.instrument;
    ToolShell& shell = console.shell;
    if (!LoadConfigurationOption(arguments, instrument.configuration)) return kExitRefused;
    auto libraryPath = arguments.get("library");
    if (auto panelPath = arguments.get("panel")) {
        if (!instrument.panel.loadPanel(*panelPath)) return Refused(shell, "cannot read " + *panelPath);
        // As at start-up: a library panel brings the library it names.
        if (WaveformCode(instrument.generator, 0) == kWaveformLibrary && !instrument.toneFilePath.empty() &&
            !libraryPath &&
            !LoadLibrary(instrument.toneFilePath, instrument.library, instrument.toneFilePath, shell))
            return kExitRefused;
    }
    if (auto tones = arguments.get("tones"))
        if (!ReadToneFile(*tones, instrument.toneLists, instrument.toneFilePath, shell))
            return Refused(shell, "cannot read " + *tones);
    if (libraryPath && !LoadLibrary(*libraryPath, instrument.library, instrument.toneFilePath, shell))
        return Refused(shell, "cannot read " + *libraryPath);
    std::vector<std::string> fields;
    for (const std::string& assignment : arguments.all("set")) {
        auto equals = assignment.find('=');
        std::string problem = equals == std::string::npos
                                  ? "--set takes FIELD=VALUE, not \"" + assignment + "\""
                                  : SetGeneratorSettingsField(instrument.generator, assignment.substr(0, equals),
                                                              assignment.substr(equals + 1));
        if (!problem.empty()) throw UsageError{problem};
        fields.push_back(assignment.substr(0, equals));
    }
    // Each value set is held to the dialog's range for it, at the rate and resolution finally set.
    const OutputCalibration calibration{instrument.configuration.outputFullScale8,
                                        instrument.configuration.outputFullScale16};
    for (const std::string& field : fields)
        if (auto problem = GeneratorFieldProblem(instrument.generator, field, calibration)) throw UsageError{*problem};
    return std::nullopt;
}
}  // namespace tonewell::cli
