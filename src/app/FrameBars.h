#pragma once
// The six parameter bars as the main frame lays them out: for each bar its slot, the slot state
// that shows it, its controls in order (each with the prompt the status bar shows and the tip
// the tooltip shows and screen readers announce) and the button that switches to the other bar
// of its slot. The controls are the front panel's models; the layout points at them. UI thread.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "app/FrontPanel.h"
#include "controls/ToolbarItem.h"

namespace tonewell {

enum class BarSlot { TriggerSampling = 0, Scope = 1, Spectrum = 2 };
inline constexpr int kBarSlotCount = 3;

struct FrameBarControl {
    ToolbarItem item;    // id, kind, width and model (no model for a label)
    std::string prompt;  // status-bar text and accessible description
    std::string name;    // tooltip and accessible name: the tip text, or a name of its own
};

struct FrameBar {
    std::string_view title;  // "Trigger", "Sampling", "Oscilloscope 1", ...
    BarSlot slot = BarSlot::TriggerSampling;
    int shownInState = 1;    // the slot state that shows this bar
    std::vector<FrameBarControl> controls;
    int switchCommand = 0;   // the button that shows the slot's other bar
};

// Trigger, sampling, oscilloscope 1 and 2, spectrum 1 and 2, in that order.
std::vector<FrameBar> MakeFrameBars(FrontPanel& panel);

}  // namespace tonewell
