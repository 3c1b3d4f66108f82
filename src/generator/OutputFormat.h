#pragma once
// The PCM format of the generated signal (what the sound output is opened with and what the
// export writes), derived from the generator settings at every start.

#include "generator/GeneratorSettings.h"
#include "platform/audio/WaveFormat.h"

namespace tonewell {

// PCM with the settings' channels (1 = A, 2 = A and B), sampling frequency and resolution (8 or
// 16 bits); block align and byte rate follow from them.
WaveFormat OutputFormatFor(const GeneratorSettings& settings);

}  // namespace tonewell
