#include "app/FrameCommands.h"

#include <algorithm>
#include <array>

namespace tonewell {

namespace {

using P = CommandPlace;

constexpr std::array kCommands{
    FrameCommand{kCommandFileNew, P::FileMenu, "New", "Open a new document"},
    FrameCommand{kCommandFileOpen, P::FileMenu, "Open", "Open an existing document"},
    FrameCommand{kCommandFileSave, P::FileMenu, "Save", "Save the active document"},
    FrameCommand{kCommandFileSaveAs, P::FileMenu, "Save As", "Save the active document with a new name"},
    FrameCommand{kCommandScopeExport, P::FileMenu, "Oscilloscope Export", "Export the oscilloscope data"},
    FrameCommand{kCommandSpectrumExport, P::FileMenu, "Spectrum Analyzer Export", "Export the spectrum analyzer data"},
    FrameCommand{kCommandAppExit, P::FileMenu, "Exit", "Quit the application; prompts to save documents\nExit"},

    FrameCommand{kCommandCalibration, P::SettingMenu, "Calibration", "Calibrate input and output channels"},
    FrameCommand{kCommandDisplay, P::SettingMenu, "Display", "Configure Color Setting"},
    FrameCommand{kCommandNotes, P::SettingMenu, "Notes", "Add note to the measurement"},
    FrameCommand{kCommandSignalGenerator, P::SettingMenu, "Signal Generator", ""},
    FrameCommand{kCommandAudioDevice, P::SettingMenu, "Audio Device", "Choose the sound devices for output and input"},
    FrameCommand{kCommandFrequencyResponse, P::SettingMenu, "Frequency Response",
                 "Measure the frequency response of a system with a sweep\nFrequency Response"},
    FrameCommand{kCommandSpectrumXScale, P::SettingMenu, "Spectrum Analyzer X Scale", "Change Spectrum Analyzer X Scale"},
    FrameCommand{kCommandSpectrumYScale, P::SettingMenu, "Spectrum Analyzer Y Scale", "Change Spectrum Analyzer Y Scale"},
    FrameCommand{kCommandTrigSampParameters, P::SettingMenu, "Trigger/Sampling Parameters",
                 "Display trigger and sampling parameters"},
    FrameCommand{kCommandScopeParameters, P::SettingMenu, "Oscilloscope Parameters", "Display oscilloscope parameters"},
    FrameCommand{kCommandSpectrumParameters, P::SettingMenu, "Spectrum Analyzer Parameters",
                 "Display spectrum analyzer parameters"},
    FrameCommand{kCommandSavePanelDefault, P::SettingMenu, "Save Panel Setting as Default",
                 "Save Current Panel Setting as Default"},
    FrameCommand{kCommandSavePanel, P::SettingMenu, "Save Panel Setting", "Save Current Panel Setting"},
    FrameCommand{kCommandLoadPanel, P::SettingMenu, "Load Panel Setting", "Load Panel Setting"},

    FrameCommand{kCommandHelpTopic, P::HelpMenu, "Help Topic", "List help topic\nHelp Topics"},
    FrameCommand{kCommandAbout, P::HelpMenu, "About Quendal Tonewell",
                 "Display program information, version number and copyright\nAbout"},

    FrameCommand{kCommandRunStopInput, P::CommandBar, "Run/Stop monitoring input", "Run/Stop monitoring input", true},
    FrameCommand{kCommandScopePane, P::CommandBar, "Oscilloscope", "Oscilloscope", true},
    FrameCommand{kCommandSpectrumPane, P::CommandBar, "Spectrum Analyzer", "Spectrum Analyzer", true},
    FrameCommand{kCommandRunStopOutput, P::CommandBar, "Run/Stop output", "Run/Stop output", true},

    FrameCommand{kCommandShowSamplingBar, P::BarButton, "Display Sampling Parameters", "Display Sampling Parameters"},
    FrameCommand{kCommandShowTriggerBar, P::BarButton, "Display Trigger Parameters", "Display Trigger Parameters"},
    FrameCommand{kCommandShowScopeBar1, P::BarButton, "Display Oscilloscope Parameters 1",
                 "Display Oscilloscope Parameters 1"},
    FrameCommand{kCommandShowScopeBar2, P::BarButton, "Display Oscilloscope Parameters 2",
                 "Display Oscilloscope Parameters 2"},
    FrameCommand{kCommandShowSpectrumBar1, P::BarButton, "Display Spectrum Analyzer Parameters 1",
                 "Display Spectrum Analyzer Parameters 1"},
    FrameCommand{kCommandShowSpectrumBar2, P::BarButton, "Display Spectrum Analyzer Parameters 2",
                 "Display Spectrum Analyzer Parameters 2"},

    FrameCommand{kCommandFileClose, P::Posted, "Close", "Close the active document"},
};

// A slot command's check mark: on while the slot shows one of its bars.
bool SlotShown(int state) { return state != 0; }

}  // namespace

std::span<const FrameCommand> FrameCommandTable() { return kCommands; }

const FrameCommand* FindFrameCommand(int id) {
    auto found = std::find_if(kCommands.begin(), kCommands.end(), [id](const FrameCommand& c) { return c.id == id; });
    return found == kCommands.end() ? nullptr : &*found;
}

CommandState FrameCommandState(int id, const FrameConditions& c) {
    const bool idle = !c.inputRunning;
    const int edition = c.productEdition;
    switch (id) {
    case kCommandFileNew:
    case kCommandFileOpen:
    case kCommandCalibration:
    case kCommandDisplay:
    case kCommandNotes:
    case kCommandAudioDevice:
    case kCommandSavePanelDefault:
    case kCommandSavePanel:
    case kCommandLoadPanel:
    case kCommandHelpTopic:
    case kCommandAbout:
        return {idle, false};
    case kCommandFileSave:
    case kCommandFileSaveAs:
        return {idle && !c.recordEmpty, false};
    case kCommandScopeExport:
        return {c.scopeShown && idle && !c.recordEmpty, false};
    case kCommandSpectrumExport:
        return {c.spectrumShown && idle && !c.recordEmpty && EditionHasSpectrum(edition), false};
    case kCommandSignalGenerator:
        return {idle && EditionHasOutput(edition), false};
    case kCommandFrequencyResponse:
        // The window stays open beside the instruments; its Run waits for free devices.
        return {EditionHasResponse(edition), false};
    case kCommandSpectrumXScale:
    case kCommandSpectrumYScale:
        return {idle && c.amplitudeSpectrum && c.spectrumShown && (edition == kEditionAll || edition == kEditionGeneratorScope),
                false};
    case kCommandTrigSampParameters:
        return {true, SlotShown(c.trigSampBarState)};
    case kCommandScopeParameters:
        return {true, SlotShown(c.scopeBarState)};
    case kCommandSpectrumParameters:
        return {EditionHasSpectrum(edition), SlotShown(c.spectrumBarState)};
    case kCommandRunStopInput:
        return {(c.scopeShown || c.spectrumShown) && !c.displayInScopeActive && EditionHasCapture(edition),
                c.inputRunning || c.runPressedAtStart};
    case kCommandScopePane:
        return {true, c.scopeShown};
    case kCommandSpectrumPane:
        return {EditionHasSpectrum(edition), c.spectrumShown};
    case kCommandRunStopOutput:
        return {EditionHasOutput(edition), c.outputRunning};
    default:
        return {true, false};
    }
}

}  // namespace tonewell
