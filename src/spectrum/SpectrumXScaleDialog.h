#pragma once
// The "Spectrum Analyzer X Axis Scale" dialog as a model: the radio buttons "Linear" and "Log"
// for the frequency axis of the amplitude spectrum, OK and Cancel. Opened by command 32813 or a
// double tap below the plot; never while input monitoring runs. UI thread; the view must
// outlive the dialog.

#include "controls/RadioControl.h"

namespace tonewell {

class CSpectrumView;
struct RunState;

inline constexpr const char* kSpectrumXScaleTitle = "Spectrum Analyzer X Axis Scale";

class SpectrumXScaleDialog {
public:
    SpectrumXScaleDialog(CSpectrumView& view, const RunState& run);

    // Takes the view's choice; false (the dialog does not open) while input monitoring runs.
    bool Open();
    // The choice goes to the view; a change recomputes and redraws it and clears its cursors.
    void OnOk();
    void OnCancel() {}

    RadioControl scale;  // 0 "Linear", 1 "Log"

private:
    CSpectrumView& view_;
    const RunState& run_;
};

}  // namespace tonewell
