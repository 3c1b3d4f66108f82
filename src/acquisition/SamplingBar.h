#pragma once
// The sampling toolbar as control models: sampling frequency, channels and resolution lists and
// the editable record-length list "Point", in toolbar order with ids, widths and strings. Owned
// by the main frame; UI thread.

#include <array>
#include <cstdint>
#include <span>

#include "acquisition/AcquisitionParameters.h"
#include "acquisition/DocumentFormat.h"
#include "controls/ListControl.h"
#include "shared/RangeTables.h"
#include "controls/ToolbarItem.h"

namespace tonewell {

inline constexpr int kSamplingChannelsId = 65017;
inline constexpr int kSamplingFrequencyId = 65018;
inline constexpr int kSamplingResolutionId = 65019;
inline constexpr int kRecordLengthId = 65020;

class SamplingBar {
public:
    SamplingBar();
    SamplingBar(const SamplingBar&) = delete;
    SamplingBar& operator=(const SamplingBar&) = delete;

    // The bar's creation: each list filled from its table and set to the table's stored row,
    // "Point" showing the stored record length; samplingBits and samplingRate taken from the
    // selections.
    void Fill(const RangeTables& tables, AcquisitionParameters& acquisition);

    // "Point" can be edited only while record-length editing is switched on in the display
    // settings and the generator is not showing its output in the oscilloscope; the frequency,
    // channels and resolution lists are locked while it does, since the output copies its
    // seconds into the document in its own format.
    void ApplyEnabling(bool pointEditingOn, bool generatorInScope);

    // Channels "A&B" selected.
    bool bothChannels(const RangeTables& tables) const;
    // The selections as the document's format takes them (the current values where nothing is
    // selected).
    SamplingSelection selection(const RangeTables& tables, const AcquisitionParameters& acquisition) const;
    // The integer the "Point" text starts with.
    std::int32_t recordLengthValue() const;

    std::span<const ToolbarItem> items() const { return items_; }

    ListControl frequency{kSamplingFrequencyId};
    ListControl channels{kSamplingChannelsId};
    ListControl resolution{kSamplingResolutionId};
    ListControl point{kRecordLengthId, true};

private:
    std::array<ToolbarItem, 4> items_;
};

}  // namespace tonewell
