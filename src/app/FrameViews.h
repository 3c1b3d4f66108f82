#pragma once
// What the frame and its two views do when the front panel changes: the instrument forwards
// these effects to the frame that attached itself (Instrument::effects.attachViews). UI thread.


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
    // The panes and the generator dialog take the visibility of the applied panel.
    virtual void ApplyViewVisibility() = 0;

    // The frame's panes as they are now.
    virtual PaneFlags Panes() const = 0;

    // The spectrum view's double taps: "Spectrum Analyzer X Axis Scale" / "Spectrum Analyzer Y
    // Axis Scale", modal, as commands 32813 and 32814 open them. A frame without them opens none.
    virtual void OpenSpectrumXScaleDialog() {}
    virtual void OpenSpectrumYScaleDialog() {}
};

}  // namespace tonewell
