#include "acquisition/TriggerRing.h"

#include <tuple>
#include <utility>

#include "acquisition/TriggerBar.h"
#include "platform/ByteOrder.h"
#include "platform/audio/WaveFormat.h"

namespace tonewell {

namespace {

constexpr std::int32_t kModeSingle = 2;

}  // namespace

TriggerRing::TriggerRing(const TriggerRingSetup& setup, std::vector<WaveHeader*> ring,
                         std::array<WaveHeader*, kSpareCount> spares)
    : setup_(setup), ring_(std::move(ring)), spare_(spares) {
    triggered_ = setup_.mode == kTriggerModeNone;
    delay_ = setup_.mode == kTriggerModeNone ? 0 : setup_.delay;
}

TriggerRingStep TriggerRing::take(WaveHeader& filled, bool recordPending) {
    TriggerRingStep step;
    const std::size_t r = index_;
    WaveHeader& current = *ring_[r];
    // Buffers come back in the order they were queued; anything else is not this turn's buffer.
    if (&filled != &current) return step;
    const std::size_t held = (r + ring_.size() - 1) % ring_.size();
    const WaveHeader& previous = *ring_[held];
    const std::int64_t n = setup_.frames;
    const TriggerSearchSetup& search = setup_.search;

    bool complete = false;
    if (triggered_) {
        complete = true;
    } else if (triggerWait_ == 1) {
        triggerWait_ = 0;
        triggered_ = true;
        complete = true;
    } else if (triggerWait_ == 2) {
        triggerWait_ = 1;
    } else {
        std::uint32_t from = 0;
        std::uint16_t before = 0;
        if (heldFilled_) {
            before = TriggerSampleCode(previous.data, setup_.frames - 1, search);
        } else {
            // No samples before this buffer: a negative delay needs -delay of them in this one.
            const std::int64_t start = delay_ < 0 ? -1 - static_cast<std::int64_t>(delay_) : 0;
            before = TriggerSampleCode(current.data, static_cast<std::uint32_t>(start), search);
            from = static_cast<std::uint32_t>(start + 1);
        }
        const std::int64_t k = FindTriggerFrame(current.data, from, setup_.frames, before, search);
        if (k >= 0) {
            if (k + delay_ < 1) {
                triggerFrame_ = k + n;
                triggered_ = true;
                complete = true;
            } else if (k + delay_ > n) {
                triggerFrame_ = k - n;
                triggerWait_ = 2;
            } else {
                triggerFrame_ = k;
                triggerWait_ = 1;
            }
        }
    }

    // Free run cuts the held buffer, which must have been filled: right after the start or a
    // hand-over it holds no sound of this run.
    if (complete && !(setup_.mode == kTriggerModeNone && !heldFilled_)) cut(r, recordPending, step);
    step.requeue = ring_[held];
    // The buffer just filled is held back next, unless a spare took its place.
    heldFilled_ = !step.recordCut;
    index_ = (r + 1) % ring_.size();
    return step;
}

void TriggerRing::cut(std::size_t r, bool recordPending, TriggerRingStep& step) {
    // A pending record keeps its buffers until the UI thread releases it; "Single" hands over one
    // record in all, since the UI thread stops capture after copying it.
    const bool deliver = setup_.mode == kModeSingle ? !singleCut_ : !recordPending;
    if (deliver) {
        const std::size_t held = (r + ring_.size() - 1) % ring_.size();
        WaveHeader* older = ring_[held];
        WaveHeader* newer = ring_[r];
        ring_[held] = spare_[0];
        ring_[r] = spare_[1];
        spare_[0] = older;
        spare_[1] = newer;
        record_ = CapturedRecord{older->data, newer->data, triggerFrame_, delay_};
        singleCut_ = true;
        step.takenOut = ring_[r];
        step.recordCut = true;
    }
    triggerFrame_ = 0;
    triggerWait_ = 0;
    if (setup_.mode == kTriggerModeNone) {
        triggered_ = true;
        delay_ = 0;
    } else {
        triggered_ = false;
    }
}

bool TriggerRing::copyRecord(std::span<std::uint16_t> a, std::span<std::uint16_t> b) const {
    const std::uint32_t n = setup_.frames;
    const std::int64_t start = record_.triggerFrame + record_.delay;
    if (record_.older == nullptr || start < 0 || start > n || a.size() < n || b.size() < n) return false;

    const TriggerSearchSetup& search = setup_.search;
    const std::uint32_t step = search.blockAlign;
    const bool wide = search.bits > 8;
    const std::uint32_t bytesPerSample = BytesPerSample(search.bits);
    const std::uint16_t full = wide ? 0xFFFF : 0xFF;
    auto code = [&](const std::uint8_t* sample) -> std::uint16_t {
        const std::uint16_t value = wide ? static_cast<std::uint16_t>(LoadLe16(sample) ^ 0x8000u) : *sample;
        return search.invert ? static_cast<std::uint16_t>(full - value) : value;
    };
    // Frames [first, n) of the older buffer, then [0, first) of the newer: exactly n frames.
    const auto first = static_cast<std::uint32_t>(start);
    std::uint32_t to = 0;
    for (auto [buffer, from, count] : {std::tuple{record_.older, first, n - first},
                                       std::tuple{record_.newer, 0u, first}}) {
        const std::uint8_t* frame = buffer + static_cast<std::size_t>(from) * step;
        for (std::uint32_t f = 0; f < count; ++f, ++to, frame += step) {
            a[to] = code(frame);
            if (setup_.stereo) b[to] = code(frame + bytesPerSample);
        }
    }
    return true;
}

}  // namespace tonewell
