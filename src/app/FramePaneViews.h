#pragma once
// The spectrum view of the lower pane as the main frame drives it: it attaches itself to the
// frame (CMainFrame::setSpectrumView); until it is attached its pane is empty and the frame's
// calls to it are left out. (The oscilloscope view is the instrument's own.) UI thread.

#include "app/PanelEffects.h"

namespace tonewell {

class SpectrumAnalysis;

class SpectrumPaneView {
public:
    virtual ~SpectrumPaneView() = default;
    virtual void OnInitialUpdate() = 0;
    // The view adapts its toolbar to the channels of the document.
    virtual void AdaptToolbar() = 0;
    virtual void Redraw() = 0;
    // The view's axis choices.
    virtual SpectrumScales scales() const = 0;
    // The results as last computed for the display (what the export writes).
    virtual const SpectrumAnalysis& analysis() const = 0;
};

}  // namespace tonewell
