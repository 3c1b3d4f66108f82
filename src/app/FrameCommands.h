#pragma once
// The main frame's commands: identifier, where the command appears, its text, the string-table
// text with the status prompt and the tip, and the enable and check rules by product edition.
// The rules are pure functions of FrameConditions so that every edition is tested the same way.

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/Shell.h"

namespace tonewell {

// Product editions: which instruments the program offers.
inline constexpr int kEditionAll = 0;                // oscilloscope, spectrum analyser and generator
inline constexpr int kEditionScope = 1;              // oscilloscope alone
inline constexpr int kEditionScopeSpectrum = 2;      // oscilloscope and spectrum analyser
inline constexpr int kEditionGeneratorScope = 3;     // generator with an oscilloscope display

// File menu.
inline constexpr int kCommandFileNew = 57600;
inline constexpr int kCommandFileOpen = 57601;
// kCommandFileClose (57602) is in platform/Shell.h: the core posts it.
inline constexpr int kCommandFileSave = 57603;
inline constexpr int kCommandFileSaveAs = 57604;
inline constexpr int kCommandScopeExport = 32772;
inline constexpr int kCommandSpectrumExport = 32815;
inline constexpr int kCommandAppExit = 57665;
// Setting menu.
inline constexpr int kCommandCalibration = 32777;
inline constexpr int kCommandDisplay = 32778;
inline constexpr int kCommandNotes = 32780;
inline constexpr int kCommandSignalGenerator = 32821;
inline constexpr int kCommandAudioDevice = 32830;
inline constexpr int kCommandFrequencyResponse = 32831;
inline constexpr int kCommandSpectrumXScale = 32813;
inline constexpr int kCommandSpectrumYScale = 32814;
inline constexpr int kCommandTrigSampParameters = 32809;
inline constexpr int kCommandScopeParameters = 32810;
inline constexpr int kCommandSpectrumParameters = 32811;
inline constexpr int kCommandSavePanelDefault = 32817;
inline constexpr int kCommandSavePanel = 32818;
inline constexpr int kCommandLoadPanel = 32819;
// Help menu.
inline constexpr int kCommandHelpTopic = 57667;
inline constexpr int kCommandAbout = 57664;
// The command bar's check buttons.
inline constexpr int kCommandRunStopInput = 32786;
inline constexpr int kCommandScopePane = 32787;
inline constexpr int kCommandSpectrumPane = 32788;
inline constexpr int kCommandRunStopOutput = 32820;
// The buttons on the parameter bars that switch between the two bars of a slot.
inline constexpr int kCommandShowSamplingBar = 32796;
inline constexpr int kCommandShowTriggerBar = 32797;
inline constexpr int kCommandShowScopeBar1 = 32798;
inline constexpr int kCommandShowScopeBar2 = 32799;
inline constexpr int kCommandShowSpectrumBar1 = 32800;
inline constexpr int kCommandShowSpectrumBar2 = 32801;

// What Help Topic says when the program's help cannot be shown.
inline constexpr const char* kHelpFailedMessage = "Could not run peghelp.exe";

enum class CommandPlace { FileMenu, SettingMenu, HelpMenu, CommandBar, BarButton, Posted };

struct FrameCommand {
    int id = 0;
    CommandPlace place = CommandPlace::FileMenu;
    std::string_view text;          // menu text or button caption
    std::string_view resourceText;  // "prompt\ntip", as the string table words it; may be empty
    bool checkButton = false;       // a command-bar button that stays pressed

    // The text before the first "\n" (all of it when there is none).
    std::string_view prompt() const { return resourceText.substr(0, resourceText.find('\n')); }
    // The text after the first "\n" (empty when there is none).
    std::string_view tip() const {
        std::size_t split = resourceText.find('\n');
        return split == std::string_view::npos ? std::string_view() : resourceText.substr(split + 1);
    }
};

// Every command, menus first in menu order, then the command-bar and bar buttons, then the
// posted File Close.
std::span<const FrameCommand> FrameCommandTable();
// The command with this id; nullptr for none.
const FrameCommand* FindFrameCommand(int id);

// What the rules look at.
struct FrameConditions {
    int productEdition = kEditionGeneratorScope;
    bool inputRunning = false;          // capture runs ("idle" is its absence)
    bool outputRunning = false;
    bool recordEmpty = true;            // the document holds no sample
    bool scopeShown = true;
    bool spectrumShown = true;
    bool displayInScopeActive = false;  // the generator shows its output in the oscilloscope
    bool amplitudeSpectrum = true;      // the spectrum type is "AMS"
    int trigSampBarState = 1;           // slot states: 0 hidden, 1 first bar, 2 second bar
    int scopeBarState = 1;
    int spectrumBarState = 0;
    bool runPressedAtStart = false;
};

struct CommandState {
    bool enabled = true;
    bool checked = false;
    friend bool operator==(const CommandState&, const CommandState&) = default;
};

// The enable and check rule of a command under these conditions. An unknown id is enabled and
// unchecked.
CommandState FrameCommandState(int id, const FrameConditions& conditions);

// The editions that offer each instrument.
constexpr bool EditionHasSpectrum(int edition) { return edition == kEditionAll || edition == kEditionScopeSpectrum; }
constexpr bool EditionHasOutput(int edition) { return edition == kEditionAll || edition == kEditionGeneratorScope; }
constexpr bool EditionHasCapture(int edition) { return edition != kEditionGeneratorScope; }
// A response measurement plays a sweep and records the answer: it needs both.
constexpr bool EditionHasResponse(int edition) { return EditionHasOutput(edition) && EditionHasCapture(edition); }

}  // namespace tonewell
