#pragma once
// What the oscilloscope view asks of the main frame around it: the start-up step that gives it
// the whole split window, and the toolbar it brings up when tapped. The frame implements it;
// called on the UI thread.

namespace tonewell {

class ScopeFrameHooks {
public:
    virtual ~ScopeFrameHooks() = default;


    // Once a record has been shown, while the spectrum pane is hidden but the lower row of the
    // split window still has height: give the upper row all of it, re-lay out the frame and
    // answer true (the view then skips this draw; the next paint draws). False when nothing had
    // to change.
    virtual bool giveScopeWholeHeight() = 0;

    // A tap on the view shows oscilloscope bar 1 and hides oscilloscope bar 2 and both spectrum
    // bars, then re-lays out the frame.
    virtual void showScopeBar1() = 0;
};

}  // namespace tonewell
