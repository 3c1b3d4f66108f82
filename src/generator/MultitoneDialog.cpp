#include "generator/MultitoneDialog.h"

#include "app/NumberFormat.h"
#include "generator/GeneratorTables.h"
#include "generator/ToneFile.h"
#include "platform/Shell.h"

#include <charconv>
#include <filesystem>
#include <limits>

namespace tonewell {

namespace {

constexpr int kFirstToneWaveform = kWaveformSine;
constexpr int kToneWaveformRows = kWaveformPinkNoise - kWaveformSine + 1;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// A text read as a decimal integer the way the dialog boxes read one: leading blanks, an
// optional sign, the digits that follow; no digits read as 0. Saturates instead of overflowing.
std::int64_t TextAsInteger(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && IsSpace(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    std::int64_t value = 0;
    constexpr std::int64_t kCap = std::numeric_limits<std::int64_t>::max() / 10 - 10;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        if (value < kCap) value = value * 10 + (text[at] - '0');
    }
    return negative ? -value : value;
}

// A text read as a number: leading blanks, an optional sign, the longest number that follows.
double TextAsNumber(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0.0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() ? value : 0.0;
}

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
    : toneLists_(toneLists), toneFilePath_(toneFilePath), settings_(settings), shell_(shell) {}

std::vector<std::string> MultitoneDialog::waveformItems() {
    std::vector<std::string> items;
    for (int code = kFirstToneWaveform; code < kFirstToneWaveform + kToneWaveformRows; ++code)
        items.emplace_back(WaveformName(code));
    return items;
}

std::vector<std::string> MultitoneDialog::frequencyItems() {
    std::vector<std::string> items;
    for (const auto& row : FrequencyPresets()) items.emplace_back(row.name);
    return items;
}

void MultitoneDialog::open() {
    waveformRow_ = 0;
    frequencyText_ = "1000";
    amplitudeText_ = "1.0";
    for (int channel = 0; channel < 2; ++channel) {
        const ToneList& list = toneLists_[index(channel)];
        auto& lines = lines_[index(channel)];
        lines.clear();
        for (std::uint32_t i = 0; i < list.count && i < kMaxTones; ++i)
            lines.push_back(ToneLine(i + 1, list.waveform[i], list.frequency[i], list.amplitude[i]));
        selected_[index(channel)] = -1;
        removeEnabled_[index(channel)] = false;
        refreshAdd(channel);
    }
}

void MultitoneDialog::selectWaveform(int row) {
    if (row >= 0 && row < kToneWaveformRows) waveformRow_ = row;
}

bool MultitoneDialog::frequencyEnabled() const {
    const int code = kFirstToneWaveform + waveformRow_;
    return code != kWaveformWhiteNoise && code != kWaveformPinkNoise;
}

void MultitoneDialog::setFrequencyText(std::string_view text) {
    frequencyText_ = std::string(text);
    const std::int64_t limit = MaximumOutputFrequency(settings_);
    const std::int64_t value = TextAsInteger(frequencyText_);
    if (value >= 1 && value <= limit) return;
    std::string message = "Please input a value within 1~";
    AppendInteger(message, limit);
    message += " Hz";
    shell_.showMessage(message);
    frequencyText_.clear();
    if (value > limit) {
        AppendInteger(frequencyText_, limit);
    } else {
        frequencyText_ = "1";
    }
}

void MultitoneDialog::frequencyFocusLost() { setFrequencyText(std::string(frequencyText_)); }

void MultitoneDialog::setAmplitudeText(std::string_view text) {
    amplitudeText_ = std::string(text);
    const double value = TextAsNumber(amplitudeText_);
    if (value > 1.0) amplitudeText_ = "1.0";
    if (value < 0.0) amplitudeText_ = "0";
}

void MultitoneDialog::selectLine(int channel, int row) {
    const auto& lines = lines_[index(channel)];
    if (row < 0 || static_cast<std::size_t>(row) >= lines.size()) {
        selected_[index(channel)] = -1;
        return;
    }
    selected_[index(channel)] = row;
    removeEnabled_[index(channel)] = true;
}

void MultitoneDialog::listFocused(int channel) {
    if (lines_[index(channel)].empty()) return;
    if (selected_[index(channel)] < 0) selected_[index(channel)] = 0;
    removeEnabled_[index(channel)] = true;
}

void MultitoneDialog::add(int channel) {
    auto& lines = lines_[index(channel)];
    if (lines.size() >= kMaxTones) return;
    const int code = kFirstToneWaveform + waveformRow_;
    std::string line;
    AppendInteger(line, static_cast<std::int64_t>(lines.size() + 1));
    line += ':';
    line += WaveformName(code);
    line += ',';
    if (code == kWaveformWhiteNoise || code == kWaveformPinkNoise) {
        line += "---,";
    } else {
        AppendInteger(line, TextAsInteger(frequencyText_));
        line += "Hz,";
    }
    AppendFixed(line, TextAsNumber(amplitudeText_), 6);
    lines.push_back(std::move(line));
    refreshAdd(channel);
    rebuild(channel);
    toneFilePath_.clear();
}

void MultitoneDialog::remove(int channel) {
    auto& lines = lines_[index(channel)];
    int& selected = selected_[index(channel)];
    if (selected < 0 || static_cast<std::size_t>(selected) >= lines.size()) {
        removeEnabled_[index(channel)] = false;
        return;
    }
    const auto position = static_cast<std::size_t>(selected);
    lines.erase(lines.begin() + selected);
    for (std::size_t i = position; i < lines.size(); ++i) lines[i] = Renumbered(lines[i], i + 1);
    refreshAdd(channel);
    rebuild(channel);
    if (position < lines.size()) {
        removeEnabled_[index(channel)] = true;
    } else {
        selected = -1;
        removeEnabled_[index(channel)] = false;
    }
    toneFilePath_.clear();
}

void MultitoneDialog::save() {
    FileDialogRequest request;
    request.filter = kToneFileSaveFilter;
    request.defaultExtension = kToneFileDefaultExtension;
    request.initialPath = kToneFileInitialName;
    request.promptOverwrite = true;
    std::optional<std::string> chosen = shell_.chooseSaveFile(request);
    if (!chosen) return;
    std::string path = WithDefaultExtension(*chosen, kToneFileDefaultExtension);
    if (WriteToneFileLines(path, lines_[0], lines_[1], shell_)) toneFilePath_ = path;
}

void MultitoneDialog::load() {
    FileDialogRequest request;
    request.filter = kToneFileOpenFilter;
    request.defaultExtension = kToneFileDefaultExtension;
    request.initialPath = kToneFileInitialName;
    std::optional<std::string> chosen = shell_.chooseOpenFile(request);
    if (!chosen) return;
    std::optional<ToneFileLines> read = ReadToneFileLines(*chosen, shell_);
    if (!read) return;
    lines_[0] = std::move(read->a);
    lines_[1] = std::move(read->b);
    for (int channel = 0; channel < 2; ++channel) {
        selected_[index(channel)] = -1;
        removeEnabled_[index(channel)] = false;
        refreshAdd(channel);
        rebuild(channel);
    }
    toneFilePath_ = *chosen;
}

void MultitoneDialog::clearLists() {
    for (int channel = 0; channel < 2; ++channel) {
        lines_[index(channel)].clear();
        selected_[index(channel)] = -1;
        removeEnabled_[index(channel)] = false;
        refreshAdd(channel);
        rebuild(channel);
    }
    toneFilePath_.clear();
}

void MultitoneDialog::close() {
    if (onClosed) onClosed(toneFilePath_);
}

void MultitoneDialog::rebuild(int channel) { ToneListFromLines(lines_[index(channel)], toneLists_[index(channel)]); }

void MultitoneDialog::refreshAdd(int channel) { addEnabled_[index(channel)] = lines_[index(channel)].size() < kMaxTones; }

}  // namespace tonewell
