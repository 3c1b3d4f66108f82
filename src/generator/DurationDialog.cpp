#include "generator/DurationDialog.h"

#include "platform/Shell.h"

namespace tonewell {

std::optional<std::uint32_t> DurationDialog::parse(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    std::size_t last = text.find_last_not_of(" \t");
    std::uint64_t value = 0;
    for (std::size_t i = first; i <= last; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

std::optional<std::uint32_t> DurationDialog::accept(Shell& shell) const {
    std::optional<std::uint32_t> seconds = parse(text);
    if (!seconds) shell.showMessage(kDurationMessage);
    return seconds;
}

}  // namespace tonewell
