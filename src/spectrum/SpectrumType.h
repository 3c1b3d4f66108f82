#pragma once
// The spectrum analyser's result types. Each value is the row of its entry in the spectrum-type
// list, which is what the panel file stores.

#include <cstdint>
#include <optional>

namespace tonewell {

enum class SpectrumType : std::int32_t {
    Amplitude = 0,         // "AMS", RMS volts per bin
    Phase = 1,             // "PHS", degrees per bin
    AutoCorrelation = 2,   // "ACR"
    CrossCorrelation = 3,  // "CCR", of A and B, shown as channel A
};

// The type of a spectrum-type list value; nothing for a value outside the list.
constexpr std::optional<SpectrumType> SpectrumTypeOf(std::int32_t value) {
    if (value < 0 || value > static_cast<std::int32_t>(SpectrumType::CrossCorrelation)) return std::nullopt;
    return static_cast<SpectrumType>(value);
}

// The correlations have a time-lag axis; the amplitude and phase spectra a frequency axis.
constexpr bool IsCorrelation(SpectrumType type) {
    return type == SpectrumType::AutoCorrelation || type == SpectrumType::CrossCorrelation;
}

}  // namespace tonewell
