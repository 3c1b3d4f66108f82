#include "platform/audio/WaveFormat.h"

namespace tonewell {

WaveFormat MakePcmFormat(std::uint16_t channels, std::uint32_t samplesPerSecond,
                         std::uint16_t bitsPerSample) {
    WaveFormat format;
    format.formatTag = kWaveFormatPcm;
    format.channels = channels;
    format.samplesPerSecond = samplesPerSecond;
    format.bitsPerSample = bitsPerSample;
    format.blockAlign = static_cast<std::uint16_t>(channels * BytesPerSample(bitsPerSample));
    format.averageBytesPerSecond = format.blockAlign * samplesPerSecond;
    format.extraSize = 0;
    return format;
}

bool IsPlayablePcm(const WaveFormat& format) {
    if (format.formatTag != kWaveFormatPcm) return false;
    if (format.channels != 1 && format.channels != 2) return false;
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return false;
    if (format.samplesPerSecond == 0 || format.samplesPerSecond > 384000) return false;
    const std::uint32_t blockAlign = format.channels * (format.bitsPerSample / 8u);
    return format.blockAlign == blockAlign &&
           format.averageBytesPerSecond == blockAlign * format.samplesPerSecond &&
           format.extraSize == 0;
}

}  // namespace tonewell
