#pragma once
// What the front panel's selection handlers ask of the rest of the program: the document, the
// oscilloscope and capture. The main frame implements it; called on the UI thread.

#include "app/RangeCode.h"

namespace tonewell {

class PanelEffects {
public:
    virtual ~PanelEffects() = default;

    // The time range the oscilloscope currently draws with (its xRange).
    virtual RangeCode ScopeTimeRange() const = 0;
    // The document takes the format of the sampling bar and is emptied.
    virtual void ConfigureDocumentFormat() = 0;
    // The oscilloscope re-reads its range selectors and rescales.
    virtual void ApplyScopeRanges() = 0;
    // When input monitoring runs: stop it, mark it for restart and let timer 2 restart it.
    virtual void RestartCaptureIfRunning() = 0;
    // Every view of the active document redraws.
    virtual void RedrawAllViews() = 0;
};

}  // namespace tonewell
