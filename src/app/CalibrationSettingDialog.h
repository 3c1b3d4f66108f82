#pragma once
// The Calibration Setting dialog as a model: four "Maximum Voltage" boxes in millivolts (input
// and output, 8 and 16 bit), "Default", "Save", "OK", "Cancel". Values between 1e-10 and 1e11
// are accepted. Messages go through Shell. UI thread only.

#include "app/InstrumentConfigurationFile.h"
#include "platform/Shell.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tonewell {

inline constexpr const char* kCalibrationDialogTitle = "Calibration Setting";

// The number text of a dialog box: "%g" with six significant digits ("1000", "1e-10").
std::string FormatDialogNumber(double value);

// A box's decimal number (blanks around it allowed); nothing when the text is no number.
std::optional<double> ParseDialogNumber(std::string_view text);

class CalibrationSettingDialog {
public:
    enum Box { InputFullScale8, InputFullScale16, OutputFullScale8, OutputFullScale16 };
    static constexpr double kMinimum = 1e-10;
    static constexpr double kMaximum = 1e11;

    // configurationFile is the path of "Vorel.cfg" in the program folder.
    CalibrationSettingDialog(InstrumentConfiguration& configuration, Shell& shell,
                             std::filesystem::path configurationFile);

    // Fills the boxes from the four calibration values.
    void Open();

    std::string& box(Box which) { return boxes_[which]; }
    const std::string& box(Box which) const { return boxes_[which]; }

    // Puts 1000 into all four boxes; the configuration is unchanged.
    void OnDefault();
    // Stores the boxes and writes the calibration part of the file; the dialog stays open.
    // False (nothing stored) when a box is refused with its message.
    bool OnSave();
    // Stores the boxes; true when the dialog may close.
    bool OnOk();
    // Closes without storing.
    void OnCancel() {}

private:
    bool Store();

    InstrumentConfiguration& configuration_;
    Shell& shell_;
    std::filesystem::path file_;
    std::array<std::string, 4> boxes_;
};

}  // namespace tonewell
