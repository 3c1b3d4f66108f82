#pragma once
// Biquads whose response is known exactly: the usual audio filters (bilinear transform of the
// analogue prototypes, as sox computes its highpass and lowpass), run on samples and evaluated
// at any frequency.

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace tonewell::testing {

struct Biquad {
    double rate = 48000;
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;

    std::complex<double> at(double f) const {
        const std::complex<double> z = std::polar(1.0, -2.0 * std::numbers::pi * f / rate);
        return (b0 + b1 * z + b2 * z * z) / (1.0 + a1 * z + a2 * z * z);
    }
    void run(std::vector<float>& x) const {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (float& v : x) {
            const double y = b0 * v + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1, x1 = v, y2 = y1, y1 = y;
            v = static_cast<float>(y);
        }
    }
};

enum class FilterKind { Through, LowPass, HighPass, Peak };

inline Biquad MakeBiquad(FilterKind kind, double f0, double q, double rate, double gainDb = 0) {
    const double w = 2 * std::numbers::pi * f0 / rate, c = std::cos(w), alpha = std::sin(w) / (2 * q);
    const double g = std::pow(10.0, gainDb / 40);
    double b[3] = {1, 0, 0}, a[3] = {1, 0, 0};
    if (kind == FilterKind::LowPass) b[0] = b[2] = (1 - c) / 2, b[1] = 1 - c;
    if (kind == FilterKind::HighPass) b[0] = b[2] = (1 + c) / 2, b[1] = -(1 + c);
    if (kind == FilterKind::LowPass || kind == FilterKind::HighPass) a[0] = 1 + alpha, a[1] = -2 * c, a[2] = 1 - alpha;
    if (kind == FilterKind::Peak) {
        b[0] = 1 + alpha * g, b[1] = -2 * c, b[2] = 1 - alpha * g;
        a[0] = 1 + alpha / g, a[1] = -2 * c, a[2] = 1 - alpha / g;
    }
    return {rate, b[0] / a[0], b[1] / a[0], b[2] / a[0], a[1] / a[0], a[2] / a[0]};
}

}  // namespace tonewell::testing
