#include "spectrum/SpectrumXScaleDialog.h"

#include "shared/ProgramState.h"
#include "spectrum/CSpectrumView.h"

namespace tonewell {

SpectrumXScaleDialog::SpectrumXScaleDialog(CSpectrumView& view, const RunState& run)
    : scale(1, {"Linear", "Log"}), view_(view), run_(run) {}

bool SpectrumXScaleDialog::Open() {
    if (run_.inputRunning.load()) return false;
    scale.setChoice(static_cast<int>(view_.scaleModes().xScale));
    return true;
}

void SpectrumXScaleDialog::OnOk() {
    SpectrumScaleModes modes = view_.scaleModes();
    if (scale.choice() == static_cast<int>(SpectrumXScale::Log))
        modes.xScale = SpectrumXScale::Log;
    else if (scale.choice() == static_cast<int>(SpectrumXScale::Linear))
        modes.xScale = SpectrumXScale::Linear;
    view_.setScaleModes(modes);
}

}  // namespace tonewell
