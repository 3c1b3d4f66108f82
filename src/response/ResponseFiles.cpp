#include "response/ResponseFiles.h"

#include "platform/ByteWriter.h"
#include "platform/SafeFileWriter.h"

#include <cmath>
#include <cstdio>

namespace tonewell {

namespace {

// The value as it will be printed with 1/scale steps, without the sign of a zero ("-0.000").
double Unsigned(double value, double scale) { return std::round(value * scale) / scale + 0.0; }

}  // namespace

std::string ResponseTableText(const FrequencyResponse& response) {
    std::string text = std::string(kResponseTableHeader) + "\n";
    char line[96];
    for (std::size_t i = 0; i < response.frequencyHz.size(); ++i) {
        // A phase that rounds to -180.00 is written as 180.00: one value for one direction.
        double phase = response.phaseDegrees[i];
        if (phase < -179.995) phase += 360.0;
        std::snprintf(line, sizeof line, "%.3f,%.3f,%.2f\n", response.frequencyHz[i],
                      Unsigned(response.magnitudeDb[i], 1e3), Unsigned(phase, 1e2));
        text += line;
    }
    return text;
}

bool WriteResponseTable(const std::filesystem::path& path, const FrequencyResponse& response) {
    return writeFileSafely(path, ResponseTableText(response));
}

bool WriteImpulseWave(const std::filesystem::path& path, const FrequencyResponse& response) {
    constexpr std::uint16_t kIeeeFloat = 3;
    const auto rate = static_cast<std::uint32_t>(std::lround(response.sampleRate));
    const auto dataBytes = static_cast<std::uint32_t>(response.impulse.size() * 4);
    ByteWriter out;
    out.reserve(dataBytes + 64);
    out.text("RIFF");
    out.u32(4 + (8 + 18) + (8 + 4) + (8 + dataBytes));
    out.text("WAVE");
    out.text("fmt ");
    out.u32(18);
    out.u16(kIeeeFloat);
    out.u16(1);         // channels
    out.u32(rate);
    out.u32(rate * 4);  // bytes per second
    out.u16(4);         // block align
    out.u16(32);        // bits per sample
    out.u16(0);         // extra size
    out.text("fact");   // a format other than PCM states its sample frames
    out.u32(4);
    out.u32(static_cast<std::uint32_t>(response.impulse.size()));
    out.text("data");
    out.u32(dataBytes);
    for (float v : response.impulse) out.f32(v);
    return writeFileSafely(path, out.chars());
}

}  // namespace tonewell
