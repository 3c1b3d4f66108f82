#pragma once
// The five analysis windows, their power sum S and the gain correction g of the amplitude
// spectrum. Weights are float; the cosines are evaluated in double.

#include <cstdint>
#include <optional>
#include <vector>

namespace tonewell {

// Each value is the row of its entry in the spectrum bar's window list, which is what the panel
// file stores.
enum class WindowType : std::int32_t {
    Rectangular = 0,  // "REC": no weighting
    Triangular = 1,   // "TRI"
    Hanning = 2,      // "HAN"
    Hamming = 3,      // "HAM"
    Blackman = 4,     // "BLA"
};

// The window of a window-list value; nothing for a value outside the list.
constexpr std::optional<WindowType> WindowTypeOf(std::int32_t value) {
    if (value < 0 || value > static_cast<std::int32_t>(WindowType::Blackman)) return std::nullopt;
    return static_cast<WindowType>(value);
}

// Weight of sample i (0-based) of a block: L is the triangular window's block length, D the
// cosine windows' period. Rectangular gives 1 (callers leave its blocks unweighted). A
// one-sample triangular block (L/2 = 0) sits on the triangle's peak: weight 1.
float WindowValue(WindowType windowType, int i, int blockLength, int period);

// The weights of one block, computed once and reused for every block of the same shape.
struct WindowTable {
    WindowType windowType = WindowType::Rectangular;
    std::vector<float> weights;  // empty for Rectangular
    float powerSum = 0.0f;       // S = Σ w·w in float, in sample order; 0 for Rectangular

    // Fills the table for count samples; false when memory runs out.
    bool prepare(WindowType type, int count, int blockLength, int period) noexcept;
};

// g of a block of count samples in an FFT of n points: sqrt(S/n) for the weighted windows; for
// Rectangular 1 when the block fills the segment (segmented), sqrt(count/n) when it is
// zero-padded (single block).
double GainCorrection(WindowType windowType, float powerSum, int count, int n, bool segmented);

}  // namespace tonewell
