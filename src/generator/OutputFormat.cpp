#include "generator/OutputFormat.h"

namespace tonewell {

WaveFormat OutputFormatFor(const GeneratorSettings& settings) {
    return MakePcmFormat(static_cast<std::uint16_t>(OutputChannels(settings)), SamplingFrequency(settings),
                         static_cast<std::uint16_t>(BitsPerSample(settings)));
}

}  // namespace tonewell
