#pragma once
// The "MultiTones Configuration" dialog as control models: the waveform list, the editable
// frequency and relative amplitude combos, the "Ch. A" and "Ch. B" list boxes of tone lines
// with their ">" (add) and "<" (remove) buttons, and "Save", "Load", "Close". Every change of
// the lines rebuilds that channel's tone list at once. UI thread only; the tone lists and
// toneFilePath are owned by the generator, the settings give the Nyquist limit.

#include "controls/ButtonControl.h"
#include "controls/ListControl.h"
#include "generator/GeneratorSettings.h"
#include "generator/ToneList.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace tonewell {

class Shell;

inline constexpr const char* kToneFileSaveFilter = "Tone Config. File (*.tcf)|*.tcf|";
inline constexpr const char* kToneFileOpenFilter = "Tone Config. File (*.tcf)|*.tcf|All Files (*.*)|*.*|";
inline constexpr const char* kToneFileDefaultExtension = "tcf";
inline constexpr const char* kToneFileInitialName = "tcf1";

class MultitoneDialog {
public:
    MultitoneDialog(ToneLists& toneLists, std::string& toneFilePath, const GeneratorSettings& settings, Shell& shell);
    MultitoneDialog(const MultitoneDialog&) = delete;
    MultitoneDialog& operator=(const MultitoneDialog&) = delete;

    // "Sine" .. "PinkNoise" (codes 1..6); the frequency box is disabled for the two noises.
    ListControl waveform;
    // Editable, the frequency presets; checked on every change and when it loses the focus.
    ListControl frequency{0, true};
    // Editable, no presets; held within 0 .. 1.
    ListControl amplitude{0, true};
    // [0] "Ch. A", [1] "Ch. B": one tone line per row.
    std::array<ListControl, 2> lines;
    std::array<ButtonControl, 2> add{ButtonControl(0, ">"), ButtonControl(0, ">")};
    std::array<ButtonControl, 2> remove{ButtonControl(0, "<"), ButtonControl(0, "<")};
    ButtonControl save{0, "Save"};
    ButtonControl load{0, "Load"};
    ButtonControl close{0, "Close"};

    // Opening: "Sine" and "1000" selected, the list boxes filled from the tone lists.
    void open();

    // Empties both list boxes and tone lists (the generator dialog does this when MultiTones is
    // chosen again while this dialog is open).
    void clearLists();

    // Runs when "Close" is clicked, with toneFilePath for the function page's file name field.
    std::function<void(const std::string& toneFilePath)> onClosed;

private:
    void checkFrequency();
    void checkAmplitude();
    void addLine(int channel);
    void removeLine(int channel);
    void focusLines(int channel);
    void saveFile();
    void loadFile();
    void setLines(int channel, std::vector<std::string> rows);
    void rebuild(int channel);
    void refreshWaveform();

    ToneLists& toneLists_;
    std::string& toneFilePath_;
    const GeneratorSettings& settings_;
    Shell& shell_;
};

}  // namespace tonewell
