#include "app/DisplaySettingDialog.h"

#include <utility>

namespace tonewell {

DisplaySettingDialog::DisplaySettingDialog(InstrumentConfiguration& configuration, Shell& shell,
                                           std::filesystem::path configurationFile,
                                           std::function<void()> afterStore)
    : configuration_(configuration),
      shell_(shell),
      file_(std::move(configurationFile)),
      afterStore_(std::move(afterStore)) {}

void DisplaySettingDialog::LoadFrom(const InstrumentConfiguration& values) {
    colours = {values.colorBackground, values.colorChannelA, values.colorChannelB, values.colorGrid,
               values.colorOtherText};
    onePointPerRaster = values.onePointPerRaster;
    invertInput = values.invertInput;
    removeDcInSpectrum = values.removeDcInSpectrum;
    enablePointEdit = values.enablePointEdit;
    autoRunAtStartup = values.autoRunAtStartup;
}

void DisplaySettingDialog::Open() {
    LoadFrom(configuration_);
    const ReadoutOptions options = readouts_ ? readouts_->options() : ReadoutOptions{};
    showMeasurements = options.showMeasurements;
    clockPpm = ClockPpmText(options.clockPpm);
}

// The measurement choices stay: the clock correction was measured, not picked.
void DisplaySettingDialog::OnDefault() { LoadFrom(InstrumentConfiguration{}); }

bool DisplaySettingDialog::OnSwatch(Colour which) {
    const std::optional<std::uint32_t> chosen = shell_.chooseColour(colours[which]);
    if (!chosen) return false;
    colours[which] = *chosen;
    return true;
}

bool DisplaySettingDialog::Store() {
    const std::optional<double> ppm = ParseClockPpm(clockPpm);
    if (!ppm) {
        shell_.showMessage(kClockPpmMessage);
        return false;
    }
    configuration_.colorBackground = colours[Background];
    configuration_.colorChannelA = colours[ChannelA];
    configuration_.colorChannelB = colours[ChannelB];
    configuration_.colorGrid = colours[Grid];
    configuration_.colorOtherText = colours[OtherText];
    configuration_.onePointPerRaster = onePointPerRaster;
    configuration_.invertInput = invertInput;
    configuration_.removeDcInSpectrum = removeDcInSpectrum;
    configuration_.enablePointEdit = enablePointEdit;
    configuration_.autoRunAtStartup = autoRunAtStartup;
    const ReadoutOptions options{showMeasurements, *ppm};
    if (readouts_) readouts_->setOptions(options);
    if (store_) SaveReadoutOptions(*store_, options);
    if (afterStore_) afterStore_();
    return true;
}

bool DisplaySettingDialog::OnOk() { return Store(); }

bool DisplaySettingDialog::OnSave() {
    if (!Store()) return false;
    // A file that cannot be written is passed over without a message.
    SaveInstrumentConfigurationPart(file_, configuration_, ConfigurationPart::Display);
    return true;
}

}  // namespace tonewell
