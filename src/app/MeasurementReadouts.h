#pragma once
// The measurement readouts of the views: while "Show measurements" is on, each record is
// measured once, when it arrives (the document's revision moved on), never in a drawing pass,
// and both views are handed the result to draw. Off, the views are handed an empty readout and
// draw as without it. Owned by Instrument; UI thread; the references must outlive it.

#include <cstdint>
#include <optional>

#include "acquisition/SignalDoc.h"
#include "app/ReadoutOptions.h"
#include "measurement/ToneMeasurement.h"
#include "plot/MeasurementReadout.h"
#include "scope/CScopeView.h"
#include "spectrum/CSpectrumView.h"

namespace tonewell {

struct MeasurementReadoutsParts {
    const CSignalDoc& document;
    CScopeView& scope;
    CSpectrumView& spectrum;
};

class MeasurementReadouts {
public:
    explicit MeasurementReadouts(MeasurementReadoutsParts parts) : parts_(parts) {}
    MeasurementReadouts(const MeasurementReadouts&) = delete;
    MeasurementReadouts& operator=(const MeasurementReadouts&) = delete;

    // New choices: the record is measured again with them (or the readouts go).
    void setOptions(const ReadoutOptions& options);
    const ReadoutOptions& options() const { return options_; }

    // A record may have arrived: measured when shown and its revision is new.
    void refresh();

    const MeasurementReadout& readout() const { return readout_; }

private:
    void measure();

    MeasurementReadoutsParts parts_;
    ReadoutOptions options_;
    ToneMeter meter_;
    std::optional<std::uint64_t> measuredRevision_;
    MeasurementReadout readout_;
};

// One channel's measurement as the views show it.
ChannelReadout ReadoutOf(const ChannelMeasurement& measured);

}  // namespace tonewell
