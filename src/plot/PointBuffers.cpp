#include "plot/PointBuffers.h"

#include <new>

namespace tonewell {

bool PointBuffers::reallocate(std::size_t points) {
    a_ = {};
    b_ = {};
    capacity_ = 0;
    clearCounts();
    if (points > allocationLimit) return false;
    try {
        a_.resize(points);
        b_.resize(points);
    } catch (const std::bad_alloc&) {
        a_ = {};
        b_ = {};
        return false;
    }
    capacity_ = static_cast<std::uint32_t>(points);
    return true;
}

PointBuffers::Fit PointBuffers::fit(std::size_t points) {
    if (points > capacity_) {
        if (reallocate(points)) return Fit::Ready;
        return reallocate(kCapacityMin) ? Fit::Exhausted : Fit::ExhaustedAndLost;
    }
    if (points <= kCapacityMin && kCapacityMin < capacity_) return reallocate(kCapacityMin) ? Fit::Ready : Fit::Lost;
    return Fit::Ready;
}

}  // namespace tonewell
