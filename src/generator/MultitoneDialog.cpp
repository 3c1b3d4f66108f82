#include "generator/MultitoneDialog.h"

#include "shared/NumberFormat.h"
#include "generator/DialogText.h"
#include "generator/GeneratorTables.h"
#include "generator/ToneFile.h"
#include "platform/Shell.h"

#include <filesystem>

namespace tonewell {

namespace {

constexpr int kFirstToneWaveform = kWaveformSine;
constexpr int kToneWaveformRows = kWaveformPinkNoise - kWaveformSine + 1;

// Gives a line the 1-based number of its position.
std::string Renumbered(const std::string& line, std::size_t position) {
    std::size_t colon = line.find(':');
    if (colon == std::string::npos) return line;
    std::string renumbered;
    AppendInteger(renumbered, static_cast<std::int64_t>(position));
    renumbered.append(line, colon, std::string::npos);
    return renumbered;
}

std::string WithDefaultExtension(std::string path, const char* extension) {
    if (std::filesystem::path(path).filename().string().find('.') == std::string::npos) {
        path += '.';
        path += extension;
    }
    return path;
}

}  // namespace

MultitoneDialog::MultitoneDialog(ToneLists& toneLists, std::string& toneFilePath, const GeneratorSettings& settings,
                                 Shell& shell)
    : toneLists_(toneLists), toneFilePath_(toneFilePath), settings_(settings), shell_(shell) {
    std::vector<std::string> waveforms;
    for (int code = kFirstToneWaveform; code < kFirstToneWaveform + kToneWaveformRows; ++code)
        waveforms.emplace_back(WaveformName(code));
    waveform.setItems(std::move(waveforms));
    waveform.setSelectionHandler([this](int) { refreshWaveform(); });

    std::vector<std::string> presets;
    for (const auto& row : FrequencyPresets()) presets.emplace_back(row.name);
    frequency.setItems(std::move(presets));
    frequency.setSelectionHandler([this](int) { checkFrequency(); });
    frequency.setTextHandler([this](const std::string&) { checkFrequency(); });
    frequency.setFocusHandler([this](bool gained) {
        if (!gained) checkFrequency();
    });
    amplitude.setTextHandler([this](const std::string&) { checkAmplitude(); });
    amplitude.setSelectionHandler([this](int) { checkAmplitude(); });

    for (int channel = 0; channel < 2; ++channel) {
        lines[channel].setFocusHandler([this, channel](bool gained) {
            if (gained) focusLines(channel);
        });
        lines[channel].setSelectionHandler([this, channel](int) { remove[channel].setEnabled(true); });
        add[channel].setClickHandler([this, channel] { addLine(channel); });
        remove[channel].setClickHandler([this, channel] { removeLine(channel); });
        remove[channel].setEnabled(false);
    }
    save.setClickHandler([this] { saveFile(); });
    load.setClickHandler([this] { loadFile(); });
    close.setClickHandler([this] {
        if (onClosed) onClosed(toneFilePath_);
    });
    open();
}

void MultitoneDialog::open() {
    waveform.setSelection(0);
    refreshWaveform();
    frequency.setSelection(6);  // "1000"
    amplitude.setText("1.0");
    for (int channel = 0; channel < 2; ++channel) {
        const ToneList& list = toneLists_[static_cast<std::size_t>(channel)];
        std::vector<std::string> rows;
        for (std::uint32_t i = 0; i < list.count && i < kMaxTones; ++i)
            rows.push_back(ToneLine(i + 1, list.waveform[i], list.frequency[i], list.amplitude[i]));
        setLines(channel, std::move(rows));
    }
}

void MultitoneDialog::clearLists() {
    for (int channel = 0; channel < 2; ++channel) {
        setLines(channel, {});
        rebuild(channel);
    }
    toneFilePath_.clear();
}

void MultitoneDialog::refreshWaveform() {
    const int code = kFirstToneWaveform + waveform.selection();
    frequency.setEnabled(code != kWaveformWhiteNoise && code != kWaveformPinkNoise);
}

void MultitoneDialog::checkFrequency() {
    const std::int64_t limit = MaximumOutputFrequency(settings_);
    const std::int64_t value = DialogInteger(frequency.text());
    if (value >= 1 && value <= limit) return;
    std::string message = "Please input a value within 1~";
    AppendInteger(message, limit);
    message += " Hz";
    shell_.showMessage(message);
    std::string corrected;
    if (value > limit) {
        AppendInteger(corrected, limit);
    } else {
        corrected = "1";
    }
    frequency.setText(std::move(corrected));
}

void MultitoneDialog::checkAmplitude() {
    const double value = DialogNumber(amplitude.text());
    if (value > 1.0) amplitude.setText("1.0");
    if (value < 0.0) amplitude.setText("0");
}

void MultitoneDialog::setLines(int channel, std::vector<std::string> rows) {
    if (rows.size() > kMaxTones) rows.resize(kMaxTones);
    lines[channel].setItems(std::move(rows));
    add[channel].setEnabled(lines[channel].count() < static_cast<int>(kMaxTones));
    remove[channel].setEnabled(false);
}

void MultitoneDialog::focusLines(int channel) {
    ListControl& box = lines[channel];
    if (box.count() == 0) return;
    if (!box.hasSelection()) box.setSelection(0);
    remove[channel].setEnabled(true);
}

void MultitoneDialog::addLine(int channel) {
    ListControl& box = lines[channel];
    if (box.count() >= static_cast<int>(kMaxTones)) return;
    const int code = kFirstToneWaveform + waveform.selection();
    std::string line;
    AppendInteger(line, box.count() + 1);
    line += ':';
    line += WaveformName(code);
    line += ',';
    if (code == kWaveformWhiteNoise || code == kWaveformPinkNoise) {
        line += "---,";
    } else {
        AppendInteger(line, DialogInteger(frequency.text()));
        line += "Hz,";
    }
    AppendFixed(line, DialogNumber(amplitude.text()), 6);
    std::vector<std::string> rows = box.items();
    const int selected = box.selection();
    rows.push_back(std::move(line));
    box.setItems(std::move(rows));
    box.setSelection(selected);
    add[channel].setEnabled(box.count() < static_cast<int>(kMaxTones));
    rebuild(channel);
    toneFilePath_.clear();
}

void MultitoneDialog::removeLine(int channel) {
    ListControl& box = lines[channel];
    if (!box.hasSelection()) {
        remove[channel].setEnabled(false);
        return;
    }
    const auto position = static_cast<std::size_t>(box.selection());
    std::vector<std::string> rows = box.items();
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(position));
    for (std::size_t i = position; i < rows.size(); ++i) rows[i] = Renumbered(rows[i], i + 1);
    box.setItems(std::move(rows));
    add[channel].setEnabled(box.count() < static_cast<int>(kMaxTones));
    rebuild(channel);
    if (position < static_cast<std::size_t>(box.count())) {
        box.setSelection(static_cast<int>(position));
        remove[channel].setEnabled(true);
    } else {
        remove[channel].setEnabled(false);
    }
    toneFilePath_.clear();
}

void MultitoneDialog::saveFile() {
    FileDialogRequest request;
    request.filter = kToneFileSaveFilter;
    request.defaultExtension = kToneFileDefaultExtension;
    request.initialPath = kToneFileInitialName;
    request.promptOverwrite = true;
    std::optional<std::string> chosen = shell_.chooseSaveFile(request);
    if (!chosen) return;
    std::string path = WithDefaultExtension(*chosen, kToneFileDefaultExtension);
    if (WriteToneFileLines(path, lines[0].items(), lines[1].items(), shell_)) toneFilePath_ = path;
}

void MultitoneDialog::loadFile() {
    FileDialogRequest request;
    request.filter = kToneFileOpenFilter;
    request.defaultExtension = kToneFileDefaultExtension;
    request.initialPath = kToneFileInitialName;
    std::optional<std::string> chosen = shell_.chooseOpenFile(request);
    if (!chosen) return;
    std::optional<ToneFileLines> read = ReadToneFileLines(*chosen, shell_);
    if (!read) return;
    setLines(0, std::move(read->a));
    setLines(1, std::move(read->b));
    rebuild(0);
    rebuild(1);
    toneFilePath_ = *chosen;
}

void MultitoneDialog::rebuild(int channel) {
    ToneListFromLines(lines[channel].items(), toneLists_[static_cast<std::size_t>(channel)]);
}

}  // namespace tonewell
