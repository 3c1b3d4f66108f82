#pragma once
// The trigger and ring state machine of input capture, without a device or a thread: which
// buffer of the ring comes back filled next, the trigger search over each filled buffer, the
// wait for the further buffers a delay needs, and the cut of a record as the two consecutive
// buffers that hold it, exchanged for two spares so that the ring goes on circulating while the
// record waits for the UI thread. The capture thread hands it every filled buffer and carries out
// the step it answers on the device; tests hand it byte buffers.
//
// Threads: take() and the ring's state belong to the capture thread. The UI thread reads the
// record (record(), copyRecord) only after the capture thread has published it (recordPending
// set with release before the post); a new record is cut only while recordPending is clear, so
// the one being read stays as it is.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "acquisition/TriggerSearch.h"
#include "platform/audio/WaveHeader.h"

namespace tonewell {

// Fixed for a run of capture.
struct TriggerRingSetup {
    std::uint32_t frames = 1;  // N: frames of a buffer and of a record
    std::int32_t mode = 1;     // 0 None (free run), 1 Repeat, 2 Single
    std::int32_t delay = 0;    // frames from the trigger to the record's first frame (not in None)
    bool stereo = false;       // each frame holds A, then B
    TriggerSearchSetup search; // the source's sample, the edge and level, bits, block align, inversion
};

// A record: frames [triggerFrame + delay, N) of the older buffer, then as many from the start of
// the newer one, N frames in all.
struct CapturedRecord {
    const std::uint8_t* older = nullptr;
    const std::uint8_t* newer = nullptr;
    std::int64_t triggerFrame = 0;  // counted from the older buffer's first frame
    std::int32_t delay = 0;
};

// What the capture thread does on the device after a buffer was taken, in this order.
struct TriggerRingStep {
    // A spare now in the place of the buffer just filled: it holds nothing of this run and is
    // unprepared and cleared, to be queued in its turn.
    WaveHeader* takenOut = nullptr;
    // A record was cut: record() holds it, to be handed to the UI thread.
    bool recordCut = false;
    // The buffer held back for pre-trigger samples until now goes back into the device.
    WaveHeader* requeue = nullptr;
};

class TriggerRing {
public:
    static constexpr std::size_t kSpareCount = 2;

    // ring: the buffers in the order the device is given them, at least two; all but the last
    // are queued at the start, the last is held back. spares: two more, not queued. Each buffer
    // holds N frames. The ring starts searching (in mode None: cutting) at its first buffer.
    TriggerRing(const TriggerRingSetup& setup, std::vector<WaveHeader*> ring,
                std::array<WaveHeader*, kSpareCount> spares);

    // A buffer the device has filled. A buffer out of its turn changes nothing (an empty step).
    // recordPending: the UI thread holds the last record still; a record completed meanwhile is
    // dropped (in mode Single only the first record of the run is ever cut).
    TriggerRingStep take(WaveHeader& filled, bool recordPending);

    // The buffer the ring expects back next.
    WaveHeader& expected() const { return *ring_[index_]; }
    const TriggerRingSetup& setup() const { return setup_; }

    // The last record cut.
    const CapturedRecord& record() const { return record_; }
    // Copies the last record into sample codes as the document keeps them: A from each frame's
    // first sample and, in stereo, B from its second (b is left alone in mono); 8-bit as read,
    // 16-bit as the value + 32768, complemented when the input is inverted. False, copying
    // nothing, when a or b is shorter than N or the record's first frame lies outside the older
    // buffer.
    bool copyRecord(std::span<std::uint16_t> a, std::span<std::uint16_t> b) const;

private:
    // The record completed at ring place r, handed over when the latch allows it; the search
    // starts again either way.
    void cut(std::size_t r, bool recordPending, TriggerRingStep& step);

    TriggerRingSetup setup_;
    std::vector<WaveHeader*> ring_;
    std::array<WaveHeader*, kSpareCount> spare_;
    std::size_t index_ = 0;  // ring place of the buffer that comes back next
    // The held buffer was filled in this run since the start or the last hand-over.
    bool heldFilled_ = false;
    bool triggered_ = false;
    int triggerWait_ = 0;            // 0 searching, 1 or 2 further buffers needed
    std::int64_t triggerFrame_ = 0;  // counted from the buffer that will be the older of the pair
    std::int32_t delay_ = 0;
    bool singleCut_ = false;
    CapturedRecord record_;
};

}  // namespace tonewell
