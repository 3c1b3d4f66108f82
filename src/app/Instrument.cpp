#include "app/Instrument.h"

#include "app/InstrumentConfigurationFile.h"
#include "app/PanelSetting.h"
#include "app/ProgramDirectory.h"
#include "generator/GeneratorTables.h"
#include "generator/ToneFile.h"
#include "generator/WaveformLibraryFile.h"

namespace tonewell {

namespace {

using Id = RangeTableId;

// The stored selections of the sampling and oscilloscope bars, as a fresh document takes them.
FreshDocumentSelection StoredSelection(const RangeTables& tables) {
    auto stored = [&](Id id) { return tables[id].value(tables[id].defaultIndex); };
    FreshDocumentSelection selection;
    selection.bothChannels = stored(Id::SamplingChannels).value_or(0) == 1;
    if (auto rate = stored(Id::SamplingFrequency); rate && *rate > 0)
        selection.samplesPerSecond = static_cast<std::uint32_t>(*rate);
    selection.bits = stored(Id::SamplingResolution).value_or(selection.bits);
    const RangeTable& timeRange = tables[Id::ScopeTimeRange];
    selection.timeRangeCode = timeRange.code(timeRange.defaultIndex).value_or(RangeCode()).bits();
    return selection;
}

}  // namespace

Instrument::Instrument(Shell& shell, AudioBackend& audio)
    : shell(shell),
      audio(audio),
      programDir(ProgramDirectory()),
      document(shell, configuration, run.inputRunning, StoredSelection(tables)),
      effects(EffectTargets{tables, configuration, acquisition, run.inputRunning, document, shell, panes,
                            run.generatorShown}),
      panel(PanelHomes{tables, acquisition, generator, toneFilePath, startup}, document, effects, shell),
      spectrumAnalysis(shell),
      scope(ScopeViewParts{document, acquisition, configuration, redraw, panes, shell}),
      spectrum(SpectrumViewParts{document, spectrumAnalysis, acquisition, configuration, run, redraw, panes, shell}),
      scopePanel(ScopePanelParts{panel.scope, tables, document, run, scope}),
      spectrumPanel(SpectrumPanelParts{panel.spectrum, tables, document, acquisition, panel.loadedPanel(), spectrum}),
      readouts(MeasurementReadoutsParts{document, scope, spectrum}),
      outputDisplay(OutputDisplayTargets{panel, effects, tables, acquisition, configuration, run.inputRunning,
                                          [this] { takeRecordInViews(); }, scopePanel}),
      output(GeneratorOutputParts{generator, toneLists, library,
                                  [this] {
                                      return OutputCalibration{configuration.outputFullScale8,
                                                               configuration.outputFullScale16};
                                  },
                                  seedClock, shell, run, &audio, &document}),
      captureLink(CaptureLinkParts{document, panel, tables, configuration, acquisition, run.inputRunning, shell, effects,
                                   scopePanel}),
      capture(CaptureParts{document, acquisition, run, redraw, configuration, shell, audio}, &captureLink) {
    effects.attachSampling(&panel.sampling);
    output.attachDisplay(&outputDisplay);
    panel.resetPanel();
    panel.createBars();
    scopePanel.takeTimeRange();
    effects.attachInstrumentViews(EffectViews{&scope, &spectrum, &scopePanel, &spectrumPanel, &readouts});
    spectrum.setFrameHooks(&effects);
    effects.attachInputMonitoring(&capture);
    document.SetFrameHooks(&panel);
}

void Instrument::startUp(const std::optional<std::filesystem::path>& commandLineFile) {
    readDefaultPanel();
    readConfiguration();
    loadGeneratorFiles();
    makeFreshDocument();
    if (!commandLineFile || !document.OnOpenDocument(*commandLineFile, scopePanel.settings().type))
        document.OnNewDocument();
    takeRecordInViews();
}

FrameParts Instrument::frameParts() {
    return FrameParts{
        [this](const std::optional<std::filesystem::path>& file) { startUp(file); },
        DocumentCommandParts{document, panel, startup, shell, toneLists, programDir, [this] { takeRecordInViews(); },
                             [this] { return scopePanel.settings().type; }},
        document,
        panel,
        effects,
        tables,
        configuration,
        acquisition,
        run,
        panes,
        startup,
        shell,
        output,
        capture,
        outputDisplay,
        scope,
        spectrumAnalysis,
        [this] { return saveDefaultPanel(); },
    };
}

void Instrument::takeRecordInViews() {
    scopePanel.takeRecord(startup.scopeKeepsPanel());
    spectrumPanel.takeRecord(startup.spectrumKeepsPanel());
    readouts.refresh();
}

bool Instrument::readDefaultPanel() {
    if (!panel.loadPanel(programDir / kDefaultPanelFileName)) return false;
    panel.createBars();
    scopePanel.takeTimeRange();
    return true;
}

bool Instrument::readConfiguration() {
    return LoadInstrumentConfiguration(programDir / kInstrumentConfigurationFileName, configuration);
}

bool Instrument::loadGeneratorFiles() {
    switch (WaveformCode(generator, 0)) {
    case kWaveformMultiTones:
        return ReadToneFile(programDir / kDefaultToneFileName, toneLists, toneFilePath, shell);
    case kWaveformLibrary:
        return toneFilePath.empty() || LoadLibrary(toneFilePath, library, toneFilePath, shell);
    default:
        return true;
    }
}

void Instrument::makeFreshDocument() {
    document.MakeFresh(StoredSelection(tables));
    document.SetModifiedFlag(false);
}

bool Instrument::saveDefaultPanel() {
    MakeProgramDirectory(programDir);
    return panel.savePanel(programDir / kDefaultPanelFileName, toneLists, programDir);
}

}  // namespace tonewell
