#pragma once
// What output streaming asks of the generator dialog while its window is open: the dialog
// attaches itself to the output (GeneratorOutput::attachWindow) when its window opens and
// detaches when it closes. Closing the window never stops the output. UI thread.

#include <string_view>

namespace tonewell {

class GeneratorWindow {
public:
    virtual ~GeneratorWindow() = default;

    // The three pages' controls are read into the generator's settings (before every start).
    virtual void readPages() = 0;
    // The pages show the settings again (a sweep duration of 0 became 1).
    virtual void showSettings() = 0;
    // The pages' controls take their enabled state for the output's run state.
    virtual void applyEnabling() = 0;
    // The Run/Stop button shows "Run" or "Stop".
    virtual void setRunButtonText(std::string_view text) = 0;
    // The window comes to the front again after a device error.
    virtual void activate() = 0;
    // A click of the Run/Stop button, as the end of a sweep posts it; the button's handler
    // runs as for a click of the user.
    virtual void clickRunStop() = 0;
};

}  // namespace tonewell
