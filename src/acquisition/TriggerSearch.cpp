#include "acquisition/TriggerSearch.h"

#include "platform/ByteOrder.h"

namespace tonewell {

namespace {

// One loop per way of reading a code, so the inner loop carries no branch on the format.
template <bool Wide, bool Invert>
inline std::uint32_t CodeAt(const std::uint8_t* sample) {
    std::uint32_t code;
    if constexpr (Wide) {
        // The signed value + 32768 is the value with its top bit flipped.
        code = static_cast<std::uint16_t>(LoadLe16(sample) ^ 0x8000u);
        if constexpr (Invert) code = 0xFFFFu - code;
    } else {
        code = *sample;
        if constexpr (Invert) code = 0xFFu - code;
    }
    return code;
}

template <bool Wide, bool Invert>
std::int64_t Search(const std::uint8_t* frames, std::uint32_t from, std::uint32_t count, std::uint32_t before,
                    const TriggerSearchSetup& setup) {
    const std::uint32_t level = setup.level;
    const std::uint32_t step = setup.blockAlign;
    const std::uint8_t* sample = frames + setup.sampleOffset + static_cast<std::size_t>(from) * step;
    std::uint32_t b = before;
    if (level == 0) {
        // Nothing lies below a threshold of 0: leaving or reaching code 0 is the edge.
        if (setup.edge == TriggerEdge::Rising) {
            for (std::uint32_t f = from; f < count; ++f, sample += step) {
                const std::uint32_t c = CodeAt<Wide, Invert>(sample);
                if (b == 0 && c != 0) return f;
                b = c;
            }
        } else {
            for (std::uint32_t f = from; f < count; ++f, sample += step) {
                const std::uint32_t c = CodeAt<Wide, Invert>(sample);
                if (b != 0 && c == 0) return f;
                b = c;
            }
        }
        return -1;
    }
    if (setup.edge == TriggerEdge::Rising) {
        for (std::uint32_t f = from; f < count; ++f, sample += step) {
            const std::uint32_t c = CodeAt<Wide, Invert>(sample);
            if (b < level && level <= c) return f;
            b = c;
        }
    } else {
        for (std::uint32_t f = from; f < count; ++f, sample += step) {
            const std::uint32_t c = CodeAt<Wide, Invert>(sample);
            if (b >= level && level > c) return f;
            b = c;
        }
    }
    return -1;
}

}  // namespace

std::uint16_t TriggerSampleCode(const std::uint8_t* frames, std::uint32_t frame, const TriggerSearchSetup& setup) {
    const std::uint8_t* sample = frames + setup.sampleOffset + static_cast<std::size_t>(frame) * setup.blockAlign;
    const bool wide = setup.bits > 8;
    if (wide) return static_cast<std::uint16_t>(setup.invert ? CodeAt<true, true>(sample) : CodeAt<true, false>(sample));
    return static_cast<std::uint16_t>(setup.invert ? CodeAt<false, true>(sample) : CodeAt<false, false>(sample));
}

std::int64_t FindTriggerFrame(const std::uint8_t* frames, std::uint32_t from, std::uint32_t count,
                              std::uint16_t before, const TriggerSearchSetup& setup) {
    if (from >= count) return -1;
    const bool wide = setup.bits > 8;
    if (wide) return setup.invert ? Search<true, true>(frames, from, count, before, setup)
                                 : Search<true, false>(frames, from, count, before, setup);
    return setup.invert ? Search<false, true>(frames, from, count, before, setup)
                       : Search<false, false>(frames, from, count, before, setup);
}

}  // namespace tonewell
