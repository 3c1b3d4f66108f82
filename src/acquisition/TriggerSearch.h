#pragma once
// The trigger search of input capture over one buffer of PCM frames: the source channel's
// samples read as offset-binary codes (8-bit as read, 16-bit as the signed value + 32768,
// complemented when the input is inverted) and compared with the threshold. Pure functions; the
// capture thread runs them on every buffer it is handed.

#include <cstdint>

namespace tonewell {

enum class TriggerEdge { Rising = 0, Falling = 1 };

// How the samples of a buffer are read and what makes a trigger.
struct TriggerSearchSetup {
    TriggerEdge edge = TriggerEdge::Rising;
    std::uint16_t level = 32768;    // threshold code
    std::uint16_t bits = 16;        // 8 or 16 (anything above 8 counts as 16)
    std::uint32_t blockAlign = 2;   // bytes of one frame
    std::uint32_t sampleOffset = 0; // bytes from a frame's start to the source's sample
    bool invert = false;            // every code complemented (255 - v, 65535 - v)
};

// The source's code at frame `frame` of `frames`.
std::uint16_t TriggerSampleCode(const std::uint8_t* frames, std::uint32_t frame, const TriggerSearchSetup& setup);

// The first frame f in [from, count) at which the edge occurs, b being the code before f (the
// code `before` for f = from) and c the code at f: rising when b < T <= c, or T = 0, b = 0 and
// c != 0; falling when b >= T > c, or T = 0, b != 0 and c = 0. -1 when there is none.
std::int64_t FindTriggerFrame(const std::uint8_t* frames, std::uint32_t from, std::uint32_t count,
                              std::uint16_t before, const TriggerSearchSetup& setup);

}  // namespace tonewell
