#pragma once
// What the main frame asks of its window: the split between the two panes, the bars of the
// slot states, the command bar's buttons, showing and closing the window, and its title. The Qt
// main window implements it; tests record the calls. UI thread.

#include <string>

namespace tonewell {

class FrameWindow {
public:
    virtual ~FrameWindow() = default;

    // The panes take these shown states: a single shown pane has the whole client height, two
    // shown panes split it in halves.
    virtual void showPanes(bool scopeShown, bool spectrumShown) = 0;
    // Height of the lower (spectrum) row of the split window now, in pixels.
    virtual int lowerPaneHeight() const = 0;
    // Re-lays out the frame: the bars of the current slot states shown, the others hidden.
    virtual void recalcLayout() = 0;
    // The command bar's buttons and the menus take the commands' current states.
    virtual void updateCommandBar() = 0;
    // The main window appears (after the splash).
    virtual void showWindow() = 0;
    // The main window closes without asking again; the program ends with it.
    virtual void closeWindow() = 0;
    // The document's title changed ("Untitled" or the file name).
    virtual void setDocumentTitle(const std::string& title) = 0;
};

}  // namespace tonewell
