#pragma once
// The settings store on the desktop's settings file (QSettings of the program's organisation and
// name, where the window state is kept too). UI thread.

#include "platform/SettingsStore.h"

namespace tonewell {

class QtSettingsStore : public SettingsStore {
public:
    std::optional<std::string> value(std::string_view key) const override;
    void setValue(std::string_view key, const std::string& text) override;
};

}  // namespace tonewell
