#pragma once
// The two views of the split window as the main frame drives them. The oscilloscope and
// spectrum views attach themselves to the frame (CMainFrame::setScopeView / setSpectrumView);
// until a view is attached its pane is empty and the frame's calls to it are left out. UI thread.

#include "app/PanelEffects.h"

namespace tonewell {

class SpectrumAnalysis;

class ScopePaneView {
public:
    virtual ~ScopePaneView() = default;
    // A new or opened document: the view's first update.
    virtual void OnInitialUpdate() = 0;
    // The view re-reads its range selectors and rescales.
    virtual void ApplyRanges() = 0;
    // The view adapts its toolbar to the channels sampled.
    virtual void AdaptToolbar() = 0;
    // The view paints again (its redraw flags are already set).
    virtual void Redraw() = 0;
    // The display type the view draws with (both, A+B, A-B, X-Y), as the statistics need it.
    virtual int scopeType() const = 0;
};

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
