#pragma once
// The instrument's side of input capture: the document takes the sampling bar's format, the
// panes are the instrument's, the statistics
// follow the oscilloscope's type, and the views are redrawn through the front panel's effects.
// Owned by Instrument; UI thread; the references must outlive it.

#include <atomic>

#include "acquisition/AcquisitionParameters.h"
#include "acquisition/CaptureEngine.h"
#include "acquisition/SamplingBar.h"
#include "acquisition/SignalDoc.h"
#include "app/InstrumentEffects.h"
#include "platform/Shell.h"
#include "app/ScopePanel.h"
#include "shared/InstrumentConfiguration.h"

namespace tonewell {

struct CaptureLinkParts {
    CSignalDoc& document;
    const SamplingBar& sampling;  // the format the document takes
    const RangeTables& tables;
    const InstrumentConfiguration& configuration;
    AcquisitionParameters& acquisition;
    std::atomic<bool>& inputRunning;
    Shell& shell;
    InstrumentEffects& effects;
    const ScopePanel& scope;  // the oscilloscope type the statistics follow
};

class CaptureLink : public CaptureHooks {
public:
    explicit CaptureLink(const CaptureLinkParts& parts) : parts_(parts) {}

    bool ConfigureDocument() override;
    bool ScopeShown() const override;
    bool SpectrumShown() const override;
    int ScopeType() const override;
    void RedrawAllViews() override;

private:
    CaptureLinkParts parts_;
};

}  // namespace tonewell
