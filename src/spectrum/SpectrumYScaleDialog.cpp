#include "spectrum/SpectrumYScaleDialog.h"

#include "shared/ProgramState.h"

namespace tonewell {

SpectrumYScaleDialog::SpectrumYScaleDialog(SpectrumScaleChoice choice, const RunState& run)
    : scale(1, {"Volt", "dB"}), normalized(2, "Normalized"), choice_(std::move(choice)), run_(run) {}

bool SpectrumYScaleDialog::Open() {
    if (run_.inputRunning.load()) return false;
    const SpectrumScaleModes modes = choice_.current();
    scale.setChoice(static_cast<int>(modes.yScale));
    normalized.setChecked(modes.normalized);
    return true;
}

void SpectrumYScaleDialog::OnOk() {
    SpectrumScaleModes modes = choice_.current();
    if (scale.choice() == static_cast<int>(SpectrumYScale::Db))
        modes.yScale = SpectrumYScale::Db;
    else if (scale.choice() == static_cast<int>(SpectrumYScale::Volt))
        modes.yScale = SpectrumYScale::Volt;
    modes.normalized = normalized.checked();
    choice_.choose(modes);
}

}  // namespace tonewell
