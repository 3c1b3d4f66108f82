#pragma once
// The front panel's effects as the instrument carries them out: the document takes its format
// here, running capture is restarted through the attached input monitoring, the oscilloscope's
// and the spectrum's bar controllers hand their views new settings, and what concerns the panes
// goes to the frame that attached itself. The panes are the instrument's one value, which the
// frame changes (without a frame, an applied panel sets it). It is also the spectrum view's frame
// hooks: the oscilloscope's type answers them and the double taps' dialogs go to the frame.
// Owned by Instrument; UI thread; the references must outlive it.

#include <atomic>

#include "acquisition/AcquisitionParameters.h"
#include "acquisition/InputMonitoring.h"
#include "acquisition/SamplingBar.h"
#include "acquisition/SignalDoc.h"
#include "app/FrameViews.h"
#include "app/MeasurementReadouts.h"
#include "app/PanelEffects.h"
#include "app/ScopePanel.h"
#include "app/SpectrumPanel.h"
#include "platform/Shell.h"
#include "scope/CScopeView.h"
#include "spectrum/CSpectrumView.h"
#include "spectrum/SpectrumFrameHooks.h"
#include "shared/InstrumentConfiguration.h"
#include "shared/RangeCode.h"
#include "shared/RangeTables.h"

namespace tonewell {

// The views and their bars' controllers the effects drive.
struct EffectViews {
    CScopeView* scope = nullptr;
    CSpectrumView* spectrum = nullptr;
    ScopePanel* scopePanel = nullptr;
    SpectrumPanel* spectrumPanel = nullptr;
    MeasurementReadouts* readouts = nullptr;  // measures a record that arrived before the views redraw
};

// The parts of the instrument the effects act on.
struct EffectTargets {
    const RangeTables& tables;
    const InstrumentConfiguration& configuration;
    AcquisitionParameters& acquisition;
    std::atomic<bool>& inputRunning;
    CSignalDoc& document;
    Shell& shell;
    PaneFlags& panes;                         // the instrument's panes
    const std::atomic<bool>& generatorShown;  // the generator dialog is open
};

class InstrumentEffects : public PanelEffects, public SpectrumFrameHooks {
public:
    explicit InstrumentEffects(EffectTargets targets);
    InstrumentEffects(const InstrumentEffects&) = delete;
    InstrumentEffects& operator=(const InstrumentEffects&) = delete;

    // The frame attaches its views here; nullptr detaches them.
    void attachViews(FrameViews* views) { views_ = views; }
    // The sampling bar whose format the document takes (the front panel's, made after this
    // object, so attached once both exist).
    void attachSampling(const SamplingBar* sampling) { sampling_ = sampling; }
    // Capture attaches its Run/Stop here; nullptr detaches it (then input monitoring never runs).
    void attachInputMonitoring(InputMonitoring* monitoring) { monitoring_ = monitoring; }
    // The instrument attaches its views and their bars' controllers here.
    void attachInstrumentViews(EffectViews views) { instrumentViews_ = views; }
    // The attached input monitoring, nullptr while there is none.
    InputMonitoring* monitoring() const { return monitoring_; }

    // PanelEffects
    // The time range the oscilloscope took when it last applied its ranges (not the bar's row
    // just picked: the time-range handler compares the two).
    RangeCode ScopeTimeRange() const override;
    void ConfigureDocumentFormat() override;
    void ApplyScopeRanges() override;
    void OnScopeTypeChanged() override;
    void ApplySpectrumControls() override;
    void OnSpectrumTypeChanged() override;
    void AdaptViewToolbars() override;
    void RestartCaptureIfRunning() override;
    void RedrawAllViews() override;
    PaneFlags Panes() const override;
    std::optional<SpectrumScales> ShownSpectrumScales() const override;
    void ApplyViewVisibility(const PaneFlags& wanted) override;

    // SpectrumFrameHooks
    int scopeType() const override;
    void openXScaleDialog() override;
    void openYScaleDialog() override;

private:
    EffectTargets targets_;
    const SamplingBar* sampling_ = nullptr;
    FrameViews* views_ = nullptr;
    InputMonitoring* monitoring_ = nullptr;
    EffectViews instrumentViews_;
};

}  // namespace tonewell
