// The trigger ring without a device or a thread: buffers of a known stream handed in as the
// device would fill them, the records it cuts, and what it asks of the device after each.

#include "acquisition/TriggerRing.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "acquisition/CaptureHarness.h"
#include "acquisition/TriggerBar.h"
#include "acquisition/TriggerConversions.h"

namespace tonewell {
namespace {

using testing::CaptureSignal;
using testing::SineSignal;

constexpr std::uint32_t kFrames = 200;
constexpr std::int32_t kRepeat = 1, kSingle = 2;

// A ring of three buffers and two spares over 8- or 16-bit stereo frames of `signal`, filled in
// the order the device would fill them.
class RingDriver {
public:
    RingDriver(const CaptureSignal& signal, std::int32_t mode, int levelPercent, int delayPercent, int bits = 16,
               TriggerEdge edge = TriggerEdge::Rising) {
        const auto blockAlign = static_cast<std::uint32_t>(bits / 4);
        const TriggerRingSetup setup{kFrames, mode, TriggerDelaySamples(delayPercent, kFrames), true,
                                     {edge, TriggerLevelCode(levelPercent, bits), static_cast<std::uint16_t>(bits),
                                      blockAlign, 0, false}};
        // The stream as the device records it, and channel A as the document keeps it.
        for (std::size_t j = 0; j < signal.frames(); ++j) {
            for (std::int16_t value : {signal.a[j], signal.b[j]}) {
                if (bits == 8) stream_.push_back(static_cast<std::uint8_t>((value >> 8) + 128));
                else stream_.insert(stream_.end(), {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)});
            }
            codesA_.push_back(static_cast<std::uint16_t>(bits == 8 ? (signal.a[j] >> 8) + 128 : signal.a[j] + 32768));
        }
        std::vector<WaveHeader*> ring;
        for (std::size_t i = 0; i < headers_.size(); ++i) {
            bytes_[i].assign(kFrames * blockAlign, 0);
            headers_[i].data = bytes_[i].data();
            if (i < 3) ring.push_back(&headers_[i]);
        }
        ring_ = std::make_unique<TriggerRing>(setup, ring, std::array{&headers_[3], &headers_[4]});
    }

    // The stream's next kFrames frames into the buffer the ring expects, handed in.
    TriggerRingStep feed(bool recordPending = false) {
        WaveHeader& header = ring_->expected();
        for (std::size_t i = 0; i < bytes_[0].size(); ++i, ++played_) header.data[i] = stream_[played_ % stream_.size()];
        return ring_->take(header, recordPending);
    }
    // Buffers fed until a record is cut (at most ten), or -1.
    int feedUntilCut() {
        for (int i = 1; i <= 10; ++i)
            if (feed().recordCut) return i;
        return -1;
    }
    // Channel A of the last record, and the stream's from frame `start` on.
    std::vector<std::uint16_t> record() const {
        std::vector<std::uint16_t> a(kFrames), b(kFrames);
        EXPECT_TRUE(ring_->copyRecord(a, b));
        return a;
    }
    std::vector<std::uint16_t> expected(std::size_t start) const {
        std::vector<std::uint16_t> codes;
        for (std::size_t j = start; j < start + kFrames; ++j) codes.push_back(codesA_[j % codesA_.size()]);
        return codes;
    }

    TriggerRing& ring() { return *ring_; }
    std::array<WaveHeader, 5>& headers() { return headers_; }

private:
    std::vector<std::uint8_t> stream_;
    std::vector<std::uint16_t> codesA_;
    std::size_t played_ = 0;
    std::array<std::vector<std::uint8_t>, 5> bytes_;
    std::array<WaveHeader, 5> headers_;
    std::unique_ptr<TriggerRing> ring_;
};

TEST(TriggerRing, FirstBufferWithANegativeDelaySearchesOnlyFromMinusOneMinusDelay) {
    // Rising crossings at frames 50 and 150 of the first buffer; delay -100 of 200 frames makes
    // the search start at frame 99, so the crossing at 50 (which has no pre-trigger samples) is
    // passed over.
    CaptureSignal signal;
    for (int j = 0; j < 400; ++j) {
        const bool high = (j >= 50 && j < 100) || (j >= 150 && j < 190);
        signal.a.push_back(static_cast<std::int16_t>(high ? 8000 + j : -8000 - j));
        signal.b.push_back(0);
    }
    RingDriver d(signal, kRepeat, 0, -50);
    ASSERT_EQ(d.feedUntilCut(), 2);
    EXPECT_EQ(d.record(), d.expected(50));  // trigger 150, record from 150 - 100
}

// A square between the lowest code (0) and a high level: `high` frames up from every multiple of
// `period` frames, starting at frame `offset`.
CaptureSignal SquareFromLowestCode(int frames, int period, int high, int offset) {
    CaptureSignal signal;
    for (int j = 0; j < frames; ++j) {
        const int phase = ((j - offset) % period + period) % period;
        signal.a.push_back(static_cast<std::int16_t>(phase < high ? 1000 + j % 7 : -32768));
        signal.b.push_back(0);
    }
    return signal;
}

struct LowestLevelCase {
    int bits;
    TriggerEdge edge;
    std::uint16_t levelCode;  // of -100 %
    std::size_t recordStart;
};

class TriggerRingLowestLevel : public ::testing::TestWithParam<LowestLevelCase> {};

// At 16 bits the threshold is code 0: leaving or reaching it is the edge. At 8 bits it is code 1
// and the ordinary rule applies.
TEST_P(TriggerRingLowestLevel, TriggersWhereTheSquareLeavesOrReachesTheLowestCode) {
    const LowestLevelCase& c = GetParam();
    EXPECT_EQ(TriggerLevelCode(-100, c.bits), c.levelCode);
    RingDriver d(SquareFromLowestCode(2000, 120, 40, 73), kRepeat, -100, 0, c.bits, c.edge);
    ASSERT_EQ(d.feedUntilCut(), 2);
    EXPECT_EQ(d.record(), d.expected(c.recordStart));
}

INSTANTIATE_TEST_SUITE_P(BitsAndEdges, TriggerRingLowestLevel,
                         ::testing::Values(LowestLevelCase{16, TriggerEdge::Rising, 0, 73},
                                           LowestLevelCase{16, TriggerEdge::Falling, 0, 113},
                                           LowestLevelCase{8, TriggerEdge::Rising, 1, 73}));

TEST(TriggerRing, ACutExchangesThePairForTheSparesAndTheNextBufferStartsAfresh) {
    RingDriver d(SineSignal(4000, 97.3, 12000), kTriggerModeNone, 0, 0);
    auto& h = d.headers();
    // A buffer out of its turn changes nothing.
    EXPECT_EQ(d.ring().take(h[1], false).requeue, nullptr);
    EXPECT_EQ(&d.ring().expected(), &h[0]);
    // Free run: the held buffer has recorded nothing yet, so the first buffer cuts nothing.
    TriggerRingStep step = d.feed();
    EXPECT_FALSE(step.recordCut);
    EXPECT_EQ(step.requeue, &h[2]);
    step = d.feed();
    ASSERT_TRUE(step.recordCut);
    EXPECT_EQ(d.record(), d.expected(0));
    EXPECT_EQ(d.ring().record().older, h[0].data);
    EXPECT_EQ(d.ring().record().newer, h[1].data);
    EXPECT_EQ(step.takenOut, &h[4]);  // the spares took the pair's places
    EXPECT_EQ(step.requeue, &h[3]);
    EXPECT_EQ(&d.ring().expected(), &h[2]);
    // The spare in the filled buffer's place holds nothing of this run: no cut on the next.
    EXPECT_FALSE(d.feed().recordCut);
    EXPECT_TRUE(d.feed().recordCut);
    EXPECT_EQ(d.record(), d.expected(2 * kFrames));
}

struct LatchCase {
    std::int32_t mode;
    bool pendingWhileCutting;
    int cutsIn20Buffers;
};

class TriggerRingLatch : public ::testing::TestWithParam<LatchCase> {};

// Repeat and None drop what completes while the UI thread holds a record; Single cuts one record
// in all, whatever the latch says.
TEST_P(TriggerRingLatch, CutsOnlyWhatTheLatchAndTheModeAllow) {
    const LatchCase& c = GetParam();
    RingDriver d(SineSignal(4000, 37.1, 12000), c.mode, 0, 0);  // several triggers per buffer
    int cuts = 0;
    for (int i = 0; i < 20; ++i) {
        const TriggerRingStep step = d.feed(c.pendingWhileCutting && cuts > 0);
        cuts += step.recordCut;
        EXPECT_NE(step.requeue, nullptr) << "the ring keeps circulating";
    }
    EXPECT_EQ(cuts, c.cutsIn20Buffers);
}

INSTANTIATE_TEST_SUITE_P(Modes, TriggerRingLatch,
                         ::testing::Values(LatchCase{kRepeat, true, 1}, LatchCase{kRepeat, false, 10},
                                           LatchCase{kTriggerModeNone, true, 1}, LatchCase{kTriggerModeNone, false, 10},
                                           LatchCase{kSingle, false, 1}));

}  // namespace
}  // namespace tonewell
