#include "generator/GeneratorExport.h"

#include "shared/NumberFormat.h"
#include "generator/GeneratorOutput.h"
#include "generator/GeneratorTables.h"
#include "generator/ToneFile.h"
#include "platform/Shell.h"

namespace tonewell {

std::optional<std::string> MultiTonesCheck(const GeneratorSettings& settings, const ToneLists& toneLists) {
    if (WaveformCode(settings, 0) != kWaveformMultiTones || settings.sweepEnabled) return std::nullopt;
    std::uint32_t largest = 1;
    const int channels = OutputChannels(settings) == 2 ? 2 : 1;
    for (int channel = 0; channel < channels; ++channel) {
        const ToneList& list = toneLists[static_cast<std::size_t>(channel)];
        for (std::uint32_t i = 0; i < list.count && i < kMaxTones; ++i)
            if (list.frequency[i] > largest) largest = list.frequency[i];
    }
    const std::uint32_t rate = SamplingFrequency(settings);
    if (largest <= rate) return std::nullopt;
    std::string message = "The multitone file contains fundamental frequency outside the range 1~";
    AppendInteger(message, rate);
    message += " Hz";
    return message;
}

std::string ExportFileName(const std::string& chosen, ExportFileType type) {
    if (std::filesystem::path(chosen).filename().string().find('.') != std::string::npos) return chosen;
    return chosen + (type == ExportFileType::Text ? ".txt" : ".wav");
}

ExportOutcome ExportGeneratedSignal(const GeneratorSources& sources, const std::filesystem::path& path,
                                    ExportFileType type, std::uint32_t seconds, ExportProgress* progress) {
    // An output of its own that never plays, so a signal that plays now goes on untouched.
    RunState run;
    GeneratorOutput output(GeneratorOutputParts{sources.settings, sources.toneLists, sources.library,
                                                [&calibration = sources.calibration] { return calibration; },
                                                sources.clock, sources.shell, run});
    return output.exportSignal(path, type, seconds, progress);
}

ExportOutcome SaveGeneratedSignal(const GeneratorSources& sources,
                                  const std::function<std::optional<std::uint32_t>()>& askDuration,
                                  ExportProgress* progress) {
    if (std::optional<std::string> message = MultiTonesCheck(sources.settings, sources.toneLists)) {
        sources.shell.showMessage(*message);
        return ExportOutcome::Refused;
    }
    std::uint32_t seconds = sources.settings.sweepDuration;
    if (!sources.settings.sweepEnabled) {
        std::optional<std::uint32_t> asked = askDuration ? askDuration() : std::nullopt;
        if (!asked) return ExportOutcome::Cancelled;
        seconds = *asked;
    }
    FileDialogRequest request;
    request.filter = kExportFilter;
    request.promptOverwrite = true;
    std::optional<SaveFileChoice> choice = sources.shell.chooseSaveFileAndFilter(request);
    if (!choice) return ExportOutcome::Cancelled;
    const ExportFileType type = choice->filterIndex == 1 ? ExportFileType::Text : ExportFileType::Wave;
    return ExportGeneratedSignal(sources, ExportFileName(choice->path, type), type, seconds, progress);
}

}  // namespace tonewell
