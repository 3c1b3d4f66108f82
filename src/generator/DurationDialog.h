#pragma once
// The "Duration" dialog as a model: one edit "Duration (s)", initially "1", with OK and Cancel.
// It asks how many seconds of a continuous signal the export writes. UI thread only.

#include <cstdint>
#include <optional>
#include <string>

namespace tonewell {

class Shell;

inline constexpr const char* kDurationMessage = "Please enter a positive integer.";

class DurationDialog {
public:
    std::string text = "1";  // the edit box

    // OK: the seconds when the text is an unsigned integer (0 included); otherwise the user is
    // told and the dialog stays open (nothing returned).
    std::optional<std::uint32_t> accept(Shell& shell) const;

    // The text as an unsigned 32-bit integer: blanks around it allowed, digits only.
    static std::optional<std::uint32_t> parse(const std::string& text);
};

}  // namespace tonewell
