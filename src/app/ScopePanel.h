#pragma once
// The oscilloscope's bars and the view they set: the seven selectors read into the view's
// settings (once per change), their enabling for the record's channels and the type, the ranges
// fitted to a new record, and the type changes that move other selectors. The view draws what
// it is handed and never writes to the bars. Owned by Instrument; UI thread; the references
// must outlive it.

#include "acquisition/SignalDoc.h"
#include "scope/CScopeView.h"
#include "scope/ScopeBars.h"
#include "scope/ScopeSettings.h"
#include "shared/ProgramState.h"
#include "shared/RangeTables.h"

namespace tonewell {

struct ScopePanelParts {
    ScopeBars& bars;
    const RangeTables& tables;
    CSignalDoc& document;  // channels, full scales and length of the record; its statistics follow the type
    const RunState& run;   // displayInScopeActive locks the time range
    CScopeView& view;
};

class ScopePanel {
public:
    explicit ScopePanel(ScopePanelParts parts);
    ScopePanel(const ScopePanel&) = delete;
    ScopePanel& operator=(const ScopePanel&) = delete;

    // A new, opened or reformatted record: the view starts afresh; with keepPanel the type and
    // ranges stay as the bars hold them (start-up, a loaded panel), else type 0 and ranges
    // fitted to the record.
    void takeRecord(bool keepPanel);
    // A range or multiplier list changed: the view takes the bars' scales.
    void applyRanges();
    // The type list changed: other selectors follow the new type, the cursors go.
    void typeChanged();
    // The selectors' enabling for the record's channels and the type (a list that comes back
    // takes its twin's row when it stood on "Off"), then the view takes the bars' scales.
    void updateSelectorStates();

    // The time range the view took when it last applied the bars (not a row just picked: the
    // time-range handler compares the two); takeTimeRange sets it from the bar.
    RangeCode timeRange() const { return timeRange_; }
    void takeTimeRange();

    const ScopeSettings& settings() const { return settings_; }

private:
    // The bars into settings_ (a list with nothing selected keeps its value); the statistics
    // follow a new type.
    void read();
    void setType(int type);
    void autoRange();
    RangeCode autoRangeCode(bool hasChannel, const VoltageRange& range, ListControl& selector);
    bool recordHasA() const;
    bool recordHasB() const;

    ScopePanelParts parts_;
    ScopeSettings settings_;
    RangeCode timeRange_;
};

}  // namespace tonewell
