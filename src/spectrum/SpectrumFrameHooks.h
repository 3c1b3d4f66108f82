#pragma once
// What the spectrum view asks of the main frame around it: the oscilloscope's display type
// (channel B takes no cursor while it draws X-Y) and the two axis scale dialogs its double taps
// open. The frame implements it; called on the UI thread. A view without a frame (a picture
// drawn headlessly) opens no dialog.

#include "spectrum/SpectrumScaleModes.h"

namespace tonewell {

class SpectrumFrameHooks {
public:
    virtual ~SpectrumFrameHooks() = default;

    // The oscilloscope's display type (0 both, 1 A+B, 2 A-B, 3 X-Y).
    virtual int scopeType() const = 0;
    // "Spectrum Analyzer X Axis Scale" / "Spectrum Analyzer Y Axis Scale", modal; returns when
    // the dialog has closed.
    virtual void openXScaleDialog() = 0;
    virtual void openYScaleDialog() = 0;
};

}  // namespace tonewell
