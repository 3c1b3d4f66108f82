#pragma once
// The spectrum view's axis choices, as the X and Y axis scale dialogs set them and the panel
// setting stores them.

#include <cstdint>
#include <functional>

namespace tonewell {

enum class SpectrumXScale : std::int32_t { Linear = 0, Log = 1 };
enum class SpectrumYScale : std::int32_t { Volt = 0, Db = 1 };

struct SpectrumScaleModes {
    SpectrumXScale xScale = SpectrumXScale::Linear;
    SpectrumYScale yScale = SpectrumYScale::Volt;
    bool normalized = true;  // amplitudes as a fraction of each channel's peak
    friend bool operator==(const SpectrumScaleModes&, const SpectrumScaleModes&) = default;
};

// Where the axis scale dialogs take the choices from, and where their OK hands them.
struct SpectrumScaleChoice {
    std::function<SpectrumScaleModes()> current;
    std::function<void(const SpectrumScaleModes&)> choose;
};

}  // namespace tonewell
