#include "spectrum/SpectrumXScaleDialog.h"

#include "shared/ProgramState.h"

namespace tonewell {

SpectrumXScaleDialog::SpectrumXScaleDialog(SpectrumScaleChoice choice, const RunState& run)
    : scale(1, {"Linear", "Log"}), choice_(std::move(choice)), run_(run) {}

bool SpectrumXScaleDialog::Open() {
    if (run_.inputRunning.load()) return false;
    scale.setChoice(static_cast<int>(choice_.current().xScale));
    return true;
}

void SpectrumXScaleDialog::OnOk() {
    SpectrumScaleModes modes = choice_.current();
    if (scale.choice() == static_cast<int>(SpectrumXScale::Log))
        modes.xScale = SpectrumXScale::Log;
    else if (scale.choice() == static_cast<int>(SpectrumXScale::Linear))
        modes.xScale = SpectrumXScale::Linear;
    choice_.choose(modes);
}

}  // namespace tonewell
