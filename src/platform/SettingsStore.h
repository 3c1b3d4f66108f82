#pragma once
// The desktop's store of the user's preferences (the window state lives there too): text values
// by key, kept between runs. The program backs it with the desktop's settings file; tests with
// a map. UI thread.

#include <optional>
#include <string>
#include <string_view>

namespace tonewell {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, nothing when the key was never stored.
    virtual std::optional<std::string> value(std::string_view key) const = 0;
    virtual void setValue(std::string_view key, const std::string& text) = 0;
};

}  // namespace tonewell
