#pragma once
// What "Display in Oscilloscope" asks of the main frame: the generator shows each played second
// in the oscilloscope, so capture stops, the sampling and trigger bars follow the output's format
// and the views show the document as the output fills it. The instrument implements it; UI
// thread.

#include "platform/audio/WaveFormat.h"

namespace tonewell {

class OutputDisplay {
public:
    virtual ~OutputDisplay() = default;

    // Input monitoring is stopped through its Run/Stop when it runs.
    virtual void stopInputMonitoring() = 0;
    // The sampling bar selects the output's sampling frequency, resolution and channels, "Point"
    // holds one second of frames (the sampling frequency) and the trigger mode is "None"; a
    // hidden oscilloscope pane is shown with oscilloscope type 0.
    virtual void alignToOutput(const WaveFormat& format) = 0;
    // The document has taken the output's format: the views and their selectors are brought to
    // it as for a newly opened record of that format.
    virtual void fitViewsToDocument() = 0;
    // The oscilloscope type the document's statistics are computed for.
    virtual int scopeType() const = 0;
    // The document holds new samples or a new format: the spectrum is recomputed and every
    // shown view updates.
    virtual void updateViews() = 0;
    // The generator no longer shows its output: the bars it locked are released and the views
    // show the document again.
    virtual void restoreDisplay() = 0;
};

}  // namespace tonewell
