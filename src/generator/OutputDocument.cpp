#include "generator/OutputDocument.h"

#include <algorithm>

#include "platform/ByteOrder.h"
#include "shared/DocumentNumbers.h"

namespace tonewell {

bool ResetDocumentToOutput(CSignalDoc& document, const WaveFormat& format, const OutputCalibration& calibration) {
    if (!document.ReallocateSamples(format.samplesPerSecond)) return false;
    const bool stereo = format.channels == 2;
    document.samplingType = stereo ? kSamplingTypeAB : kSamplingTypeA;
    document.riffHeader.format = format;
    document.riffHeader.format.extraSize = 0;
    const IntervalNumber interval = NormaliseInterval(format.samplesPerSecond);
    document.intervalMantissa = interval.mantissa;
    document.intervalExponent = interval.exponent;
    const VoltageRange range = NormaliseVoltageRange(format.bitsPerSample, calibration.outputFullScale8,
                                                     calibration.outputFullScale16);
    document.resolutionA = document.resolutionB = static_cast<std::uint8_t>(format.bitsPerSample);
    document.rangeMaxA = document.rangeMaxB = range.max;
    document.rangeMinA = document.rangeMinB = range.min;
    document.rangeExponentA = document.rangeExponentB = range.exponent;
    document.zeroA = ZeroLevel(range.max, range.min, format.bitsPerSample);
    document.zeroB = document.zeroA;
    document.sampleCount = 0;
    document.SetModifiedFlag();
    document.RecordChanged();
    return true;
}

void CopyOutputToDocument(CSignalDoc& document, const WaveFormat& format, std::span<const std::uint8_t> second) {
    const std::size_t align = format.blockAlign;
    if (align == 0) return;
    const bool stereo = format.channels == 2;
    std::size_t frames = std::min(second.size() / align, document.dataA.size());
    if (stereo) frames = std::min(frames, document.dataB.size());
    const std::uint8_t* bytes = second.data();
    std::uint16_t* a = document.dataA.data();
    std::uint16_t* b = document.dataB.data();
    if (format.bitsPerSample == 8) {
        for (std::size_t k = 0; k < frames; ++k) {
            a[k] = bytes[k * align];
            if (stereo) b[k] = bytes[k * align + 1];
        }
    } else {
        // The signed value + 32768 is the sample word with its top bit flipped.
        for (std::size_t k = 0; k < frames; ++k) {
            a[k] = static_cast<std::uint16_t>(LoadLe16(bytes + k * align) ^ 0x8000u);
            if (stereo) b[k] = static_cast<std::uint16_t>(LoadLe16(bytes + k * align + 2) ^ 0x8000u);
        }
    }
    document.sampleCount = static_cast<std::uint32_t>(frames);
    document.SetModifiedFlag();
    document.RecordChanged();
}

}  // namespace tonewell
