#pragma once
// Points TONEWELL_HOME at a folder for the life of the object, so that the program's files are
// read from and written to a test's own folder.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "app/ProgramDirectory.h"

namespace tonewell::testing {

class ProgramHome {
public:
    explicit ProgramHome(const std::filesystem::path& folder) {
        if (const char* old = std::getenv(kProgramHomeVariable)) previous_ = old;
        setenv(kProgramHomeVariable, folder.c_str(), 1);
    }
    ~ProgramHome() {
        if (previous_) setenv(kProgramHomeVariable, previous_->c_str(), 1);
        else unsetenv(kProgramHomeVariable);
    }
    ProgramHome(const ProgramHome&) = delete;
    ProgramHome& operator=(const ProgramHome&) = delete;

private:
    std::optional<std::string> previous_;
};

}  // namespace tonewell::testing
