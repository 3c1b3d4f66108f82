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

void DisplaySettingDialog::Open() { LoadFrom(configuration_); }

void DisplaySettingDialog::OnDefault() { LoadFrom(InstrumentConfiguration{}); }

bool DisplaySettingDialog::OnSwatch(Colour which) {
    const std::optional<std::uint32_t> chosen = shell_.chooseColour(colours[which]);
    if (!chosen) return false;
    colours[which] = *chosen;
    return true;
}

void DisplaySettingDialog::Store() {
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
    if (afterStore_) afterStore_();
}

void DisplaySettingDialog::OnOk() { Store(); }

void DisplaySettingDialog::OnSave() {
    Store();
    // A file that cannot be written is passed over without a message.
    SaveInstrumentConfigurationPart(file_, configuration_, ConfigurationPart::Display);
}

}  // namespace tonewell
