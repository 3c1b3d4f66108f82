#include "acquisition/DocumentFormat.h"

#include <gtest/gtest.h>

#include "acquisition/CaptureRestart.h"
#include "platform/RecordingShell.h"

namespace tonewell {
namespace {

class DocumentFormatTest : public ::testing::Test {
protected:
    RecordingShell shell;
    InstrumentConfiguration configuration;
    std::atomic<bool> inputRunning{false};
    AcquisitionParameters acquisition;
    CSignalDoc document{shell, configuration, inputRunning, FreshDocumentSelection{}};
};

TEST_F(DocumentFormatTest, TheDocumentTakesTheSelectedFormatAndIsEmptied) {
    configuration.inputFullScale8 = 5000.0f;
    document.sampleCount = 1;
    SamplingSelection selection{true, 48000, 8, 1000};
    ASSERT_TRUE(ConfigureDocumentFormat(document, selection, configuration, acquisition, inputRunning, shell));

    const WaveFormat& format = document.riffHeader.format;
    EXPECT_EQ(format.formatTag, 1);
    EXPECT_EQ(format.channels, 2);
    EXPECT_EQ(format.samplesPerSecond, 48000u);
    EXPECT_EQ(format.bitsPerSample, 8);
    EXPECT_EQ(format.blockAlign, 2);
    EXPECT_EQ(format.averageBytesPerSecond, 96000u);
    EXPECT_EQ(document.samplingType, kSamplingTypeAB);
    IntervalNumber interval = NormaliseInterval(48000);
    EXPECT_EQ(document.intervalMantissa, interval.mantissa);
    EXPECT_EQ(document.intervalExponent, interval.exponent);
    EXPECT_EQ(document.resolutionA, 8);
    EXPECT_EQ(document.resolutionB, 8);
    VoltageRange range = NormaliseVoltageRange(8, 5000.0f, 1000.0f);
    EXPECT_EQ(document.rangeMaxB, range.max);
    EXPECT_EQ(document.rangeExponentA, range.exponent);
    EXPECT_EQ(document.zeroA, ZeroLevel(range.max, range.min, 8));
    EXPECT_EQ(document.dataA.size(), 1000u);
    EXPECT_EQ(document.dataB.size(), 1000u);
    EXPECT_EQ(document.sampleCount, 0u);
    EXPECT_TRUE(document.IsModified());
    EXPECT_EQ(acquisition.samplingBits, 8);
    EXPECT_EQ(acquisition.recordLength, 1000);
    EXPECT_TRUE(shell.postedCommands().empty());
}

TEST_F(DocumentFormatTest, ALengthCaptureCannotHoldBecomesZero) {
    for (std::int32_t length : {kMaxRecordLength + 1, -5, 0}) {
        SamplingSelection selection{false, 44100, 16, length};
        ASSERT_TRUE(ConfigureDocumentFormat(document, selection, configuration, acquisition, inputRunning, shell));
        EXPECT_EQ(acquisition.recordLength, 0) << length;
        EXPECT_EQ(document.dataA.size(), 1u) << length;
        EXPECT_EQ(document.riffHeader.format.blockAlign, 2);
        EXPECT_EQ(document.samplingType, kSamplingTypeA);
    }
}

class CountingMonitoring : public InputMonitoring {
public:
    explicit CountingMonitoring(std::atomic<bool>& running) : running_(running) {}
    void RunStop() override {
        ++calls;
        running_.store(!running_.load());
    }
    int calls = 0;

private:
    std::atomic<bool>& running_;
};

TEST(CaptureRestart, StopsRunningCaptureAndLeavesTheRestartToTimer2) {
    RecordingShell shell;
    std::atomic<bool> inputRunning{false};
    AcquisitionParameters acquisition;
    CountingMonitoring monitoring(inputRunning);
    CaptureRestart restart(inputRunning, acquisition, monitoring, shell);

    restart.RestartIfRunning();
    EXPECT_EQ(monitoring.calls, 0);
    EXPECT_TRUE(shell.activeTimers().empty());
    EXPECT_EQ(acquisition.restartPending.load(), 0);

    inputRunning = true;
    restart.RestartIfRunning();
    EXPECT_EQ(monitoring.calls, 1);
    EXPECT_FALSE(inputRunning.load());
    EXPECT_EQ(acquisition.restartPending.load(), 1);
    EXPECT_EQ(shell.activeTimers(), std::vector<int>{kTimerCaptureRestart});
}

}  // namespace
}  // namespace tonewell
