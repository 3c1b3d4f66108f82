#pragma once
// The five analysis windows, their power sum S and the gain correction g of the amplitude
// spectrum. Weights are float; the cosines are evaluated in double.

#include <vector>

namespace tonewell {

// Index of the window list of the spectrum bar.
enum WindowType : int { kWindowRec = 0, kWindowTri = 1, kWindowHan = 2, kWindowHam = 3, kWindowBla = 4 };

// Weight of sample i (0-based) of a block: L is the triangular window's block length, D the
// cosine windows' period. REC gives 1 (callers leave REC blocks unweighted). A one-sample
// triangular block (L/2 = 0) sits on the triangle's peak: weight 1.
float WindowValue(int windowType, int i, int blockLength, int period);

// The weights of one block, computed once and reused for every block of the same shape.
struct WindowTable {
    int windowType = kWindowRec;
    std::vector<float> weights;  // empty for REC
    float powerSum = 0.0f;       // S = Σ w·w in float, in sample order; 0 for REC

    // Fills the table for count samples; false when memory runs out.
    bool prepare(int windowType, int count, int blockLength, int period) noexcept;
};

// g of a block of count samples in an FFT of n points: sqrt(S/n) for TRI … BLA; for REC 1 when
// the block fills the segment (segmented), sqrt(count/n) when it is zero-padded (single block).
double GainCorrection(int windowType, float powerSum, int count, int n, bool segmented);

}  // namespace tonewell
