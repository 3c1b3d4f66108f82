#pragma once
// What output streaming tells the generator dialog while its window is open: the dialog
// attaches itself to the output (GeneratorOutput::attachWindow) when its window opens and
// detaches when it closes. The output never reads the dialog: the dialog hands its pages over
// (into the generator's settings) before it asks the output to start. Closing the window never
// stops the output. UI thread.

#include <string_view>

namespace tonewell {

class GeneratorWindow {
public:
    virtual ~GeneratorWindow() = default;

    // The pages' controls take their enabled state for the output's run state.
    virtual void applyEnabling() = 0;
    // The Run/Stop button shows "Run" or "Stop".
    virtual void setRunButtonText(std::string_view text) = 0;
    // The window comes to the front again after a device error.
    virtual void activate() = 0;
    // A click of the Run/Stop button, as the end of a sweep and the frame's "Run/Stop output"
    // give it while the window is open: the button's handler runs as for a click of the user,
    // so a start takes the pages' values.
    virtual void clickRunStop() = 0;
};

}  // namespace tonewell
