#pragma once
// The "Spectrum Analyzer X Axis Scale" dialog as a model: the radio buttons "Linear" and "Log"
// for the frequency axis of the amplitude spectrum, OK and Cancel. Opened by command 32813 or a
// double tap below the plot; never while input monitoring runs. UI thread.

#include "controls/RadioControl.h"
#include "spectrum/SpectrumScaleModes.h"

namespace tonewell {

struct RunState;

inline constexpr const char* kSpectrumXScaleTitle = "Spectrum Analyzer X Axis Scale";

class SpectrumXScaleDialog {
public:
    SpectrumXScaleDialog(SpectrumScaleChoice choice, const RunState& run);

    // Takes the current choice; false (the dialog does not open) while input monitoring runs.
    bool Open();
    // The choice is handed on; a change recomputes and redraws the view and clears its cursors.
    void OnOk();
    void OnCancel() {}

    RadioControl scale;  // 0 "Linear", 1 "Log"

private:
    SpectrumScaleChoice choice_;
    const RunState& run_;
};

}  // namespace tonewell
