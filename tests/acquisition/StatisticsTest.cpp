#include "acquisition/SignalRecord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tonewell {
namespace {

// A 16-bit record with +-1 V ranges on both channels: one code is 2/65536 V.
SignalRecord stereoRecord(const std::vector<int>& a, const std::vector<int>& b) {
    SignalRecord r;
    r.samplingType = kSamplingTypeAB;
    r.resolutionA = r.resolutionB = 16;
    r.rangeMaxA = r.rangeMaxB = 1000;
    r.rangeMinA = r.rangeMinB = -1000;
    r.rangeExponentA = r.rangeExponentB = 9;
    r.zeroA = r.zeroB = 32768;
    r.sampleCount = static_cast<std::uint32_t>(a.size());
    r.dataA.clear();
    r.dataB.clear();
    for (int v : a) r.dataA.push_back(static_cast<std::uint16_t>(v + 32768));
    for (int v : b) r.dataB.push_back(static_cast<std::uint16_t>(v + 32768));
    return r;
}

constexpr double kVolt = 2.0 / 65536.0;

struct Expected {
    double max, min, mean, rms;
};

Expected reference(const std::vector<double>& v) {
    Expected e{0, 0, 0, 0};
    for (double x : v) {
        e.max = std::max(e.max, x);
        e.min = std::min(e.min, x);
        e.mean += x;
        e.rms += x * x;
    }
    e.mean /= static_cast<double>(v.size());
    e.rms = std::sqrt(e.rms / static_cast<double>(v.size()));
    return e;
}

void expectStats(float max, float min, float mean, float rms, const Expected& e) {
    EXPECT_NEAR(max, e.max, 1e-6);
    EXPECT_NEAR(min, e.min, 1e-6);
    EXPECT_NEAR(mean, e.mean, 1e-6);
    EXPECT_NEAR(rms, e.rms, 1e-6);
}

const std::vector<int> kCodesA{1000, -3000, 5000, 7, -20000, 12000};
const std::vector<int> kCodesB{-500, 400, -9000, 300, 100, -2};

TEST(StatisticsTest, SeparateChannelsGetTheirOwnStatistics) {
    SignalRecord r = stereoRecord(kCodesA, kCodesB);
    DcOffsets offsets;
    ComputeStatistics(r, kScopeTypeSeparate, offsets);
    std::vector<double> va, vb;
    for (int c : kCodesA) va.push_back(c * kVolt);
    for (int c : kCodesB) vb.push_back(c * kVolt);
    expectStats(r.maxA, r.minA, r.meanA, r.rmsA, reference(va));
    expectStats(r.maxB, r.minB, r.meanB, r.rmsB, reference(vb));
    EXPECT_EQ(offsets.dcOffsetCodesA, (1000 - 3000 + 5000 + 7 - 20000 + 12000) / 6);
    EXPECT_EQ(offsets.dcOffsetCodesB, (-500 + 400 - 9000 + 300 + 100 - 2) / 6);
}

TEST(StatisticsTest, SumAndDifferenceGoIntoChannelA) {
    for (int type : {kScopeTypeSum, kScopeTypeDifference}) {
        SignalRecord r = stereoRecord(kCodesA, kCodesB);
        DcOffsets offsets;
        ComputeStatistics(r, type, offsets);
        std::vector<double> v;
        for (std::size_t i = 0; i < kCodesA.size(); ++i)
            v.push_back((kCodesA[i] + (type == kScopeTypeSum ? kCodesB[i] : -kCodesB[i])) * kVolt);
        SCOPED_TRACE(type);
        expectStats(r.maxA, r.minA, r.meanA, r.rmsA, reference(v));
        EXPECT_EQ(r.maxB, 0.0f);
        EXPECT_EQ(r.minB, 0.0f);
        EXPECT_EQ(r.meanB, 0.0f);
        EXPECT_EQ(r.rmsB, 0.0f);
        // Offsets are the mean codes of each channel, whatever the display type.
        EXPECT_EQ(offsets.dcOffsetCodesA, -4993 / 6);
        EXPECT_EQ(offsets.dcOffsetCodesB, -8702 / 6);
    }
}

TEST(StatisticsTest, DifferenceUsesEachChannelsOwnScale) {
    SignalRecord r = stereoRecord({100, 100}, {100, 100});
    r.rangeMaxB = 500;  // channel B: half the volts per code
    r.rangeMinB = -500;
    DcOffsets offsets;
    ComputeStatistics(r, kScopeTypeDifference, offsets);
    EXPECT_NEAR(r.meanA, 50 * kVolt, 1e-9);
    EXPECT_NEAR(r.maxA, 50 * kVolt, 1e-9);
    EXPECT_EQ(r.minA, 0.0f);
}

TEST(StatisticsTest, PositiveOnlyRecordHasMinimumZero) {
    SignalRecord r = stereoRecord({10, 20, 30}, {-10, -20, -30});
    DcOffsets offsets;
    ComputeStatistics(r, kScopeTypeSeparate, offsets);
    EXPECT_EQ(r.minA, 0.0f);
    EXPECT_NEAR(r.maxA, 30 * kVolt, 1e-9);
    // And a negative-only one a maximum of 0.
    EXPECT_EQ(r.maxB, 0.0f);
    EXPECT_NEAR(r.minB, -30 * kVolt, 1e-9);
    EXPECT_EQ(offsets.dcOffsetCodesB, -20);
}

TEST(StatisticsTest, MeanOffsetIsTruncatedTowardsZero) {
    SignalRecord r = stereoRecord({-1, -2}, {1, 2});
    DcOffsets offsets;
    ComputeStatistics(r, kScopeTypeSeparate, offsets);
    EXPECT_EQ(offsets.dcOffsetCodesA, -1);
    EXPECT_EQ(offsets.dcOffsetCodesB, 1);
}

TEST(StatisticsTest, SamplingTypeDecidesWhichChannelsAreComputed) {
    SignalRecord mono = stereoRecord(kCodesA, kCodesB);
    mono.samplingType = kSamplingTypeA;
    DcOffsets offsets{77, 88};
    ComputeStatistics(mono, kScopeTypeXY, offsets);
    EXPECT_NE(mono.rmsA, 0.0f);
    EXPECT_EQ(mono.rmsB, 0.0f);
    EXPECT_EQ(offsets.dcOffsetCodesB, 88);

    SignalRecord onlyB = stereoRecord(kCodesA, kCodesB);
    onlyB.samplingType = kSamplingTypeB;
    offsets = {77, 88};
    ComputeStatistics(onlyB, kScopeTypeSeparate, offsets);
    EXPECT_EQ(onlyB.rmsA, 0.0f);
    EXPECT_NE(onlyB.rmsB, 0.0f);
    EXPECT_EQ(offsets.dcOffsetCodesA, 77);
}

TEST(StatisticsTest, EmptyRecordClearsStatisticsAndKeepsOffsets) {
    SignalRecord r = stereoRecord({5}, {5});
    r.maxA = r.minB = r.rmsA = 3.0f;
    r.sampleCount = 0;
    DcOffsets offsets{12, -4};
    ComputeStatistics(r, kScopeTypeSum, offsets);
    EXPECT_EQ(r.maxA, 0.0f);
    EXPECT_EQ(r.minB, 0.0f);
    EXPECT_EQ(r.rmsA, 0.0f);
    EXPECT_EQ(offsets.dcOffsetCodesA, 12);
    EXPECT_EQ(offsets.dcOffsetCodesB, -4);
}

TEST(StatisticsTest, ChannelWithoutRangeHasNoOffset) {
    SignalRecord r = stereoRecord({5, 5}, {5, 5});
    r.rangeMaxA = r.rangeMinA = 0;
    DcOffsets offsets{9, 9};
    ComputeStatistics(r, kScopeTypeSeparate, offsets);
    EXPECT_EQ(r.rmsA, 0.0f);
    EXPECT_EQ(offsets.dcOffsetCodesA, 0);
    EXPECT_EQ(offsets.dcOffsetCodesB, 5);
}

}  // namespace
}  // namespace tonewell

namespace tonewell {
namespace {

// The straightforward computation: one channel at a time, single-precision sums in sample order.
void straightforward(const SampleArray& codes, std::int32_t zero, float k, float out[4]) {
    float max = 0, min = 0, sum = 0, squares = 0;
    for (std::uint16_t code : codes) {
        const float v = k * static_cast<float>(code - zero);
        if (max < v) max = v;
        if (min > v) min = v;
        sum += v;
        squares += v * v;
    }
    const float reciprocal = 1.0f / static_cast<float>(codes.size());
    out[0] = max;
    out[1] = min;
    out[2] = sum * reciprocal;
    out[3] = static_cast<float>(std::sqrt(static_cast<double>(squares * reciprocal)));
}

TEST(StatisticsTest, BothChannelsTogetherGiveExactlyTheOneChannelResults) {
    SignalRecord r;
    r.samplingType = kSamplingTypeAB;
    r.resolutionA = 16;
    r.resolutionB = 8;
    r.rangeMaxA = 1234;
    r.rangeMinA = -1234;
    r.rangeExponentA = 9;
    r.rangeMaxB = 500;
    r.rangeMinB = -500;
    r.rangeExponentB = 10;
    r.zeroA = 32768;
    r.zeroB = 128;
    r.sampleCount = 100003;
    r.dataA.resize(r.sampleCount);
    r.dataB.resize(r.sampleCount);
    std::uint32_t seed = 12345;
    for (std::uint32_t i = 0; i < r.sampleCount; ++i) {
        seed = seed * 1664525u + 1013904223u;
        r.dataA[i] = static_cast<std::uint16_t>(seed >> 16);
        r.dataB[i] = static_cast<std::uint16_t>((seed >> 8) & 0xFF);
    }
    DcOffsets offsets;
    ComputeStatistics(r, kScopeTypeSeparate, offsets);
    float a[4], b[4];
    straightforward(r.dataA, r.zeroA, static_cast<float>(VoltsPerCode(1234, -1234, 9, 16)), a);
    straightforward(r.dataB, r.zeroB, static_cast<float>(VoltsPerCode(500, -500, 10, 8)), b);
    EXPECT_EQ(r.maxA, a[0]);
    EXPECT_EQ(r.minA, a[1]);
    EXPECT_EQ(r.meanA, a[2]);
    EXPECT_EQ(r.rmsA, a[3]);
    EXPECT_EQ(r.maxB, b[0]);
    EXPECT_EQ(r.minB, b[1]);
    EXPECT_EQ(r.meanB, b[2]);
    EXPECT_EQ(r.rmsB, b[3]);
}

}  // namespace
}  // namespace tonewell
