#pragma once
// Where the program stands in its start-up, as the views' first updates, New, the auto-run of
// capture and the split of the panes see it. One owner: the instrument. The stage only moves by
// the transitions below:
//   the program starts              PanelApplied
//   a panel is applied              -> PanelApplied (New with a loaded panel, Load Panel Setting)
//   Load Panel Setting read a file  -> PanelLoaded  (the new document then applies it)
//   a record in the views           the oscilloscope keeps the panel's choices while the stage
//                                   is below ViewsKept and moves it one on; then the spectrum
//                                   view keeps them while it is at most ScopeKept, one on again
//   the splash ends                 one on (up to SplashEnded)
// UI thread.

#include <cstdint>

namespace tonewell {

enum class StartupStage : std::int8_t {
    PanelLoaded = -1,  // a panel file was read; the next New applies it
    PanelApplied = 0,  // the next record's views keep the applied panel's choices
    ScopeKept = 1,     // the oscilloscope kept them for a record
    ViewsKept = 2,     // both views kept them: later records are fitted to
    SplashEnded = 3,   // and the splash has ended
};

class Startup {
public:
    StartupStage stage() const { return stage_; }

    void panelApplied() { stage_ = StartupStage::PanelApplied; }
    void panelLoaded() { stage_ = StartupStage::PanelLoaded; }
    void splashEnded() { stepOn(); }
    // A record in the oscilloscope: true when it keeps the panel's choices (the stage moves on).
    bool scopeKeepsPanel() { return stage_ < StartupStage::ViewsKept && stepOn(); }
    // The same record in the spectrum view, after the oscilloscope.
    bool spectrumKeepsPanel() { return stage_ <= StartupStage::ScopeKept && stepOn(); }

    // Both views have had a record with the panel: capture may run by itself.
    bool viewsUpdated() const { return stage_ >= StartupStage::ViewsKept; }
    // A record has reached the views since a panel was applied: the oscilloscope may take the
    // whole split window, and New starts again from the built-in panel.
    bool recordShown() const { return stage_ > StartupStage::PanelApplied; }

private:
    bool stepOn() {
        if (stage_ < StartupStage::SplashEnded) stage_ = static_cast<StartupStage>(static_cast<int>(stage_) + 1);
        return true;
    }

    StartupStage stage_ = StartupStage::PanelApplied;
};

}  // namespace tonewell
