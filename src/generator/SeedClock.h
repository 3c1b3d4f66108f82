#pragma once
// The clock the noise generators are seeded from, in whole seconds. Injected so that tests get
// repeatable noise; the program uses the system clock. Read from the UI and notification threads.

#include <cstdint>

namespace tonewell {

class SeedClock {
public:
    virtual ~SeedClock() = default;
    // Current time in seconds, reduced to 32 bits as a seed takes it.
    virtual std::uint32_t nowSeconds() const = 0;
};

// Seconds since the epoch from the system clock.
class SystemSeedClock final : public SeedClock {
public:
    std::uint32_t nowSeconds() const override;
};

// A clock that always reads the same second (tests, repeatable exports).
class FixedSeedClock final : public SeedClock {
public:
    explicit FixedSeedClock(std::uint32_t seconds) : seconds_(seconds) {}
    std::uint32_t nowSeconds() const override { return seconds_; }

private:
    std::uint32_t seconds_;
};

}  // namespace tonewell
