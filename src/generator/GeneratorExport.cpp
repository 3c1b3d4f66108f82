#include "generator/GeneratorExport.h"

#include "shared/NumberFormat.h"
#include "generator/GeneratedSignalFile.h"
#include "generator/GeneratorTables.h"
#include "generator/Synthesizer.h"
#include "generator/ToneFile.h"
#include "platform/SafeFileWriter.h"
#include "platform/Shell.h"

#include <new>

namespace tonewell {

namespace {
constexpr const char* kTooLongMessage = "The signal is too long for a WAV file.";
constexpr const char* kOutOfMemoryMessage = "Not enough memory to generate the signal.";
}  // namespace

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
                                    ExportFileType type, std::uint32_t seconds) {
    GeneratorSettings& settings = sources.settings;
    Shell& shell = sources.shell;
    if (settings.sweepDuration == 0) {
        settings.sweepDuration = 1;
        return ExportOutcome::Refused;
    }
    if (std::optional<std::string> message = MultiTonesCheck(settings, sources.toneLists)) {
        shell.showMessage(*message);
        return ExportOutcome::Refused;
    }
    const WaveFormat format = OutputFormatFor(settings);
    if (type == ExportFileType::Wave && !WaveFitsRiff(format, seconds)) {
        shell.showMessage(kTooLongMessage);
        return ExportOutcome::Refused;
    }

    Synthesizer synth(settings, sources.toneLists, sources.library, sources.calibration, sources.clock, shell);
    std::vector<std::uint8_t> buffer;
    try {
        buffer.resize(format.averageBytesPerSecond);
        synth.startRun();
    } catch (const std::bad_alloc&) {
        shell.showMessage(kOutOfMemoryMessage);
        return ExportOutcome::Failed;
    }

    SafeFileWriter file(path);
    if (!file.open()) {
        shell.showMessage(kFileCreateFailedMessage);
        return ExportOutcome::Failed;
    }
    const SignalWriteResult result =
        type == ExportFileType::Wave
            ? WriteGeneratedWave(file, synth, format, sources.calibration, seconds, buffer)
            : WriteGeneratedText(file, synth, format, sources.calibration, seconds, buffer);
    if (result == SignalWriteResult::SynthesisFailed) {
        // Nothing to write: the synthesizer has said why. The previous file stays.
        file.abandon();
        return ExportOutcome::Refused;
    }
    if (result != SignalWriteResult::Written || !file.commit()) {
        shell.showMessage(kFileCreateFailedMessage);
        return ExportOutcome::Failed;
    }
    return ExportOutcome::Written;
}

ExportOutcome SaveGeneratedSignal(const GeneratorSources& sources,
                                  const std::function<std::optional<std::uint32_t>()>& askDuration) {
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
    return ExportGeneratedSignal(sources, ExportFileName(choice->path, type), type, seconds);
}

}  // namespace tonewell
