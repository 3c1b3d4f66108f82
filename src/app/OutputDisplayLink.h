#pragma once
// The instrument's part of "Display in Oscilloscope": capture is stopped through the attached
// input monitoring, the front panel's sampling and trigger bars follow the output's format and
// are locked while the generator shows its output, and what concerns the panes and views goes
// to the frame that attached itself. Without a frame nothing is drawn or shown. Owned by
// Instrument; UI thread; the references must outlive it.

#include <atomic>

#include "acquisition/AcquisitionParameters.h"
#include "app/FrontPanel.h"
#include "app/InstrumentEffects.h"
#include "generator/OutputDisplay.h"
#include "app/ScopePanel.h"

#include <functional>
#include "shared/InstrumentConfiguration.h"
#include "shared/RangeTables.h"

namespace tonewell {

// What only the frame can do for the generator's display. The frame attaches itself
// (OutputDisplayLink::attachFrame); UI thread.
class OutputDisplayFrame {
public:
    virtual ~OutputDisplayFrame() = default;
    // The hidden oscilloscope pane is shown; its view draws with oscilloscope type 0 (the bar
    // already selects it).
    virtual void showScopePane() = 0;
};

struct OutputDisplayTargets {
    FrontPanel& panel;
    InstrumentEffects& effects;
    const RangeTables& tables;
    AcquisitionParameters& acquisition;
    const InstrumentConfiguration& configuration;
    std::atomic<bool>& inputRunning;
    std::function<void()> takeRecordInViews;  // the views fit a new record as when it is opened
    ScopePanel& scopePanel;                   // the time range is locked while the output shows
};

class OutputDisplayLink : public OutputDisplay {
public:
    explicit OutputDisplayLink(OutputDisplayTargets targets) : targets_(targets) {}
    OutputDisplayLink(const OutputDisplayLink&) = delete;
    OutputDisplayLink& operator=(const OutputDisplayLink&) = delete;

    void attachFrame(OutputDisplayFrame* frame) { frame_ = frame; }

    // OutputDisplay
    void stopInputMonitoring() override;
    void alignToOutput(const WaveFormat& format) override;
    void fitViewsToDocument() override;
    int scopeType() const override;
    void updateViews() override;
    void restoreDisplay() override;

private:
    OutputDisplayTargets targets_;
    OutputDisplayFrame* frame_ = nullptr;
};

}  // namespace tonewell
