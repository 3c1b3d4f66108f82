// Result names, format checks and the lock-free ring under the backends.

#include <gtest/gtest.h>

#include <ostream>

#include <atomic>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "platform/audio/AudioResult.h"
#include "platform/audio/NotificationThread.h"
#include "platform/audio/OutputQueue.h"
#include "platform/audio/SpscRing.h"
#include "platform/audio/WaveFormat.h"

namespace tonewell {
namespace {

struct NameCase {
    std::uint32_t code;
    const char* name;
};

void PrintTo(const NameCase& c, std::ostream* out) { *out << c.code; }

class AudioResultNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(AudioResultNames, EveryCodeHasTheNameTheUserSees) {
    EXPECT_EQ(AudioResultName(static_cast<AudioResult>(GetParam().code)), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Audio, AudioResultNames,
    ::testing::Values(NameCase{0, "MMSYSERR_NOERROR"}, NameCase{2, "MMSYSERR_BADDEVICEID"},
                      NameCase{4, "MMSYSERR_ALLOCATED"}, NameCase{5, "MMSYSERR_INVALHANDLE"},
                      NameCase{6, "MMSYSERR_NODRIVER"}, NameCase{7, "MMSYSERR_NOMEM"},
                      NameCase{8, "MMSYSERR_NOTSUPPORTED"}, NameCase{32, "WAVERR_BADFORMAT"},
                      NameCase{33, "WAVERR_STILLPLAYING"}, NameCase{34, "WAVERR_UNPREPARED"},
                      NameCase{35, "WAVERR_SYNC"}, NameCase{1, ""}, NameCase{3, ""},
                      NameCase{36, ""}, NameCase{0xFFFFFFFFu, ""}),
    [](const auto& info) { return "Code" + std::to_string(info.param.code); });

TEST(AudioWaveFormat, OnlyConsistentPcmIsPlayable) {
    for (std::uint16_t channels : {1, 2})
        for (std::uint16_t bits : {8, 16})
            for (std::uint32_t rate : {11025u, 22050u, 44100u, 48000u, 96000u}) {
                const WaveFormat format = MakePcmFormat(channels, rate, bits);
                EXPECT_EQ(format.blockAlign, channels * bits / 8);
                EXPECT_EQ(format.averageBytesPerSecond, format.blockAlign * rate);
                EXPECT_TRUE(IsPlayablePcm(format));
            }
    WaveFormat format = MakePcmFormat(2, 44100, 16);
    format.formatTag = 3;
    EXPECT_FALSE(IsPlayablePcm(format));
    EXPECT_FALSE(IsPlayablePcm(MakePcmFormat(2, 0, 16)));
    EXPECT_FALSE(IsPlayablePcm(MakePcmFormat(0, 44100, 16)));
    EXPECT_FALSE(IsPlayablePcm(MakePcmFormat(1, 44100, 12)));
    format = MakePcmFormat(2, 44100, 16);
    format.averageBytesPerSecond += 1;
    EXPECT_FALSE(IsPlayablePcm(format));
}

TEST(AudioSpscRing, CarriesEveryByteInOrderBetweenTwoThreads) {
    SpscRing ring(100);  // 128 bytes: the stream wraps many times
    ASSERT_EQ(ring.capacity(), 128u);
    constexpr std::size_t kTotal = 200000;
    std::thread producer([&] {
        std::vector<std::uint8_t> chunk(37);
        std::size_t sent = 0;
        while (sent < kTotal) {
            const std::size_t n = std::min(chunk.size(), kTotal - sent);
            for (std::size_t i = 0; i < n; ++i) chunk[i] = static_cast<std::uint8_t>((sent + i) % 251);
            std::size_t done = 0;
            while (done < n) {
                done += ring.write(chunk.data() + done, n - done);
                if (done < n) std::this_thread::yield();
            }
            sent += n;
        }
    });
    std::vector<std::uint8_t> received;
    received.reserve(kTotal);
    std::vector<std::uint8_t> chunk(23);
    while (received.size() < kTotal) {
        const std::size_t n = ring.read(chunk.data(), chunk.size());
        received.insert(received.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n));
        if (n == 0) std::this_thread::yield();
    }
    producer.join();
    for (std::size_t i = 0; i < kTotal; ++i) ASSERT_EQ(received[i], i % 251) << "byte " << i;
    EXPECT_EQ(ring.bytesRead(), kTotal);
}

TEST(AudioSpscRing, DiscardDropsOnlyWhatWasWrittenBefore) {
    SpscRing ring(64);
    const std::uint8_t old[3] = {1, 2, 3};
    const std::uint8_t fresh[2] = {7, 8};
    ring.write(old, 3);
    ring.discardWritten();
    ring.write(fresh, 2);
    EXPECT_EQ(ring.freeSpace(), 64u - 5u);  // the consumer has not caught up yet
    std::uint8_t out[8] = {};
    EXPECT_EQ(ring.read(out, 8), 2u);
    EXPECT_EQ(out[0], 7);
    EXPECT_EQ(out[1], 8);
    EXPECT_EQ(ring.bytesRead(), 5u);
}

TEST(AudioOutputQueue, DoneOnlyOnceItsLastByteHasPlayed) {
    OutputQueue queue(2);
    std::vector<std::uint8_t> bytes(5, 9);  // two whole frames and a stray byte
    WaveHeader header;
    header.data = bytes.data();
    header.bufferLength = 5;
    queue.push(header);
    std::vector<std::uint8_t> out(16);
    EXPECT_EQ(queue.read(out.data(), 3), 2u);  // whole frames only
    std::vector<WaveHeader*> finished;
    queue.takeFinished(100, finished);
    EXPECT_TRUE(finished.empty());
    EXPECT_EQ(queue.read(out.data(), 16), 2u);
    queue.takeFinished(3, finished);
    EXPECT_TRUE(finished.empty());
    queue.takeFinished(4, finished);
    EXPECT_EQ(finished, std::vector<WaveHeader*>{&header});
}

TEST(AudioOutputQueue, EndlessLoopWithoutSoundDoesNotSpin) {
    OutputQueue queue(1);
    WaveHeader empty;
    empty.flags = kWaveHeaderBeginLoop | kWaveHeaderEndLoop;
    empty.loops = kLoopUntilReset;
    queue.push(empty);
    std::uint8_t out[4];
    EXPECT_EQ(queue.read(out, 4), 0u);
    std::vector<WaveHeader*> finished;
    queue.takeFinished(0, finished);
    EXPECT_EQ(finished.size(), 1u);
}

// A device destroyed from its own done handler ends its notification thread from that thread.
TEST(AudioNotificationThread, MayBeDestroyedFromItsOwnEventAfterRunningWhatIsPending) {
    auto thread = std::make_unique<NotificationThread>();
    std::promise<void> secondPosted;
    std::atomic<bool> secondRan{false}, secondRanFirst{false}, destroyed{false};
    thread->post([&, posted = secondPosted.get_future().share()] {
        posted.wait();
        thread.reset();
        secondRanFirst = secondRan.load();
        destroyed = true;
    });
    thread->post([&] { secondRan = true; });
    secondPosted.set_value();
    for (int i = 0; i < 1000 && !destroyed.load(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(destroyed.load());
    EXPECT_TRUE(secondRanFirst.load());
}

}  // namespace
}  // namespace tonewell
