#include "app/qt/PanePictures.h"

#include "plot/qt/PlotPicture.h"
#include "scope/CScopeView.h"
#include "spectrum/CSpectrumView.h"
#include "scope/qt/ScopeViewWidget.h"
#include "spectrum/qt/SpectrumViewWidget.h"

namespace tonewell {

PanePictures::PanePictures(CScopeView& scope, ScopeViewWidget* scopePane, CSpectrumView& spectrum,
                           SpectrumViewWidget* spectrumPane)
    : scope_(scope), scopePane_(scopePane), spectrum_(spectrum), spectrumPane_(spectrumPane) {}

bool PanePictures::writeScopePicture(const std::filesystem::path& path) {
    if (!scopePane_) return false;
    const bool written = WritePlotPicture(scope_, path, scopePane_->clientSize());
    // The picture laid the view out for its own canvas; the pane draws itself again.
    scopePane_->update();
    return written;
}

bool PanePictures::writeSpectrumPicture(const std::filesystem::path& path) {
    if (!spectrumPane_) return false;
    const bool written = WritePlotPicture(spectrum_, path, spectrumPane_->clientSize());
    spectrumPane_->update();
    return written;
}

}  // namespace tonewell
