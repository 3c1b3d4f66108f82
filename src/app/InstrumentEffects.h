#pragma once
// The front panel's effects as the instrument carries them out: the document takes its format
// here, running capture is restarted through the attached input monitoring, the oscilloscope
// view rescales, adapts its selectors and changes its type, and what concerns the panes goes to
// the frame that attached itself. Without a frame the panes are those of the loaded panel and
// no spectrum scales are shown. Owned by Instrument; UI thread; the references must outlive it.

#include <atomic>

#include "acquisition/AcquisitionParameters.h"
#include "acquisition/InputMonitoring.h"
#include "acquisition/SignalDoc.h"
#include "app/FrameViews.h"
#include "app/PanelEffects.h"
#include "platform/Shell.h"
#include "scope/CScopeView.h"
#include "shared/InstrumentConfiguration.h"
#include "shared/RangeCode.h"
#include "shared/RangeTables.h"

namespace tonewell {

class FrontPanel;

// The parts of the instrument the effects act on.
struct EffectTargets {
    const RangeTables& tables;
    const InstrumentConfiguration& configuration;
    AcquisitionParameters& acquisition;
    std::atomic<bool>& inputRunning;
    CSignalDoc& document;
    Shell& shell;
};

class InstrumentEffects : public PanelEffects {
public:
    // panel is only read once the panel's bars exist (it may be constructed after this object).
    InstrumentEffects(EffectTargets targets, const FrontPanel& panel);
    InstrumentEffects(const InstrumentEffects&) = delete;
    InstrumentEffects& operator=(const InstrumentEffects&) = delete;

    // The frame attaches its views here; nullptr detaches them.
    void attachViews(FrameViews* views) { views_ = views; }
    // Capture attaches its Run/Stop here; nullptr detaches it (then input monitoring never runs).
    void attachInputMonitoring(InputMonitoring* monitoring) { monitoring_ = monitoring; }
    // The instrument attaches its oscilloscope view here.
    void attachScope(CScopeView* scope) { scope_ = scope; }
    // The attached input monitoring, nullptr while there is none.
    InputMonitoring* monitoring() const { return monitoring_; }

    // A captured record arrived: the spectrum view recomputes at its next drawing pass.
    void MarkSpectrumDirty() {
        if (views_) views_->MarkSpectrumDirty();
    }

    // The oscilloscope takes the time range its bar selects, as when the view is first shown.
    void takeScopeTimeRange();

    // PanelEffects
    // The time range the oscilloscope took when it last applied its ranges (not the bar's row
    // just picked: the time-range handler compares the two).
    RangeCode ScopeTimeRange() const override { return scopeTimeRange_; }
    void ConfigureDocumentFormat() override;
    void ApplyScopeRanges() override;
    void OnScopeTypeChanged() override;
    void AdaptViewToolbars() override;
    void RestartCaptureIfRunning() override;
    void RedrawAllViews() override;
    PaneFlags Panes() const override;
    std::optional<SpectrumScales> ShownSpectrumScales() const override;
    void ApplyViewVisibility() override;

private:
    EffectTargets targets_;
    const FrontPanel& panel_;
    FrameViews* views_ = nullptr;
    InputMonitoring* monitoring_ = nullptr;
    CScopeView* scope_ = nullptr;
    RangeCode scopeTimeRange_;
};

}  // namespace tonewell
