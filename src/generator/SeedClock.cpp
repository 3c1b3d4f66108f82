#include "generator/SeedClock.h"

#include <ctime>

namespace tonewell {

std::uint32_t SystemSeedClock::nowSeconds() const {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(std::time(nullptr)));
}

}  // namespace tonewell
