#include "generator/ToneFile.h"

#include "shared/NumberFormat.h"
#include "generator/GeneratorTables.h"
#include "platform/SafeFileWriter.h"
#include "platform/Shell.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <limits>

namespace tonewell {

namespace {

// A tone file holds at most 2 x 32 short lines; anything far larger is not one.
constexpr std::uintmax_t kMaxToneFileBytes = 1 << 20;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The leading decimal integer of a text, as the tone files write frequencies ("1000Hz").
// No digits read as 0; a negative number, which no frequency can be, also reads as 0.
std::uint32_t LeadingFrequency(std::string_view text) {
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    std::uint64_t value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10 + static_cast<std::uint64_t>(text[at] - '0');
        if (value > std::numeric_limits<std::uint32_t>::max()) value = std::numeric_limits<std::uint32_t>::max();
    }
    return negative ? 0u : static_cast<std::uint32_t>(value);
}

// The power of ten of the first significant digit of a decimal number ("0.05e3" gives 1),
// saturating far beyond any double. The text is a number as from_chars accepted it.
std::int64_t DecimalMagnitude(std::string_view number) {
    constexpr std::int64_t kFar = std::int64_t{1} << 40;
    std::size_t at = 0;
    if (at < number.size() && number[at] == '-') ++at;
    std::int64_t magnitude = 0;
    bool significant = false;
    for (; at < number.size() && number[at] >= '0' && number[at] <= '9'; ++at) {
        if (significant) magnitude = std::min(magnitude + 1, kFar);
        else if (number[at] != '0') significant = true;
    }
    if (at < number.size() && number[at] == '.') {
        for (++at; at < number.size() && number[at] >= '0' && number[at] <= '9'; ++at) {
            if (significant) continue;
            magnitude = std::max(magnitude - 1, -kFar);
            if (number[at] != '0') significant = true;
        }
    }
    if (at < number.size() && (number[at] == 'e' || number[at] == 'E')) {
        ++at;
        bool negative = false;
        if (at < number.size() && (number[at] == '+' || number[at] == '-')) negative = number[at++] == '-';
        std::int64_t exponent = 0;
        for (; at < number.size() && number[at] >= '0' && number[at] <= '9'; ++at)
            exponent = std::min(exponent * 10 + (number[at] - '0'), kFar);
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude;
}

// The text read as a number the way the C library reads one, independent of the locale:
// a leading number is taken, the rest ignored, no number gives 0. A number too large for a
// double reads as infinity, one too small as 0, each with its sign.
float LeadingNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0.0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        const bool negative = text.front() == '-';
        const std::string_view number(text.data(), static_cast<std::size_t>(result.ptr - text.data()));
        if (DecimalMagnitude(number) < 0) return negative ? -0.0f : 0.0f;
        return negative ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
    }
    if (result.ec != std::errc()) return 0.0f;
    return static_cast<float>(value);
}

std::vector<std::string> Tokens(const std::string& bytes) {
    std::vector<std::string> tokens;
    std::size_t at = 0;
    while (at < bytes.size()) {
        while (at < bytes.size() && IsBlank(bytes[at])) ++at;
        std::size_t start = at;
        while (at < bytes.size() && !IsBlank(bytes[at])) ++at;
        if (at > start) tokens.emplace_back(bytes, start, at - start);
    }
    return tokens;
}

std::vector<std::string> LinesOf(const ToneList& list) {
    std::vector<std::string> lines;
    for (std::uint32_t i = 0; i < list.count && i < kMaxTones; ++i)
        lines.push_back(ToneLine(i + 1, list.waveform[i], list.frequency[i], list.amplitude[i]));
    return lines;
}

}  // namespace

std::string ToneLine(std::uint32_t number, std::int32_t waveform, std::uint32_t frequency, float amplitude) {
    std::string line;
    AppendInteger(line, number);
    line += ':';
    line += WaveformName(waveform);
    line += ',';
    if (waveform == kWaveformWhiteNoise || waveform == kWaveformPinkNoise) {
        line += "---";
    } else {
        AppendInteger(line, frequency);
        line += "Hz";
    }
    line += ',';
    AppendFixed(line, static_cast<double>(amplitude), 6);
    return line;
}

void ParseToneLine(std::string_view line, ToneList& list, std::uint32_t index) {
    if (index >= kMaxTones) return;
    std::size_t colon = line.find(':');
    std::size_t nameStart = colon == std::string_view::npos ? 0 : colon + 1;
    std::size_t comma1 = line.find(',', nameStart);
    std::string_view name = Trim(line.substr(nameStart, comma1 == std::string_view::npos ? std::string_view::npos
                                                                                         : comma1 - nameStart));
    std::string_view frequencyText;
    std::string_view amplitudeText;
    if (comma1 != std::string_view::npos) {
        std::size_t comma2 = line.find(',', comma1 + 1);
        frequencyText = Trim(line.substr(comma1 + 1, comma2 == std::string_view::npos ? std::string_view::npos
                                                                                      : comma2 - comma1 - 1));
        if (comma2 != std::string_view::npos) amplitudeText = Trim(line.substr(comma2 + 1));
    }
    std::int32_t code = WaveformCodeForName(name);
    if (code >= 0) list.waveform[index] = code;
    list.frequency[index] = LeadingFrequency(frequencyText);
    list.amplitude[index] = LeadingNumber(amplitudeText);
}

void ToneListFromLines(const std::vector<std::string>& lines, ToneList& list) {
    std::uint32_t count = 0;
    for (const std::string& line : lines) {
        if (count == kMaxTones) break;
        ParseToneLine(line, list, count++);
    }
    list.count = count;
}

std::optional<ToneFileLines> ReadToneFileLines(const std::filesystem::path& path, Shell& shell) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes;
    if (size <= kMaxToneFileBytes) {
        bytes.resize(static_cast<std::size_t>(size));
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<std::size_t>(in.gcount()));
    }
    std::vector<std::string> tokens = Tokens(bytes);
    if (tokens.empty() || tokens.front() != "#1") {
        shell.showMessage(kToneFileFormatMessage);
        return std::nullopt;
    }
    ToneFileLines lines;
    std::vector<std::string>* target = &lines.a;
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        if (target == &lines.a && tokens[i] == "#2") {
            target = &lines.b;
            continue;
        }
        // Tones beyond 32 per channel have no place in the lists and are ignored.
        if (target->size() < kMaxTones) target->push_back(std::move(tokens[i]));
    }
    return lines;
}

bool WriteToneFileLines(const std::filesystem::path& path, const std::vector<std::string>& linesA,
                        const std::vector<std::string>& linesB, Shell& shell) {
    std::string text = "#1\n";
    for (const auto& line : linesA) text += line + '\n';
    text += "#2\n";
    for (const auto& line : linesB) text += line + '\n';
    if (!writeFileSafely(path, text)) {
        shell.showMessage(kFileCreateFailedMessage);
        return false;
    }
    return true;
}

bool WriteToneFile(const std::filesystem::path& path, const ToneLists& lists, std::string& toneFilePath,
                   Shell& shell) {
    if (!WriteToneFileLines(path, LinesOf(lists[0]), LinesOf(lists[1]), shell)) return false;
    toneFilePath = path.string();
    return true;
}

bool ReadToneFile(const std::filesystem::path& path, ToneLists& lists, std::string& toneFilePath, Shell& shell) {
    std::optional<ToneFileLines> lines = ReadToneFileLines(path, shell);
    if (!lines) return false;
    ToneListFromLines(lines->a, lists[0]);
    ToneListFromLines(lines->b, lists[1]);
    toneFilePath = path.string();
    return true;
}

}  // namespace tonewell
