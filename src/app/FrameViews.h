#pragma once
// What only the frame does for the front panel and the views: the panes' visibility of an
// applied panel and the spectrum's axis dialogs. The instrument forwards these to the frame that
// attached itself (Instrument::effects.attachViews). UI thread.


#include "app/PanelEffects.h"

#include "shared/ProgramState.h"

namespace tonewell {

class FrameViews {
public:
    virtual ~FrameViews() = default;
    // The panes and the generator dialog take the visibility the applied panel wants (wanted
    // carries its pane flags).
    virtual void ApplyViewVisibility(const PaneFlags& wanted) = 0;
    // The spectrum view's double taps: "Spectrum Analyzer X Axis Scale" / "Spectrum Analyzer Y
    // Axis Scale", modal, as commands 32813 and 32814 open them. A frame without them opens none.
    virtual void OpenSpectrumXScaleDialog() {}
    virtual void OpenSpectrumYScaleDialog() {}
};

}  // namespace tonewell
