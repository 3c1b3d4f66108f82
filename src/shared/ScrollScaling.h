#pragma once
// The scroll arithmetic of the views' magnified axes: the bars' maxima for a multiplier, the
// rescaling when a multiplier changes (the time axis keeps the instant at the centre of the view,
// a value axis keeps the same value at the same height) and the rebuilding of a thumb position
// reported in 16 bits. Pure functions, shared by the
// oscilloscope and the spectrum view. Bar minima are always 0.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tonewell {

// Shown when a thumb position cannot be rebuilt from its 16 bits.
inline constexpr std::string_view kMultiplierTooLargeMessage = "Multiplier must be less than 1000!";

struct ScrollRange {
    std::int32_t position = 0;
    std::int32_t maximum = 0;
    friend bool operator==(const ScrollRange&, const ScrollRange&) = default;
};

// The time bar: 100 x (multiplier - 1) steps, 10 for multiplier 1 (or less). One screen is
// 100 steps.
std::int32_t TimeScrollMaximum(int multiplier);

// The multiplier a time bar's maximum stands for: maximum / 100 + 1.
int TimeMultiplierOf(std::int32_t maximum);

// The time bar for a new multiplier, keeping the instant at the centre of the view there
// (position 0 for multiplier 1). Unchanged when the old maximum stands for the same multiplier.
ScrollRange RescaleTimeScroll(ScrollRange old, int multiplier);

// A value bar: 100 x (multiplier + 1) steps; multiplier 0 ("Off") gives 100 with the offset
// fixed in the middle.
std::int32_t ValueScrollMaximum(int multiplier);

// The multiplier a value bar's maximum stands for: maximum / 100 - 1.
int ValueMultiplierOf(std::int32_t maximum);

// A value bar for a new multiplier, keeping the value at the centre of the view at the same
// height. From multiplier 0 the position goes to the middle. Unchanged when the old maximum
// stands for the same multiplier.
ScrollRange RescaleValueScroll(ScrollRange old, int multiplier);

// The full thumb position from the 16-bit signed value the platform reports, using the current
// position to tell which 65536-wide band it lies in. Follows a thumb that moves by less than
// 12288 steps per report. Nothing when the current position is outside 0..131071.
std::optional<std::int32_t> WidenThumbPosition(std::int32_t current, std::int16_t reported);

}  // namespace tonewell
