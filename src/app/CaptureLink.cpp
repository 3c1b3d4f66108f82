#include "app/CaptureLink.h"

#include "acquisition/DocumentFormat.h"

namespace tonewell {

bool CaptureLink::ConfigureDocument() {
    return tonewell::ConfigureDocumentFormat(parts_.document, parts_.sampling.selection(parts_.tables, parts_.acquisition),
                                             parts_.configuration,
                                             parts_.acquisition, parts_.inputRunning, parts_.shell);
}

bool CaptureLink::ScopeShown() const { return parts_.effects.Panes().scopeShown; }

bool CaptureLink::SpectrumShown() const { return parts_.effects.Panes().spectrumShown; }

int CaptureLink::ScopeType() const { return parts_.scope.settings().type; }

void CaptureLink::RedrawAllViews() { parts_.effects.RedrawAllViews(); }

}  // namespace tonewell
