#pragma once
// The spectrum analyser's bars and axis scales and the view they set: the lists read into the
// view's settings, the type's own X and Y lists with their default rows, "CCR" offered only for
// two channels, a missing channel's lists "Off" and disabled, the window list only for "AMS",
// and the axis choices of the scale dialogs. The view draws what it is handed and never writes
// to the bars. Owned by Instrument; UI thread; the references must outlive it.

#include "acquisition/AcquisitionParameters.h"
#include "acquisition/SignalDoc.h"
#include "app/PanelSetting.h"
#include "shared/RangeTables.h"
#include "spectrum/CSpectrumView.h"
#include "spectrum/SpectrumSelectors.h"
#include "spectrum/SpectrumSettings.h"

namespace tonewell {

struct SpectrumPanelParts {
    SpectrumSelectors& bars;
    const RangeTables& tables;
    const CSignalDoc& document;                // channels, full scales and interval of the record
    const AcquisitionParameters& acquisition;  // samplingRate while the record is empty
    const PanelSetting& loadedPanel;           // the axis choices a start-up restores
    CSpectrumView& view;
};

class SpectrumPanel {
public:
    explicit SpectrumPanel(SpectrumPanelParts parts);
    SpectrumPanel(const SpectrumPanel&) = delete;
    SpectrumPanel& operator=(const SpectrumPanel&) = delete;

    // A new, opened or reformatted record: with keepPanel (start-up, a loaded panel) the type
    // and axis choices of the panel stay, else the view starts over with "AMS", Linear, Volt,
    // normalised and default ranges; then the lists are fitted to the record's channels.
    void takeRecord(bool keepPanel);
    // Any spectrum list but the type changed: the view takes the bars' settings.
    void applyControls();
    // The type list changed.
    void typeChanged();
    // The bars follow the record's channels, then the view takes them.
    void syncToolbar();
    // The axis scale dialogs' OK: a change clears the cursors and, when "Normalized" changed,
    // refills the Y range lists with their defaults. The same choices again change nothing.
    void setScaleModes(const SpectrumScaleModes& modes);

    const SpectrumSettings& settings() const { return settings_; }
    // The axis choices as the scale dialogs take and set them.
    SpectrumScaleChoice scaleChoice() {
        return {[this] { return settings_.scales; }, [this](const SpectrumScaleModes& modes) { setScaleModes(modes); }};
    }

private:
    // The bars into settings_ (a list with nothing selected keeps its value).
    void read();
    void push();
    void showDefaultXRange(SpectrumType type);
    void showDefaultYRanges(SpectrumType type);
    void switchType(SpectrumType type);

    SpectrumPanelParts parts_;
    SpectrumSettings settings_;
};

}  // namespace tonewell
