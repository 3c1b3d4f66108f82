#include "app/MeasurementReadouts.h"

namespace tonewell {

ChannelReadout ReadoutOf(const ChannelMeasurement& measured) {
    ChannelReadout readout;
    readout.measured = measured.status == MeasurementStatus::Measured;
    // The reason without its explanation in brackets, to fit the line.
    readout.why = MeasurementStatusText(measured.status);
    if (const std::size_t cut = readout.why.find(" ("); cut != std::string::npos) readout.why.resize(cut);
    readout.frequency = measured.frequency;
    readout.level = measured.level;
    readout.thd = measured.thd;
    readout.thdn = measured.thdn;
    readout.sinad = measured.sinad;
    return readout;
}

void MeasurementReadouts::setOptions(const ReadoutOptions& options) {
    if (options == options_) return;
    options_ = options;
    measuredRevision_.reset();
    if (!options_.showMeasurements) {
        readout_ = {};
        parts_.scope.setReadout(readout_);
        parts_.spectrum.setReadout(readout_);
        return;
    }
    refresh();
}

void MeasurementReadouts::refresh() {
    if (!options_.showMeasurements || measuredRevision_ == parts_.document.revision()) return;
    measuredRevision_ = parts_.document.revision();
    measure();
    parts_.scope.setReadout(readout_);
    parts_.spectrum.setReadout(readout_);
}

void MeasurementReadouts::measure() {
    readout_ = {};
    readout_.shown = true;
    // An empty record (before the first capture) has nothing to report yet.
    if (parts_.document.sampleCount == 0) return;
    MeasurementSettings settings;
    settings.clockPpm = options_.clockPpm;
    const RecordMeasurement measured = meter_.measure(parts_.document, settings);
    if (measured.a.status != MeasurementStatus::Absent) readout_.a = ReadoutOf(measured.a);
    if (measured.b.status != MeasurementStatus::Absent) readout_.b = ReadoutOf(measured.b);
}

}  // namespace tonewell
