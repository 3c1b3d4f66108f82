// Which backend the program takes from TONEWELL_AUDIO.

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/audio/AudioBackendSelection.h"

namespace tonewell {
namespace {

TEST(AudioBackendSelection, LoopbackOnRequestInAnyCase) {
    for (const char* choice : {"loopback", "LoopBack", "LOOPBACK"}) {
        auto backend = CreateAudioBackend(choice, "");
        EXPECT_EQ(backend->kind(), AudioBackendKind::Loopback) << choice;
        EXPECT_EQ(backend->displayName(), "Loopback cable");
    }
}

#ifdef TONEWELL_HAVE_PORTAUDIO
TEST(AudioBackendSelection, PortAudioOnRequestEvenWithoutADevice) {
    auto backend = CreateAudioBackend("portaudio", "no such device");
    EXPECT_EQ(backend->kind(), AudioBackendKind::PortAudio);
    // Without the device, opening says so instead of failing silently: no such device, or no
    // driver when PortAudio has no device at all.
    const AudioResult result =
        backend->createOutput()->open(MakePcmFormat(1, 44100, 16), [](WaveHeader&) {});
    EXPECT_TRUE(result == AudioResult::BadDeviceId || result == AudioResult::NoDriver)
        << AudioResultName(result);
}
#endif

TEST(AudioBackendSelection, EnvironmentChoosesTheBackend) {
    ::setenv("TONEWELL_AUDIO", "loopback", 1);
    auto backend = CreateAudioBackendFromEnvironment();
    ::unsetenv("TONEWELL_AUDIO");
    EXPECT_EQ(backend->kind(), AudioBackendKind::Loopback);
}

TEST(AudioBackendSelection, UnknownChoiceFallsBackToTheAutomaticOne) {
    auto automatic = CreateAudioBackend("", "no such device");
    auto unknown = CreateAudioBackend("speakers", "no such device");
    // No device of that name anywhere: the cable, so the generator still shows its signal.
    EXPECT_EQ(automatic->kind(), AudioBackendKind::Loopback);
    EXPECT_EQ(unknown->kind(), AudioBackendKind::Loopback);
}

}  // namespace
}  // namespace tonewell
