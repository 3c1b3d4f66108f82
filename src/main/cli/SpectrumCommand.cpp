// spectrum: the spectrum view's result of a record as the spectrum export text, peaks on stderr.

#include "main/cli/Commands.h"

#include "spectrum/SpectrumAnalysis.h"
#include "spectrum/SpectrumExport.h"
#include "spectrum/SpectrumReadouts.h"

namespace tonewell::cli {
namespace {

int RunSpectrum(const Arguments& arguments) {
    ConsoleInstrument console;
    Instrument& instrument = console.instrument;
    const CSignalDoc& document = instrument.document;
    if (!LoadConfigurationOption(arguments, instrument.configuration)) return kExitRefused;
    if (!OpenRecord(console, arguments.file, kScopeTypeSeparate)) return kExitRefused;

    const RangeTables& tables = instrument.tables;
    const auto type = static_cast<SpectrumType>(SelectorValue(tables, Id::SpectrumType, arguments.get("type").value_or("AMS")));
    const int fftSize = SelectorValue(tables, Id::FftPoints, arguments.get("fft").value_or("512"));
    const auto window = static_cast<WindowType>(SelectorValue(tables, Id::WindowFunction, arguments.get("window").value_or("REC")));
    bool removeDc = instrument.configuration.removeDcInSpectrum;
    if (auto dc = arguments.get("dc")) removeDc = *dc == "on";

    // Anything the analysis shows is a refusal.
    const std::size_t shownBefore = console.shell.messageCount();
    SpectrumAnalysis analysis(console.shell);
    if (!analysis.setFftSize(fftSize)) return kExitRefused;
    analysis.setSpectrumType(type);
    analysis.setWindowType(window);
    // Every channel the record holds is switched on; the cross-correlation is channel A's.
    const bool showA = type == SpectrumType::CrossCorrelation || document.samplingType != kSamplingTypeB;
    const bool showB = type != SpectrumType::CrossCorrelation && document.samplingType != kSamplingTypeA;
    analysis.UpdateSpectra(document, document.dcOffsets, showA, showB, removeDc);
    if (console.shell.messageCount() != shownBefore) return kExitRefused;

    int status = ExportTo(arguments, [&](const std::filesystem::path& path) {
        return WriteSpectrumExport(console.shell, path, document, analysis);
    });
    if (status == kExitOk)
        for (const std::string& readout : SpectrumPeakReadouts(analysis, showA, showB)) std::cerr << readout << "\n";
    return status;
}

}  // namespace

Command SpectrumCommand() {
    OptionForm fft = SelectorOption("fft", Id::FftPoints, "FFT points (default 512)");
    fft.argument = "N";
    return {{"spectrum", "FILE.wav",
      "Computes the spectrum view's result with every channel of the record switched on (CCR:\n"
      "channel A), writes the spectrum export text and prints the peak readouts on stderr.",
      {SelectorOption("type", Id::SpectrumType, "spectrum type (default AMS)"), fft,
       SelectorOption("window", Id::WindowFunction, "window function (default REC)"),
       {"dc", "on|off", {"on", "off"}, false, "remove the DC component (default: as the configuration says)"},
       kConfigOption,
       {"output", "FILE.txt", {}, false, "file to write; default stdout"}}},
     RunSpectrum};
}

}  // namespace tonewell::cli
