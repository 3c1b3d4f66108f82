#include "generator/WaveformLibraryFile.h"

#include "platform/Shell.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <new>

namespace tonewell {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// One number as "%f" reads it: leading blanks skipped, an optional sign, a decimal or
// exponent form. Not-a-number and infinity are refused: they would poison every buffer.
bool ReadNumber(std::string_view& text, float& value) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '-' || text.front() == '+')) return false;
    }
    float parsed = 0.0f;
    auto result = std::from_chars(text.data(), text.data() + text.size(), parsed, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(parsed)) return false;
    text.remove_prefix(static_cast<std::size_t>(result.ptr - text.data()));
    value = parsed;
    return true;
}

bool ReadComma(std::string_view& text) {
    if (text.empty() || text.front() != ',') return false;
    text.remove_prefix(1);
    return true;
}

// A point line: three numbers separated by commas, nothing but blanks after them.
bool ParsePoint(std::string_view line, float& a, float& b) {
    float x = 0.0f;
    if (!ReadNumber(line, x) || !ReadComma(line) || !ReadNumber(line, a) || !ReadComma(line) || !ReadNumber(line, b))
        return false;
    for (char c : line)
        if (!IsSpace(c)) return false;
    return true;
}

}  // namespace

bool LoadLibrary(const std::filesystem::path& path, WaveformLibrary& library, std::string& toneFilePath, Shell& shell) {
    library.pointCount = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;

    std::string line;
    std::size_t count = 0;
    float a = 0.0f;
    float b = 0.0f;
    while (std::getline(in, line)) {
        if (ParsePoint(line, a, b)) ++count;
    }
    if (count > 0xFFFFFFFFu) return false;

    if (count > library.capacity()) {
        try {
            std::vector<float> largerA(count);
            std::vector<float> largerB(count);
            library.pointsA.swap(largerA);
            library.pointsB.swap(largerB);
        } catch (const std::bad_alloc&) {
            return false;
        }
    }

    in.clear();
    in.seekg(0);
    std::uint32_t stored = 0;
    const std::size_t room = library.capacity();
    while (stored < room && std::getline(in, line)) {
        if (!ParsePoint(line, a, b)) continue;
        library.pointsA[stored] = a;
        library.pointsB[stored] = b;
        ++stored;
    }
    if (stored < 2) {
        shell.showMessage(kLibraryMinimumPointsMessage);
        return false;
    }
    library.pointCount = stored;
    toneFilePath = path.string();
    return true;
}

}  // namespace tonewell
