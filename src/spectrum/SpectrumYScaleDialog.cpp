#include "spectrum/SpectrumYScaleDialog.h"

#include "shared/ProgramState.h"
#include "spectrum/CSpectrumView.h"

namespace tonewell {

SpectrumYScaleDialog::SpectrumYScaleDialog(CSpectrumView& view, const RunState& run)
    : scale(1, {"Volt", "dB"}), normalized(2, "Normalized"), view_(view), run_(run) {}

bool SpectrumYScaleDialog::Open() {
    if (run_.inputRunning.load()) return false;
    const SpectrumScaleModes modes = view_.scaleModes();
    scale.setChoice(static_cast<int>(modes.yScale));
    normalized.setChecked(modes.normalized);
    return true;
}

void SpectrumYScaleDialog::OnOk() {
    SpectrumScaleModes modes = view_.scaleModes();
    if (scale.choice() == static_cast<int>(SpectrumYScale::Db))
        modes.yScale = SpectrumYScale::Db;
    else if (scale.choice() == static_cast<int>(SpectrumYScale::Volt))
        modes.yScale = SpectrumYScale::Volt;
    modes.normalized = normalized.checked();
    view_.setScaleModes(modes);
}

}  // namespace tonewell
