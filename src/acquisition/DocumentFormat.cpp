#include "acquisition/DocumentFormat.h"

#include "shared/DocumentNumbers.h"

namespace tonewell {

bool ConfigureDocumentFormat(CSignalDoc& document, const SamplingSelection& selection,
                             const InstrumentConfiguration& configuration, AcquisitionParameters& acquisition,
                             std::atomic<bool>& inputRunning, Shell& shell) {
    const std::uint16_t channels = selection.bothChannels ? 2 : 1;
    const std::uint32_t rate = selection.samplesPerSecond > 0 ? static_cast<std::uint32_t>(selection.samplesPerSecond) : 0;
    const int bits = selection.bits;

    WaveFormat& format = document.riffHeader.format;
    format.formatTag = 1;
    format.channels = channels;
    document.samplingType = selection.bothChannels ? kSamplingTypeAB : kSamplingTypeA;
    format.samplesPerSecond = rate;
    const IntervalNumber interval = NormaliseInterval(rate);
    document.intervalMantissa = interval.mantissa;
    document.intervalExponent = interval.exponent;
    acquisition.samplingBits = bits;
    format.bitsPerSample = static_cast<std::uint16_t>(bits);
    document.resolutionA = document.resolutionB = static_cast<std::uint8_t>(bits);
    format.blockAlign = static_cast<std::uint16_t>(channels * (bits <= 8 ? 1 : 2));
    format.averageBytesPerSecond = format.blockAlign * rate;
    document.riffHeader.format.extraSize = 0;

    // A length the capture cannot hold is kept as 0, which capture refuses.
    const std::int32_t length =
        selection.recordLength < 0 || selection.recordLength > kMaxRecordLength ? 0 : selection.recordLength;
    const std::size_t slots = length == 0 ? 1 : static_cast<std::size_t>(length);
    if (document.dataA.size() != slots || document.dataB.size() != slots) {
        if (!document.ReallocateSamples(static_cast<std::uint32_t>(length))) {
            shell.postCommand(kCommandFileClose);
            inputRunning.store(false);
            return false;
        }
    }
    acquisition.recordLength = length;
    document.sampleCount = 0;
    document.SetModifiedFlag();
    document.RecordChanged();

    const VoltageRange range =
        NormaliseVoltageRange(bits, configuration.inputFullScale8, configuration.inputFullScale16);
    document.rangeMaxA = document.rangeMaxB = range.max;
    document.rangeMinA = document.rangeMinB = range.min;
    document.rangeExponentA = document.rangeExponentB = range.exponent;
    document.zeroA = ZeroLevel(document.rangeMaxA, document.rangeMinA, document.resolutionA);
    document.zeroB = ZeroLevel(document.rangeMaxB, document.rangeMinB, document.resolutionB);
    return true;
}

}  // namespace tonewell
