#include "generator/GeneratorDialog.h"

#include <algorithm>
#include <limits>
#include <span>
#include <system_error>

#include "generator/DialogText.h"
#include "generator/GeneratorEnabling.h"
#include "generator/GeneratorExport.h"
#include "generator/GeneratorOutput.h"
#include "generator/GeneratorSliders.h"
#include "generator/GeneratorTables.h"
#include "generator/WaveformLibraryFile.h"
#include "platform/Shell.h"
#include "shared/NumberFormat.h"
#include "shared/ProgramState.h"

namespace tonewell {

namespace {

constexpr const char* kRunText = "Run";
constexpr const char* kStopText = "Stop";

std::vector<std::string> Names(std::span<const GeneratorTableRow> table) {
    std::vector<std::string> names;
    names.reserve(table.size());
    for (const GeneratorTableRow& row : table) names.emplace_back(row.name);
    return names;
}

std::string Decimal(std::int64_t value) {
    std::string text;
    AppendInteger(text, value);
    return text;
}

// A field of an unsigned setting: what the text says, held within the field's type.
std::uint32_t ReadUnsigned(const std::string& text) {
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(DialogInteger(text), 0, std::numeric_limits<std::uint32_t>::max()));
}

std::int32_t ReadSigned(const std::string& text) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(DialogInteger(text), std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// A row of a table, or its default row when the settings hold one outside it (a damaged file).
int RowOrDefault(std::int32_t index, std::size_t rows, int defaultRow) {
    return index >= 0 && static_cast<std::size_t>(index) < rows ? index : defaultRow;
}

bool Chained(std::int32_t code) { return code == kWaveformMultiTones || code == kWaveformLibrary; }

// Sets a flag for the length of a scope and puts back what it was.
class Hold {
public:
    explicit Hold(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
    ~Hold() { flag_ = before_; }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

private:
    bool& flag_;
    bool before_;
};

}  // namespace

GeneratorDialog::GeneratorDialog(GeneratorDialogParts parts)
    : multitones(parts.toneLists, parts.toneFilePath, parts.settings, parts.shell), parts_(std::move(parts)) {
    FunctionPage& f = function;
    for (int channel = 0; channel < 2; ++channel) {
        f.waveform[channel].setSelectionHandler([this, channel](int row) { waveformChosen(channel, row); });
        // Typed text and picked presets are checked when the box loses the focus; meanwhile
        // only the enabling follows (the phase needs equal frequencies).
        f.frequency[channel].setTextHandler([this](const std::string&) { applyEnabling(); });
        f.frequency[channel].setSelectionHandler([this](int) { applyEnabling(); });
        f.frequency[channel].setFocusHandler([this, channel](bool gained) {
            if (!gained) checkFrequency(channel);
        });
        f.amplitude[channel].setFocusHandler([this, channel](bool gained) {
            if (!gained) checkAmplitude(channel);
        });
        f.frequencySlider[channel].setPositionHandler([this, channel](int position, SliderControl::Action action) {
            if (action != SliderControl::Action::Released) return;
            function.frequency[channel].setText(Decimal(FrequencyFromSlider(position, samplingFrequency())));
            applyEnabling();
        });
        f.amplitudeSlider[channel].setPositionHandler([this, channel](int position, SliderControl::Action action) {
            if (action != SliderControl::Action::Released) return;
            function.amplitude[channel].setText(Decimal(AmplitudeFromSlider(position, fullScale())));
        });
    }
    f.configure.setClickHandler([this] { configureClicked(); });
    f.phase.setTextHandler([this](const std::string&) { checkPhase(); });
    f.phase.setSelectionHandler([this](int) { checkPhase(); });
    f.phaseSlider.setPositionHandler([this](int position, SliderControl::Action action) {
        if (action != SliderControl::Action::Released) return;
        function.phase.setText(Decimal(PhaseFromSlider(position)));
    });
    f.sweep.setCheckHandler([this](bool) { applyEnabling(); });
    f.fileName.setReadOnly(true);

    for (int channel = 0; channel < 2; ++channel) {
        for (EditControl* field : {&sweep.start[channel], &sweep.end[channel]}) {
            field->setTextHandler([this, field](const std::string&) {
                if (!quiet_) checkSweepFrequency(*field);
            });
        }
    }
    sweep.duration.setFocusHandler([this](bool gained) {
        if (!gained) checkDuration();
    });

    sampling.rate.setSelectionHandler([this](int) { rateChosen(); });
    sampling.channels.setSelectionHandler([this](int) { applyEnabling(); });
    sampling.resolution.setSelectionHandler([this](int) { resolutionChosen(); });

    save.setClickHandler([this] { saveClicked(); });
    runStop.setClickHandler([this] { runStopClicked(); });
    ok.setClickHandler([this] {
        if (host_) {
            host_->closeWindow();
        } else {
            close();
        }
    });
}

GeneratorDialog::~GeneratorDialog() { close(); }

// ---- opening and closing --------------------------------------------------------------------

void GeneratorDialog::open() {
    tab_ = kFunctionTab;
    parts_.output.resetBuffersGenerated();
    runStop.setCaption(parts_.run.outputRunning.load() ? kStopText : kRunText);
    showSettings();
    open_ = true;
    parts_.run.generatorShown.store(true);
    parts_.output.attachWindow(this);
}

void GeneratorDialog::close() {
    if (!open_) return;
    readPages();
    parts_.output.attachWindow(nullptr);
    parts_.run.generatorShown.store(false);
    open_ = false;
}

void GeneratorDialog::selectTab(int tab) {
    if (tab < 0 || tab >= static_cast<int>(kGeneratorTabLabels.size())) return;
    readPages();
    tab_ = tab;
}

// ---- the pages and the settings ---------------------------------------------------------------

void GeneratorDialog::showSettings() {
    const Hold quiet(quiet_);
    // The sampling page first: the other pages' limits and slider positions follow its rate
    // and resolution.
    fillSamplingPage();
    fillFunctionPage();
    fillSweepPage();
    applyEnabling();
}

void GeneratorDialog::fillSamplingPage() {
    const GeneratorSettings& s = parts_.settings;
    sampling.rate.setItems(Names(RateTable()));
    sampling.rate.setSelection(RowOrDefault(s.sampleRateIndex, RateTable().size(), 2));
    sampling.channels.setItems(Names(ChannelsTable()));
    sampling.channels.setSelection(RowOrDefault(s.channelsIndex, ChannelsTable().size(), 0));
    sampling.resolution.setItems(Names(ResolutionTable()));
    sampling.resolution.setSelection(RowOrDefault(s.resolutionIndex, ResolutionTable().size(), 1));
}

void GeneratorDialog::fillFunctionPage() {
    const GeneratorSettings& s = parts_.settings;
    FunctionPage& f = function;
    const float limit = fullScale();
    // An amplitude beyond the calibration of this resolution (a lowered calibration, a panel
    // file) shows as that limit: the dialog never offers a value it would refuse when typed.
    const auto shownAmplitude = [limit](std::uint32_t amplitude) {
        const std::int64_t top = std::max<std::int64_t>(1, static_cast<std::int64_t>(limit));
        return std::clamp<std::int64_t>(amplitude, 1, top);
    };
    const std::array<std::uint32_t, 2> frequencies{s.frequencyA, s.frequencyB};
    const std::array<std::uint32_t, 2> amplitudes{s.amplitudeA, s.amplitudeB};
    for (int channel = 0; channel < 2; ++channel) {
        shownWaveform_[channel] = WaveformCode(s, channel);
        f.waveform[channel].setItems(Names(WaveformTable()));
        f.waveform[channel].setSelection(shownWaveform_[channel]);
        f.frequency[channel].setItems(Names(FrequencyPresets()));
        f.frequency[channel].setText(Decimal(frequencies[channel]));
        f.amplitude[channel].setItems(Names(AmplitudePresets()));
        f.amplitude[channel].setText(Decimal(shownAmplitude(amplitudes[channel])));
        followFrequency(channel);
        followAmplitude(channel);
    }
    f.phase.setItems(Names(PhasePresets()));
    f.phase.setText(Decimal(s.phaseDifference));
    followPhase();
    f.sweep.setChecked(s.sweepEnabled);
    f.displayInScope.setChecked(s.displayInScope);
    f.fileName.setText(parts_.toneFilePath);
}

void GeneratorDialog::fillSweepPage() {
    const GeneratorSettings& s = parts_.settings;
    sweep.start[0].setText(Decimal(s.sweepStartA));
    sweep.start[1].setText(Decimal(s.sweepStartB));
    sweep.end[0].setText(Decimal(s.sweepEndA));
    sweep.end[1].setText(Decimal(s.sweepEndB));
    sweep.law[0].setChoice(s.sweepLinearA ? 0 : 1);
    sweep.law[1].setChoice(s.sweepLinearB ? 0 : 1);
    sweep.duration.setText(Decimal(s.sweepDuration));
}

void GeneratorDialog::readPages() {
    GeneratorSettings& s = parts_.settings;
    // Function page.
    const FunctionPage& f = function;
    if (f.waveform[0].hasSelection()) s.waveformIndexA = f.waveform[0].selection();
    if (f.waveform[1].hasSelection()) s.waveformIndexB = f.waveform[1].selection();
    s.frequencyA = ReadUnsigned(f.frequency[0].text());
    s.frequencyB = ReadUnsigned(f.frequency[1].text());
    s.amplitudeA = ReadUnsigned(f.amplitude[0].text());
    s.amplitudeB = ReadUnsigned(f.amplitude[1].text());
    s.phaseDifference = ReadSigned(f.phase.text());
    s.sweepEnabled = f.sweep.checked();
    s.displayInScope = f.displayInScope.checked();
    // Sweep page.
    s.sweepStartA = ReadUnsigned(sweep.start[0].text());
    s.sweepStartB = ReadUnsigned(sweep.start[1].text());
    s.sweepEndA = ReadUnsigned(sweep.end[0].text());
    s.sweepEndB = ReadUnsigned(sweep.end[1].text());
    s.sweepLinearA = sweep.law[0].choice() != 1;
    s.sweepLinearB = sweep.law[1].choice() != 1;
    s.sweepDuration = ReadUnsigned(sweep.duration.text());
    // Sampling page.
    if (sampling.rate.hasSelection()) s.sampleRateIndex = sampling.rate.selection();
    if (sampling.channels.hasSelection()) s.channelsIndex = sampling.channels.selection();
    if (sampling.resolution.hasSelection()) s.resolutionIndex = sampling.resolution.selection();
}

std::uint32_t GeneratorDialog::samplingFrequency() const {
    const int row = RowOrDefault(sampling.rate.selection(), RateTable().size(), 2);
    return static_cast<std::uint32_t>(RateTable()[static_cast<std::size_t>(row)].value);
}

float GeneratorDialog::fullScale() const {
    const int row = RowOrDefault(sampling.resolution.selection(), ResolutionTable().size(), 1);
    const auto bits = static_cast<unsigned>(ResolutionTable()[static_cast<std::size_t>(row)].value);
    return parts_.calibration ? parts_.calibration().forBits(bits) : OutputCalibration{}.forBits(bits);
}

// ---- checks of the fields -----------------------------------------------------------------------

void GeneratorDialog::checkFrequency(int channel) {
    ListControl& field = function.frequency[channel];
    const std::uint32_t limit = frequencyLimit();
    const std::int64_t value = DialogInteger(field.text());
    if (value < 1 || value > limit) {
        parts_.shell.showMessage(FrequencyRangeMessage(limit));
        field.setText(value > limit ? Decimal(limit) : "1");
    }
    followFrequency(channel);
    applyEnabling();
}

void GeneratorDialog::checkAmplitude(int channel) {
    ListControl& field = function.amplitude[channel];
    const float limit = fullScale();
    const std::int64_t whole = static_cast<std::int64_t>(limit);
    const std::int64_t value = DialogInteger(field.text());
    if (value < 1 || static_cast<double>(value) > static_cast<double>(limit)) {
        parts_.shell.showMessage(AmplitudeRangeMessage(limit));
        field.setText(value >= 1 ? Decimal(std::max<std::int64_t>(1, whole)) : "1");
    }
    followAmplitude(channel);
}

void GeneratorDialog::checkPhase() {
    ListControl& field = function.phase;
    const std::int64_t value = DialogInteger(field.text());
    if (value < -180 || value > 180) {
        parts_.shell.showMessage(kPhaseRangeMessage);
        field.setText(value < -180 ? "-180" : "180");
    }
    followPhase();
}

void GeneratorDialog::checkSweepFrequency(EditControl& field) {
    const std::uint32_t limit = frequencyLimit();
    const std::int64_t value = DialogInteger(field.text());
    if (value >= 1 && value <= limit) return;
    parts_.shell.showMessage(FrequencyRangeMessage(limit));
    // The box hears its own correction, which is in range.
    field.setText(value > limit ? Decimal(limit) : "1");
}

void GeneratorDialog::checkDuration() {
    EditControl& field = sweep.duration;
    const std::int64_t value = DialogInteger(field.text());
    if (value >= 1 && value <= kMaxSweepDuration) return;
    parts_.shell.showMessage(kSweepDurationMessage);
    field.setText(value < 1 ? "1" : Decimal(kMaxSweepDuration));
}

void GeneratorDialog::followFrequency(int channel) {
    const std::int64_t value = DialogInteger(function.frequency[channel].text());
    const auto held = static_cast<std::uint32_t>(std::clamp<std::int64_t>(value, 0, std::numeric_limits<std::uint32_t>::max()));
    function.frequencySlider[channel].setPosition(FrequencySliderPosition(held, samplingFrequency()));
}

void GeneratorDialog::followAmplitude(int channel) {
    const std::int64_t value = DialogInteger(function.amplitude[channel].text());
    const auto held = static_cast<std::uint32_t>(std::clamp<std::int64_t>(value, 0, std::numeric_limits<std::uint32_t>::max()));
    function.amplitudeSlider[channel].setPosition(AmplitudeSliderPosition(held, fullScale()));
}

void GeneratorDialog::followPhase() {
    const std::int64_t value = DialogInteger(function.phase.text());
    function.phaseSlider.setPosition(PhaseSliderPosition(static_cast<std::int32_t>(std::clamp<std::int64_t>(value, -180, 180))));
}

// ---- the sampling page ----------------------------------------------------------------------

void GeneratorDialog::rateChosen() {
    // Every frequency of the other pages moves into the new range, without a message.
    const std::int64_t limit = frequencyLimit();
    const auto held = [limit](const std::string& text) -> std::optional<std::string> {
        const std::int64_t value = DialogInteger(text);
        if (value >= 1 && value <= limit) return std::nullopt;
        return Decimal(std::clamp<std::int64_t>(value, 1, limit));
    };
    {
        const Hold quiet(quiet_);
        for (int channel = 0; channel < 2; ++channel) {
            if (auto text = held(function.frequency[channel].text())) function.frequency[channel].setText(*text);
            for (EditControl* field : {&sweep.start[channel], &sweep.end[channel]})
                if (auto text = held(field->text())) field->setText(*text);
            followFrequency(channel);
        }
    }
    applyEnabling();
}

void GeneratorDialog::resolutionChosen() {
    // Both amplitudes are held within the calibration of the new resolution, without a message.
    const float limit = fullScale();
    const std::int64_t whole = std::max<std::int64_t>(1, static_cast<std::int64_t>(limit));
    for (int channel = 0; channel < 2; ++channel) {
        ListControl& field = function.amplitude[channel];
        const std::int64_t value = DialogInteger(field.text());
        if (value < 1) field.setText("1");
        else if (static_cast<double>(value) > static_cast<double>(limit)) field.setText(Decimal(whole));
        followAmplitude(channel);
    }
    applyEnabling();
}

// ---- waveforms, multitone sets and the library -------------------------------------------------

void GeneratorDialog::setWaveform(int channel, std::int32_t code) {
    shownWaveform_[channel] = code;
    function.waveform[channel].setSelection(code);
}

void GeneratorDialog::waveformChosen(int channel, int row) {
    const auto code = static_cast<std::int32_t>(row);
    // Picking the waveform already shown changes nothing (a multitone set is not thrown away).
    if (code == shownWaveform_[channel]) return;
    shownWaveform_[channel] = code;
    function.fileName.setText({});
    const int other = 1 - channel;
    if (code == kWaveformMultiTones) {
        setWaveform(other, kWaveformMultiTones);
        for (ToneList& list : parts_.toneLists) list.clear();
        parts_.toneFilePath.clear();
        applyEnabling();
        showMultitones(true);
    } else if (code == kWaveformLibrary) {
        setWaveform(other, kWaveformLibrary);
        applyEnabling();
        chooseLibrary();
    } else if (Chained(shownWaveform_[other])) {
        setWaveform(other, kWaveformNone);
    }
    applyEnabling();
}

void GeneratorDialog::configureClicked() {
    if (shownWaveform_[0] == kWaveformMultiTones) {
        showMultitones(false);
    } else if (shownWaveform_[0] == kWaveformLibrary) {
        chooseLibrary();
    }
}

void GeneratorDialog::showMultitones(bool emptied) {
    if (multitonesShown_) {
        // Its window is up already: it shows the emptied lists.
        if (emptied) multitones.clearLists();
        return;
    }
    multitones.open();
    if (host_) {
        const Hold shown(multitonesShown_);
        host_->showMultitones();
    }
    // However its window closed, the function page names the file of the set now.
    function.fileName.setText(parts_.toneFilePath);
    applyEnabling();
}

void GeneratorDialog::chooseLibrary() {
    const std::filesystem::path folder = parts_.programDir / kLibraryFolder;
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    FileDialogRequest request;
    request.filter = kLibraryFilter;
    request.defaultExtension = kLibraryDefaultExtension;
    request.initialPath = folder.string();
    const std::optional<std::string> chosen = parts_.shell.chooseOpenFile(request);
    if (!chosen) return;
    if (LoadLibrary(*chosen, parts_.library, parts_.toneFilePath, parts_.shell))
        function.fileName.setText(parts_.toneFilePath);
    applyEnabling();
}

// ---- Run/Stop and Save ----------------------------------------------------------------------

void GeneratorDialog::runStopClicked() {
    // An open dialog hands its pages over before a start; a stop leaves the settings alone.
    const bool handOver = open_ && !parts_.run.outputRunning.load();
    if (handOver) readPages();
    const bool zeroDuration = handOver && parts_.settings.sweepDuration == 0;
    parts_.output.RunStop();
    // The start refused a sweep of 0 seconds and made it 1: the page shows that.
    if (zeroDuration) showSettings();
}


void GeneratorDialog::saveClicked() {
    readPages();
    const std::uint32_t duration = parts_.settings.sweepDuration;
    const OutputCalibration calibration = parts_.calibration ? parts_.calibration() : OutputCalibration{};
    const GeneratorSources sources{parts_.settings, parts_.toneLists, parts_.library,
                                   calibration,     parts_.clock,     parts_.shell};
    // The export runs on an output of its own, so a signal that plays now plays on untouched.
    SaveGeneratedSignal(
        sources, [this]() -> std::optional<std::uint32_t> { return host_ ? host_->askDuration() : std::nullopt; },
        host_ ? host_->exportProgress() : nullptr);
    // A sweep duration of 0 was made 1 by the export's start.
    if (parts_.settings.sweepDuration != duration) showSettings();
    applyEnabling();
}

// ---- the output's window ------------------------------------------------------------------------

void GeneratorDialog::applyEnabling() {
    GeneratorPageState state;
    state.running = parts_.run.outputRunning.load();
    state.waveformA = shownWaveform_[0];
    state.waveformB = shownWaveform_[1];
    state.sweeping = function.sweep.checked();
    state.bothChannels = sampling.channels.selection() == 1;
    state.equalFrequencies = DialogInteger(function.frequency[0].text()) == DialogInteger(function.frequency[1].text());
    const GeneratorEnabling e = ComputeGeneratorEnabling(state);

    FunctionPage& f = function;
    f.waveform[0].setEnabled(e.waveformA);
    f.sweep.setEnabled(e.waveformA);
    f.displayInScope.setEnabled(e.waveformA);
    sampling.rate.setEnabled(e.waveformA);
    sampling.channels.setEnabled(e.waveformA);
    sampling.resolution.setEnabled(e.waveformA);
    f.configure.setEnabled(e.configure);
    const std::array<bool, 2> frequency{e.frequencyA, e.frequencyB};
    const std::array<bool, 2> amplitude{e.amplitudeA, e.amplitudeB};
    const std::array<bool, 2> sweeps{e.sweepA, e.sweepB};
    for (int channel = 0; channel < 2; ++channel) {
        f.frequency[channel].setEnabled(frequency[channel]);
        f.frequencySlider[channel].setEnabled(frequency[channel]);
        f.amplitude[channel].setEnabled(amplitude[channel]);
        f.amplitudeSlider[channel].setEnabled(amplitude[channel]);
        sweep.start[channel].setEnabled(sweeps[channel]);
        sweep.end[channel].setEnabled(sweeps[channel]);
        sweep.law[channel].setEnabled(sweeps[channel]);
    }
    f.waveform[1].setEnabled(e.waveformB);
    f.phase.setEnabled(e.phase);
    f.phaseLabel.setEnabled(e.phase);
    f.phaseSlider.setEnabled(e.phase);
    sweep.duration.setEnabled(e.sweepDuration);
}

void GeneratorDialog::setRunButtonText(std::string_view text) { runStop.setCaption(std::string(text)); }

void GeneratorDialog::activate() {
    if (host_) host_->activate();
}

void GeneratorDialog::clickRunStop() { runStop.click(); }

}  // namespace tonewell
