#pragma once
// The Display Setting dialog as a model: five colour swatches, the display-mode radio pair, four
// switches, "Show measurements" and the sampling clock correction, "Default", "Save", "OK",
// "Cancel". The switches and colours belong to "Vorel.cfg"; the measurement choices are the
// user's preferences, kept in the desktop's settings store as OK or Save takes them. UI thread
// only.

#include "app/InstrumentConfigurationFile.h"
#include "app/MeasurementReadouts.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>

namespace tonewell {

inline constexpr const char* kDisplayDialogTitle = "Display Setting";
inline constexpr const char* kShowMeasurementsLabel = "Show measurements";
inline constexpr const char* kClockCorrectionLabel = "Sampling clock correction (ppm)";
// How to find the correction, for the box's tooltip and the help.
inline constexpr const char* kClockCorrectionHelp =
    "A sound card's sampling clock is often off by up to 100 ppm (0.1 Hz at 1 kHz). To correct "
    "the frequency readouts, set 0, feed the input a tone of known frequency (a GPS-disciplined "
    "1 kHz, or the generator's output as a calibrated counter reads it), read the frequency F "
    "shown, and enter (reference / F - 1) x 1000000: positive when the card reads low.";

class DisplaySettingDialog {
public:
    enum Colour { Background, ChannelA, ChannelB, Grid, OtherText };

    // afterStore runs after OK and Save have stored the values: it redraws all views and
    // re-applies the enabling of the trigger-mode list and of the "Point" control.
    DisplaySettingDialog(InstrumentConfiguration& configuration, Shell& shell,
                         std::filesystem::path configurationFile, std::function<void()> afterStore);

    // The measurement choices to show and set, and the store that keeps them; without them the
    // dialog leaves them out.
    void attachReadouts(MeasurementReadouts* readouts, SettingsStore* store) {
        readouts_ = readouts;
        store_ = store;
    }

    // Loads the ten values from the configuration and the measurement choices.
    void Open();
    // Puts the built-in values into the dialog; the configuration is unchanged.
    void OnDefault();
    // Opens the colour chooser at the swatch's colour; takes the chosen colour. True when it
    // changed (the swatch is repainted).
    bool OnSwatch(Colour which);
    // Store the values and run afterStore; Save also writes the display part of the file and
    // leaves the dialog open. A clock correction that is no number within ±1000 shows
    // kClockPpmMessage and stores nothing (false).
    bool OnOk();
    bool OnSave();
    void OnCancel() {}

    // The dialog's values (bound to its controls).
    std::array<std::uint32_t, 5> colours{};
    std::uint16_t onePointPerRaster = 1;
    bool invertInput = false;
    bool removeDcInSpectrum = true;
    bool enablePointEdit = false;
    bool autoRunAtStartup = true;
    bool showMeasurements = false;
    std::string clockPpm = "0";

private:
    void LoadFrom(const InstrumentConfiguration& values);
    bool Store();

    InstrumentConfiguration& configuration_;
    Shell& shell_;
    std::filesystem::path file_;
    std::function<void()> afterStore_;
    MeasurementReadouts* readouts_ = nullptr;
    SettingsStore* store_ = nullptr;
};

}  // namespace tonewell
