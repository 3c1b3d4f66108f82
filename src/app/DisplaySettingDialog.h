#pragma once
// The Display Setting dialog as a model: five colour swatches, the display-mode radio pair, four
// switches, "Default", "Save", "OK", "Cancel". UI thread only.

#include "app/InstrumentConfigurationFile.h"
#include "platform/Shell.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>

namespace tonewell {

inline constexpr const char* kDisplayDialogTitle = "Display Setting";

class DisplaySettingDialog {
public:
    enum Colour { Background, ChannelA, ChannelB, Grid, OtherText };

    // afterStore runs after OK and Save have stored the values: it redraws all views and
    // re-applies the enabling of the trigger-mode list and of the "Point" control.
    DisplaySettingDialog(InstrumentConfiguration& configuration, Shell& shell,
                         std::filesystem::path configurationFile, std::function<void()> afterStore);

    // Loads the ten values from the configuration.
    void Open();
    // Puts the built-in values into the dialog; the configuration is unchanged.
    void OnDefault();
    // Opens the colour chooser at the swatch's colour; takes the chosen colour. True when it
    // changed (the swatch is repainted).
    bool OnSwatch(Colour which);
    // Store the values and run afterStore; Save also writes the display part of the file and
    // leaves the dialog open.
    void OnOk();
    void OnSave();
    void OnCancel() {}

    // The dialog's values (bound to its controls).
    std::array<std::uint32_t, 5> colours{};
    std::uint16_t onePointPerRaster = 1;
    bool invertInput = false;
    bool removeDcInSpectrum = true;
    bool enablePointEdit = false;
    bool autoRunAtStartup = true;

private:
    void LoadFrom(const InstrumentConfiguration& values);
    void Store();

    InstrumentConfiguration& configuration_;
    Shell& shell_;
    std::filesystem::path file_;
    std::function<void()> afterStore_;
};

}  // namespace tonewell
