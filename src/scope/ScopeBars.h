#pragma once
// The two oscilloscope toolbars as control models. Bar 1: time range, time multiplier, the label
// "A", channel A range and multiplier; bar 2: channel B range and multiplier, oscilloscope type.
// Their handlers belong to the oscilloscope. Owned by the main frame; UI thread.

#include <array>
#include <span>

#include "controls/ListControl.h"
#include "shared/RangeTables.h"
#include "controls/ToolbarItem.h"

namespace tonewell {

inline constexpr int kScopeTimeRangeId = 65021;
inline constexpr int kScopeRangeAId = 65022;
inline constexpr int kScopeTimeMultiplierId = 65023;
inline constexpr int kScopeMultiplierAId = 65024;
inline constexpr int kScopeRangeBId = 65027;
inline constexpr int kScopeMultiplierBId = 65028;
inline constexpr int kScopeTypeId = 65029;

class ScopeBars {
public:
    ScopeBars();
    ScopeBars(const ScopeBars&) = delete;
    ScopeBars& operator=(const ScopeBars&) = delete;

    // Every list emptied, refilled from its table and set to the table's stored row.
    void Fill(const RangeTables& tables);

    std::span<const ToolbarItem> bar1() const { return bar1_; }
    std::span<const ToolbarItem> bar2() const { return bar2_; }

    ListControl timeRange{kScopeTimeRangeId};
    ListControl timeMultiplier{kScopeTimeMultiplierId};
    ListControl rangeA{kScopeRangeAId};
    ListControl multiplierA{kScopeMultiplierAId};
    ListControl rangeB{kScopeRangeBId};
    ListControl multiplierB{kScopeMultiplierBId};
    ListControl type{kScopeTypeId};

private:
    std::array<ToolbarItem, 5> bar1_;
    std::array<ToolbarItem, 3> bar2_;
};

}  // namespace tonewell
