#pragma once
// The generator settings by field name, for scripts: "frequencyA=440", "waveformIndexA=Sine".

#include "generator/GeneratorSettings.h"

#include <string>
#include <string_view>
#include <vector>

namespace tonewell {

// Names of every GeneratorSettings field, in record order.
std::vector<std::string_view> GeneratorSettingsFieldNames();

// Sets the named field from text. Integers are decimal and must fit the field's type (unsigned
// fields take no sign); boolean fields take 0, 1, true or false; the waveform fields also take
// the waveform names ("Sine", "PinkNoise"). Returns an empty string on success, otherwise what
// was wrong (the settings are then unchanged). Dialog ranges are not enforced here: synthesis
// and the writers take any value the record can hold.
std::string SetGeneratorSettingsField(GeneratorSettings& settings, std::string_view name,
                                      std::string_view value);

}  // namespace tonewell
