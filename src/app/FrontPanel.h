#pragma once
// The front panel: the trigger, sampling, oscilloscope and spectrum bars as control models with
// their notifications, the loaded panel setting, and the panel's part in a new or opened
// document. Owned by the composition root; UI thread; the references must outlive the panel.

#include <filesystem>
#include <limits>
#include <string>

#include "app/AcquisitionPanel.h"
#include "acquisition/AcquisitionParameters.h"
#include "acquisition/DocumentFrameHooks.h"
#include "acquisition/SamplingBar.h"
#include "acquisition/SignalDoc.h"
#include "acquisition/TriggerBar.h"
#include "app/PanelEffects.h"
#include "app/PanelSetting.h"
#include "app/Startup.h"
#include "shared/RangeTables.h"
#include "scope/ScopeBars.h"
#include "spectrum/SpectrumSelectors.h"
#include "generator/GeneratorSettings.h"
#include "platform/Shell.h"

namespace tonewell {

// The program-wide values the panel setting covers besides the selector lists.
struct PanelHomes {
    RangeTables& tables;
    AcquisitionParameters& acquisition;
    GeneratorSettings& generator;
    std::string& toneFilePath;
    Startup& startup;  // applying a panel starts its stage over; New asks it
};

class FrontPanel : public DocumentFrameHooks {
public:
    FrontPanel(PanelHomes homes, CSignalDoc& document, PanelEffects& effects, Shell& shell);

    // The bars' creation: every list filled from its stored row, the stored level, delay and
    // record length shown, the handlers connected.
    void createBars();

    // Built-in defaults into the loaded panel and the program's homes of its values.
    void resetPanel();
    // Reads a panel file into the loaded panel and the homes; false (nothing changed) when it
    // cannot be read or is refused (then with the message).
    bool loadPanel(const std::filesystem::path& path);
    // The current panel, as Save Panel Setting writes it.
    PanelSetting currentPanel() const;
    // Writes the current panel; with waveform A "MultiTones" also "default.tcf" in programDir,
    // which toneFilePath then remembers.
    bool savePanel(const std::filesystem::path& path, const ToneLists& toneLists,
                   const std::filesystem::path& programDir);

    // Puts the loaded panel into the bars, ends the start-up stage, offers to save a modified
    // document while a pane is shown, then visibility, the document's format, the view toolbars
    // and the trigger-mode enabling.
    void applyPanel();

    // DocumentFrameHooks
    void ApplyNewDocumentPanel(CSignalDoc& document) override;
    void ShowRecordLength(std::string_view text) override;
    void SelectChannels(bool bothChannels, bool triggerSourceEnabled) override;
    bool SelectResolution(int bits) override;
    bool SelectSamplingFrequency(std::uint32_t samplesPerSecond) override;

    const PanelSetting& loadedPanel() const { return panel_; }
    // The sampling bar's selections (the current values where nothing is selected).
    SamplingSelection samplingSelection() const { return handlers_.samplingSelection(); }

    TriggerBar trigger;
    SamplingBar sampling;
    ScopeBars scope;
    SpectrumSelectors spectrum;

private:
    void fillBars();
    void connectScopeBars();
    void connectSpectrumBars();
    void storePanel();

    PanelHomes homes_;
    CSignalDoc& document_;
    PanelEffects& effects_;
    Shell& shell_;
    PanelSetting panel_ = BuiltInPanelSetting();
    AcquisitionPanel handlers_;
};

}  // namespace tonewell
