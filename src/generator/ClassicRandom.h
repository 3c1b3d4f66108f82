#pragma once
// The C library random generator of the handheld the instrument was made for: values 0..32767
// from the linear congruential recurrence seed x 214013 + 2531011, seeded like srand. The white
// noise scaling (1/32767) depends on exactly this range, so the host's rand is not used.
// One instance per use; not shared between threads.

#include <cstdint>

namespace tonewell {

class ClassicRandom {
public:
    static constexpr int kMax = 32767;

    explicit ClassicRandom(std::uint32_t seed = 1) : state_(seed) {}
    void seed(std::uint32_t seed) { state_ = seed; }  // srand
    int next() {                                       // rand: 0..32767
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }

private:
    std::uint32_t state_;
};

}  // namespace tonewell
