#pragma once
// The instrument's side of input capture: capture starts with the settings the front panel's
// sampling and trigger bars show, the document takes their format, the panes are the
// instrument's, the statistics follow the oscilloscope's type, and the views are redrawn through
// the front panel's effects.
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
#include "shared/RangeTables.h"

namespace tonewell {

class FrontPanel;

struct CaptureLinkParts {
    CSignalDoc& document;
    FrontPanel& panel;  // the sampling and trigger bars
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

    CaptureSettings SettingsFromBars() const override;
    void RecordLengthRefused() override;
    bool ConfigureDocument(const SamplingSelection& selection) override;
    bool ScopeShown() const override;
    bool SpectrumShown() const override;
    int ScopeType() const override;
    void RedrawAllViews() override;

private:
    CaptureLinkParts parts_;
};

}  // namespace tonewell
