#pragma once
// The oscilloscope's scales as its seven selectors give them. The bars' controller reads them
// into this value and hands it to the view, which draws with it.

#include <cstdint>

#include "acquisition/SignalRecord.h"
#include "shared/RangeCode.h"

namespace tonewell {

struct ScopeSettings {
    RangeCode xRange{0x300A};        // the time range (never "Off")
    std::uint32_t xMultiplier = 1;   // 1 .. 1000
    RangeCode aRange;                // "Off" (0) hides the channel
    RangeCode bRange;
    std::uint32_t aMultiplier = 0;   // 0 "Off", 1, 2, 5, 10
    std::uint32_t bMultiplier = 0;
    int type = kScopeTypeSeparate;   // 0 A and B, 1 A+B, 2 A-B, 3 Lissajous
    friend bool operator==(const ScopeSettings&, const ScopeSettings&) = default;
};

}  // namespace tonewell
