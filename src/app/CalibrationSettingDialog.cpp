#include "app/CalibrationSettingDialog.h"

#include <charconv>
#include <cmath>
#include <utility>

namespace tonewell {
namespace {

constexpr const char* kMessageNotANumber = "Please enter a number.";
constexpr const char* kMessageRange = "Please enter a number between %1 and %2.";

std::string rangeMessage(double minimum, double maximum) {
    std::string text = kMessageRange;
    text.replace(text.find("%1"), 2, FormatDialogNumber(minimum));
    text.replace(text.find("%2"), 2, FormatDialogNumber(maximum));
    return text;
}

}  // namespace

std::string FormatDialogNumber(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return std::string(buffer, result.ptr);
}

std::optional<double> ParseDialogNumber(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

CalibrationSettingDialog::CalibrationSettingDialog(InstrumentConfiguration& configuration, Shell& shell,
                                                   std::filesystem::path configurationFile)
    : configuration_(configuration), shell_(shell), file_(std::move(configurationFile)) {}

void CalibrationSettingDialog::Open() {
    boxes_[InputFullScale8] = FormatDialogNumber(configuration_.inputFullScale8);
    boxes_[InputFullScale16] = FormatDialogNumber(configuration_.inputFullScale16);
    boxes_[OutputFullScale8] = FormatDialogNumber(configuration_.outputFullScale8);
    boxes_[OutputFullScale16] = FormatDialogNumber(configuration_.outputFullScale16);
}

void CalibrationSettingDialog::OnDefault() {
    for (std::string& text : boxes_) text = FormatDialogNumber(1000.0);
}

bool CalibrationSettingDialog::Store() {
    std::array<float, 4> values{};
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        const std::optional<double> parsed = ParseDialogNumber(boxes_[i]);
        if (!parsed) {
            shell_.showMessage(kMessageNotANumber);
            return false;
        }
        const float value = static_cast<float>(*parsed);
        if (!(value >= static_cast<float>(kMinimum) && value <= static_cast<float>(kMaximum))) {
            shell_.showMessage(rangeMessage(kMinimum, kMaximum));
            return false;
        }
        values[i] = value;
    }
    configuration_.inputFullScale8 = values[InputFullScale8];
    configuration_.inputFullScale16 = values[InputFullScale16];
    configuration_.outputFullScale8 = values[OutputFullScale8];
    configuration_.outputFullScale16 = values[OutputFullScale16];
    return true;
}

bool CalibrationSettingDialog::OnSave() {
    if (!Store()) return false;
    // A file that cannot be written is passed over without a message.
    SaveInstrumentConfigurationPart(file_, configuration_, ConfigurationPart::Calibration);
    return true;
}

bool CalibrationSettingDialog::OnOk() { return Store(); }

}  // namespace tonewell
