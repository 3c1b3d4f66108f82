#include "app/CaptureLink.h"

#include "acquisition/DocumentFormat.h"
#include "app/FrontPanel.h"

namespace tonewell {

CaptureSettings CaptureLink::SettingsFromBars() const {
    CaptureSettings settings;
    settings.sampling = parts_.panel.samplingSelection();
    ReadTriggerBar(parts_.panel.trigger, parts_.tables, parts_.acquisition, settings);
    return settings;
}

void CaptureLink::RecordLengthRefused() { parts_.panel.sampling.point.setText("1"); }

bool CaptureLink::ConfigureDocument(const SamplingSelection& selection) {
    return tonewell::ConfigureDocumentFormat(parts_.document, selection, parts_.configuration, parts_.acquisition,
                                             parts_.inputRunning, parts_.shell);
}

bool CaptureLink::ScopeShown() const { return parts_.effects.Panes().scopeShown; }

bool CaptureLink::SpectrumShown() const { return parts_.effects.Panes().spectrumShown; }

int CaptureLink::ScopeType() const { return parts_.scope.settings().type; }

void CaptureLink::RedrawAllViews() { parts_.effects.RedrawAllViews(); }

}  // namespace tonewell
