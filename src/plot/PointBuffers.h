#pragma once
// The two point arrays a plotting view draws its traces from (A and B): allocated once at a
// minimum capacity, grown when a draw needs more points and shrunk back when the minimum
// suffices again. A failed growth leaves the minimum, so the view can fall back to fewer points.
// UI thread.

#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "platform/Canvas.h"

namespace tonewell {

class PointBuffers {
public:
    static constexpr std::uint32_t kCapacityMin = 8192;

    enum class Fit {
        Ready,             // both arrays hold at least the points asked for
        Exhausted,         // growing failed: the arrays hold the minimum again
        ExhaustedAndLost,  // growing failed and so did the minimum: the arrays are empty
        Lost,              // shrinking to the minimum failed: the arrays are empty
    };

    // Both arrays for exactly `points`, empty counts; false (arrays empty) when memory fails.
    bool reallocate(std::size_t points);
    // Room for `points` in each array, as described above.
    Fit fit(std::size_t points);

    std::uint32_t capacity() const { return capacity_; }
    // Channel 0 = A, 1 = B: the array to fill, and the points in use.
    CanvasPoint* data(int channel) { return (channel == 0 ? a_ : b_).data(); }
    std::span<const CanvasPoint> points(int channel) const {
        return {(channel == 0 ? a_ : b_).data(), channel == 0 ? countA_ : countB_};
    }
    std::uint32_t count(int channel) const { return channel == 0 ? countA_ : countB_; }
    void setCount(int channel, std::uint32_t count) { (channel == 0 ? countA_ : countB_) = count; }
    void clearCounts() { countA_ = countB_ = 0; }

    // The most points an array may hold: growing past it fails as exhausted memory does.
    std::size_t allocationLimit = std::numeric_limits<std::size_t>::max() / 64;

private:
    std::vector<CanvasPoint> a_;
    std::vector<CanvasPoint> b_;
    std::uint32_t capacity_ = 0;
    std::uint32_t countA_ = 0;
    std::uint32_t countB_ = 0;
};

}  // namespace tonewell
