#include "spectrum/Window.h"

#include "spectrum/Fft.h"

#include <cmath>
#include <cstdlib>
#include <new>

namespace tonewell {

namespace {

// Every window but the rectangular one weights its samples.
bool IsWeighted(WindowType type) {
    return type == WindowType::Triangular || type == WindowType::Hanning || type == WindowType::Hamming ||
           type == WindowType::Blackman;
}

}  // namespace

float WindowValue(WindowType windowType, int i, int blockLength, int period) {
    if (windowType == WindowType::Triangular) {
        const int h = blockLength / 2;
        if (h == 0) return 1.0f;
        const float ratio = static_cast<float>(std::abs(i - h)) / static_cast<float>(h);
        return static_cast<float>(1.0 - static_cast<double>(ratio));
    }
    if (!IsWeighted(windowType)) return 1.0f;
    const float a = static_cast<float>(2 * i) * AnalyserPi() / static_cast<float>(period);
    const double c = std::cos(static_cast<double>(a));
    switch (windowType) {
    case WindowType::Hanning:
        return static_cast<float>(0.5 - 0.5 * c);
    case WindowType::Hamming:
        return static_cast<float>(0.54 - 0.46 * c);
    default:
        return static_cast<float>(0.42 - 0.5 * c + 0.08 * std::cos(2.0 * static_cast<double>(a)));
    }
}

bool WindowTable::prepare(WindowType type, int count, int blockLength, int period) noexcept {
    windowType = type;
    powerSum = 0.0f;
    if (!IsWeighted(type)) {
        weights.clear();
        return true;
    }
    try {
        weights.resize(static_cast<std::size_t>(count));
    } catch (const std::bad_alloc&) {
        weights = {};
        return false;
    }
    for (int i = 0; i < count; ++i) {
        const float w = WindowValue(type, i, blockLength, period);
        weights[static_cast<std::size_t>(i)] = w;
        powerSum += w * w;
    }
    return true;
}

double GainCorrection(WindowType windowType, float powerSum, int count, int n, bool segmented) {
    if (IsWeighted(windowType)) return std::sqrt(static_cast<double>(powerSum) / n);
    if (segmented) return 1.0;
    return std::sqrt(static_cast<double>(count) / n);
}

}  // namespace tonewell
