#pragma once
// The "MultiTones Configuration" dialog as a model: a waveform list, an editable frequency
// combo, a relative amplitude combo, the "Ch. A" and "Ch. B" tone lines with their ">" (add)
// and "<" (remove) buttons, and "Save", "Load", "Close". Every change of the lines rebuilds that
// channel's tone list at once. UI thread only; the tone lists and toneFilePath are owned by the
// generator, the settings give the Nyquist limit.

#include "generator/GeneratorSettings.h"
#include "generator/ToneList.h"

#include <functional>
#include <string>
#include <string_view>
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

    // The waveform list's items: "Sine" .. "PinkNoise" (codes 1..6).
    static std::vector<std::string> waveformItems();
    // The frequency combo's preset items.
    static std::vector<std::string> frequencyItems();

    // Opening: the combos take their opening selections, the lines show the tone lists.
    void open();

    // Waveform list: row 0..5.
    void selectWaveform(int row);
    int waveformRow() const { return waveformRow_; }
    // The frequency combo is of no use for noise.
    bool frequencyEnabled() const;

    // Frequency text: checked on every change and when the combo loses focus. A value outside
    // 1 .. Nyquist is reported and replaced by "1" or the limit.
    void setFrequencyText(std::string_view text);
    void frequencyFocusLost();
    const std::string& frequencyText() const { return frequencyText_; }

    // Relative amplitude text: above 1.0 it becomes "1.0", below 0 it becomes "0".
    void setAmplitudeText(std::string_view text);
    const std::string& amplitudeText() const { return amplitudeText_; }

    // Channel 0 = "Ch. A", 1 = "Ch. B".
    const std::vector<std::string>& lines(int channel) const { return lines_[index(channel)]; }
    int selectedLine(int channel) const { return selected_[index(channel)]; }  // -1: none
    void selectLine(int channel, int row);
    void listFocused(int channel);
    bool addEnabled(int channel) const { return addEnabled_[index(channel)]; }
    bool removeEnabled(int channel) const { return removeEnabled_[index(channel)]; }

    void add(int channel);     // ">"
    void remove(int channel);  // "<"

    // "Save" and "Load" through the shell's file choosers; cancelling does nothing.
    void save();
    void load();

    // Empties both lists and tone lists (the generator dialog does this when MultiTones is chosen
    // again while this dialog is open).
    void clearLists();

    // "Close": onClosed receives toneFilePath for the function page's file name field.
    void close();
    std::function<void(const std::string& toneFilePath)> onClosed;

private:
    static std::size_t index(int channel) { return channel == 1 ? 1 : 0; }
    void rebuild(int channel);
    void refreshAdd(int channel);

    ToneLists& toneLists_;
    std::string& toneFilePath_;
    const GeneratorSettings& settings_;
    Shell& shell_;

    int waveformRow_ = 0;
    std::string frequencyText_ = "1000";
    std::string amplitudeText_ = "1.0";
    std::vector<std::string> lines_[2];
    int selected_[2] = {-1, -1};
    bool addEnabled_[2] = {true, true};
    bool removeEnabled_[2] = {false, false};
};

}  // namespace tonewell
