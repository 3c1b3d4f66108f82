#pragma once
// The measured response as files: the text table (a header, then frequency, magnitude and phase
// per line) and the impulse response as a WAV file of 32-bit floats, which keeps its level and
// sign exactly. Both are written safely: a failure leaves any previous file as it was.

#include "response/FrequencyResponse.h"

#include <filesystem>
#include <string>

namespace tonewell {

inline constexpr const char* kResponseTableHeader = "frequency,magnitude,phase";

// The table's text: kResponseTableHeader, then "Hz,dB,degrees" per grid point ("%.3f,%.3f,%.2f").
std::string ResponseTableText(const FrequencyResponse& response);

bool WriteResponseTable(const std::filesystem::path& path, const FrequencyResponse& response);

// The impulse response, one channel at the response's rate (format 3: IEEE float).
bool WriteImpulseWave(const std::filesystem::path& path, const FrequencyResponse& response);

}  // namespace tonewell
