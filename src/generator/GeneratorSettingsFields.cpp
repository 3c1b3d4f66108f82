#include "generator/GeneratorSettingsFields.h"

#include "generator/GeneratorTables.h"

#include <charconv>
#include <cstdint>
#include <variant>

namespace tonewell {

namespace {

using SignedField = std::int32_t GeneratorSettings::*;
using UnsignedField = std::uint32_t GeneratorSettings::*;
using BoolField = bool GeneratorSettings::*;

struct Field {
    std::string_view name;
    std::variant<SignedField, UnsignedField, BoolField> member;
    bool waveform = false;
};

const Field kFields[] = {
    {"waveformIndexA", &GeneratorSettings::waveformIndexA, true},
    {"waveformIndexB", &GeneratorSettings::waveformIndexB, true},
    {"frequencyA", &GeneratorSettings::frequencyA},
    {"frequencyB", &GeneratorSettings::frequencyB},
    {"amplitudeA", &GeneratorSettings::amplitudeA},
    {"amplitudeB", &GeneratorSettings::amplitudeB},
    {"phaseDifference", &GeneratorSettings::phaseDifference},
    {"sweepEnabled", &GeneratorSettings::sweepEnabled},
    {"sweepStartA", &GeneratorSettings::sweepStartA},
    {"sweepStartB", &GeneratorSettings::sweepStartB},
    {"sweepEndA", &GeneratorSettings::sweepEndA},
    {"sweepEndB", &GeneratorSettings::sweepEndB},
    {"sweepDuration", &GeneratorSettings::sweepDuration},
    {"sweepLinearA", &GeneratorSettings::sweepLinearA},
    {"sweepLinearB", &GeneratorSettings::sweepLinearB},
    {"sampleRateIndex", &GeneratorSettings::sampleRateIndex},
    {"channelsIndex", &GeneratorSettings::channelsIndex},
    {"resolutionIndex", &GeneratorSettings::resolutionIndex},
    {"displayInScope", &GeneratorSettings::displayInScope},
};

template <typename T>
bool parseWhole(std::string_view text, T& out) {
    if (text.empty()) return false;
    if constexpr (std::is_unsigned_v<T>) {
        if (text.front() == '-' || text.front() == '+') return false;
    } else if (text.front() == '+') {
        text.remove_prefix(1);
    }
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::vector<std::string_view> GeneratorSettingsFieldNames() {
    std::vector<std::string_view> names;
    for (const Field& field : kFields) names.push_back(field.name);
    return names;
}

std::string SetGeneratorSettingsField(GeneratorSettings& settings, std::string_view name,
                                      std::string_view value) {
    for (const Field& field : kFields) {
        if (field.name != name) continue;
        if (auto* member = std::get_if<SignedField>(&field.member)) {
            std::int32_t number = 0;
            if (field.waveform && WaveformCodeForName(value) >= 0) {
                number = WaveformCodeForName(value);
            } else if (!parseWhole(value, number)) {
                return "invalid value \"" + std::string(value) + "\" for " + std::string(name) +
                       (field.waveform ? " (a whole number or a waveform name)" : " (a whole number)");
            }
            settings.*(*member) = number;
        } else if (auto* member = std::get_if<UnsignedField>(&field.member)) {
            std::uint32_t number = 0;
            if (!parseWhole(value, number))
                return "invalid value \"" + std::string(value) + "\" for " + std::string(name) +
                       " (a whole number from 0 to 4294967295)";
            settings.*(*member) = number;
        } else {
            BoolField flag = std::get<BoolField>(field.member);
            if (value == "1" || value == "true") settings.*flag = true;
            else if (value == "0" || value == "false") settings.*flag = false;
            else
                return "invalid value \"" + std::string(value) + "\" for " + std::string(name) +
                       " (0, 1, true or false)";
        }
        return {};
    }
    return "unknown generator setting \"" + std::string(name) + "\"";
}

}  // namespace tonewell
