#pragma once
// The trigger toolbar as control models: mode, source and edge lists, the level and delay boxes
// with their spin buttons, in toolbar order with ids, widths and strings. Owned by the main
// frame; UI thread.

#include <array>
#include <span>

#include "acquisition/AcquisitionParameters.h"
#include "controls/EditControl.h"
#include "controls/ListControl.h"
#include "shared/RangeTables.h"
#include "controls/SpinControl.h"
#include "controls/ToolbarItem.h"

namespace tonewell {

inline constexpr int kTriggerModeId = 65010;
inline constexpr int kTriggerSourceId = 65011;
inline constexpr int kTriggerEdgeId = 65012;
inline constexpr int kTriggerLevelId = 65013;
inline constexpr int kTriggerDelayId = 65014;
inline constexpr int kTriggerDelaySpinId = 65015;
inline constexpr int kTriggerLevelSpinId = 65016;

inline constexpr int kTriggerModeNone = 0;

class TriggerBar {
public:
    TriggerBar();
    TriggerBar(const TriggerBar&) = delete;
    TriggerBar& operator=(const TriggerBar&) = delete;

    // The bar's creation: each list filled from its table and set to the table's stored row,
    // the spin buttons given -100..100 and the stored percentages (the boxes show "N%"), the
    // enabling of the trigger mode applied, and triggerMode, triggerSource, triggerEdge,
    // triggerLevelCode (at acquisition.samplingBits) and triggerDelaySamples (of recordLength
    // samples) set from them.
    void Fill(const RangeTables& tables, int levelPercent, int delayPercent, bool bothChannels,
              std::int32_t recordLength, AcquisitionParameters& acquisition);

    // Mode "None" disables source, edge, level, delay and their spin buttons; any other mode
    // enables them, the source only when both channels are sampled.
    void ApplyModeEnabling(std::int32_t triggerMode, bool bothChannels);

    // The mode list is disabled while the generator shows its output in the oscilloscope.
    void ApplyModeListEnabling(bool generatorInScope) { mode.setEnabled(!generatorInScope); }

    // The selected mode's value, or "None" when nothing is selected.
    std::int32_t selectedMode(const RangeTables& tables) const;

    std::span<const ToolbarItem> items() const { return items_; }

    ListControl mode{kTriggerModeId};
    ListControl source{kTriggerSourceId};
    ListControl edge{kTriggerEdgeId};
    EditControl level{kTriggerLevelId};
    SpinControl levelSpin{kTriggerLevelSpinId};
    EditControl delay{kTriggerDelayId};
    SpinControl delaySpin{kTriggerDelaySpinId};

private:
    std::array<ToolbarItem, 7> items_;
};

}  // namespace tonewell
