#pragma once
// The selection couplings between the oscilloscope time range, the record length "Point", the
// sampling frequency and the spectrum frequency range, acting on the panel's control models.
// UI thread.

#include <cstdint>

#include "acquisition/AcquisitionParameters.h"
#include "controls/EditControl.h"
#include "controls/ListControl.h"
#include "app/PanelEffects.h"
#include "shared/RangeTables.h"
#include "spectrum/SpectrumSelectors.h"

namespace tonewell {

// The controls the couplings read and set; all owned by the main frame's bars.
struct TimeRangeCouplingControls {
    ListControl& timeRange;               // oscilloscope time range (65021)
    ListControl& samplingFrequency;       // 65018
    ListControl& recordLength;            // editable "Point" (65020)
    SpectrumSelectors& spectrum;          // its X range list (65033) and the list it shows
    EditControl& triggerDelay;            // delay in percent, "25%" (65014)
};

// The record length follows the selected time range at samplingRate (at least one sample) and
// is shown in "Point"; with no time range selected "Point" keeps its length. Either way, while
// the spectrum X range list shows frequency ranges (an amplitude or phase spectrum), it takes
// the smallest one reaching half the rate (kept when none does). Returns the record length.
std::int32_t RecordLengthFollowsTimeRange(const RangeTables& tables, const TimeRangeCouplingControls& controls,
                                          std::int32_t samplingRate);

// The time range becomes the shortest one that holds recordLength samples at samplingRate;
// when none does (a record longer than the longest range) the selection stays.
void TimeRangeFollowsRecordLength(const RangeTables& tables, ListControl& timeRange, std::int32_t recordLength,
                                  std::int32_t samplingRate);

// The selected sampling frequency's value, or fallback when nothing is selected.
std::int32_t SelectedSamplingRate(const RangeTables& tables, const ListControl& samplingFrequency,
                                  std::int32_t fallback);

// The user picked a time range. When its code differs from the oscilloscope's: samplingRate is
// re-read from the frequency list, the record length (and in "AMS"/"PHS" the spectrum frequency
// range) follows, triggerDelaySamples is recomputed from the delay box, and the document takes
// the new format. In every case the oscilloscope rescales, running capture restarts and the
// views redraw.
void OnTimeRangeChanged(const RangeTables& tables, const TimeRangeCouplingControls& controls,
                        AcquisitionParameters& acquisition, PanelEffects& effects);

}  // namespace tonewell
