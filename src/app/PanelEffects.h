#pragma once
// What the front panel's selection handlers ask of the rest of the program: the document, the
// oscilloscope and capture. Instrument carries them out (InstrumentEffects); called on the UI thread.

#include <optional>

#include "shared/RangeCode.h"

#include "shared/ProgramState.h"

namespace tonewell {


// The spectrum view's axis choices.
struct SpectrumScales {
    int xScale = 0;  // 0 linear, 1 logarithmic
    int yScale = 0;  // 0 volt, 1 dB
    bool normalized = true;
};

class PanelEffects {
public:
    virtual ~PanelEffects() = default;

    // The time range the oscilloscope currently draws with (its xRange).
    virtual RangeCode ScopeTimeRange() const = 0;
    // The document takes the format of the sampling bar and is emptied.
    virtual void ConfigureDocumentFormat() = 0;
    // The oscilloscope re-reads its range selectors and rescales.
    virtual void ApplyScopeRanges() = 0;
    // The oscilloscope takes the type its type selector now shows.
    virtual void OnScopeTypeChanged() = 0;
    // The spectrum view re-reads its bars (every spectrum list but the type) and recomputes.
    virtual void ApplySpectrumControls() = 0;
    // The spectrum view takes the type its type list now shows.
    virtual void OnSpectrumTypeChanged() = 0;
    // The oscilloscope and spectrum bars adapt to the channels now sampled.
    virtual void AdaptViewToolbars() = 0;
    // When input monitoring runs: stop it, mark it for restart and let timer 2 restart it.
    virtual void RestartCaptureIfRunning() = 0;
    // Every view of the active document redraws.
    virtual void RedrawAllViews() = 0;

    // The frame's panes as they are now.
    virtual PaneFlags Panes() const = 0;
    // The spectrum view's scales while its pane is shown; nothing while it is hidden.
    virtual std::optional<SpectrumScales> ShownSpectrumScales() const = 0;
    // The panes and the generator dialog take the visibility the applied panel wants.
    virtual void ApplyViewVisibility(const PaneFlags& wanted) = 0;
};

}  // namespace tonewell
