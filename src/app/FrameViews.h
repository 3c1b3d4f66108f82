#pragma once
// What the frame and its two views do when the front panel changes: the instrument forwards
// these effects to the frame that attached itself (Instrument::effects.attachViews). UI thread.

#include <optional>

#include "app/PanelEffects.h"

namespace tonewell {

class FrameViews {
public:
    virtual ~FrameViews() = default;

    // The oscilloscope re-reads its range selectors and rescales.
    virtual void ApplyScopeRanges() = 0;
    // The shown oscilloscope and spectrum views adapt their toolbars to the channels sampled.
    virtual void AdaptViewToolbars() = 0;
    // Every view of the document redraws.
    virtual void RedrawAllViews() = 0;
    // A captured record arrived: the spectrum view recomputes at its next drawing pass.
    virtual void MarkSpectrumDirty() {}
    // The panes and the generator dialog take the visibility of the applied panel.
    virtual void ApplyViewVisibility() = 0;

    // The frame's panes as they are now.
    virtual PaneFlags Panes() const = 0;
    // The spectrum view's scales while its pane is shown; nothing while it is hidden.
    virtual std::optional<SpectrumScales> ShownSpectrumScales() const = 0;
};

}  // namespace tonewell
