#pragma once
// The "Spectrum Analyzer Y Axis Scale" dialog as a model: the radio buttons "Volt" and "dB" and
// the check box "Normalized" for the amplitude axis of the amplitude spectrum, OK and Cancel.
// Opened by command 32814 or a double tap beside the plot; never while input monitoring runs.
// UI thread.

#include "controls/CheckControl.h"
#include "controls/RadioControl.h"
#include "spectrum/SpectrumScaleModes.h"

namespace tonewell {

struct RunState;

inline constexpr const char* kSpectrumYScaleTitle = "Spectrum Analyzer Y Axis Scale";

class SpectrumYScaleDialog {
public:
    SpectrumYScaleDialog(SpectrumScaleChoice choice, const RunState& run);

    // Takes the current choices; false (the dialog does not open) while input monitoring runs.
    bool Open();
    // The choices are handed on; a change recomputes and redraws the view and clears its cursors, and
    // a change of "Normalized" refills both Y range lists with their defaults.
    void OnOk();
    void OnCancel() {}

    RadioControl scale;     // 0 "Volt", 1 "dB"
    CheckControl normalized;

private:
    SpectrumScaleChoice choice_;
    const RunState& run_;
};

}  // namespace tonewell
