#include "generator/OutputFormat.h"

namespace tonewell {

OutputFormat OutputFormatFor(const GeneratorSettings& settings) {
    OutputFormat format;
    format.channels = static_cast<std::uint16_t>(OutputChannels(settings));
    format.samplesPerSecond = SamplingFrequency(settings);
    format.bitsPerSample = static_cast<std::uint16_t>(BitsPerSample(settings));
    format.blockAlign = static_cast<std::uint16_t>(format.channels * format.bytesPerSample());
    format.averageBytesPerSecond = format.blockAlign * format.samplesPerSecond;
    return format;
}

}  // namespace tonewell
