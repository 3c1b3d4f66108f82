#include "app/ProgramDirectory.h"

#include <cstdlib>
#include <system_error>

namespace tonewell {

namespace {

std::optional<std::string> NonEmpty(const EnvironmentLookup& environment, const char* name) {
    std::optional<std::string> value = environment(name);
    if (value && value->empty()) return std::nullopt;
    return value;
}

}  // namespace

std::filesystem::path ProgramDirectory(const EnvironmentLookup& environment) {
    if (auto home = NonEmpty(environment, kProgramHomeVariable)) return std::filesystem::path(*home);
    std::filesystem::path base;
    // A relative XDG_CONFIG_HOME is to be ignored.
    if (auto config = NonEmpty(environment, "XDG_CONFIG_HOME"); config && config->front() == '/')
        base = *config;
    else if (auto home = NonEmpty(environment, "HOME"))
        base = std::filesystem::path(*home) / ".config";
    else
        base = ".";
    return base / kProgramConfigFolder;
}

std::filesystem::path ProgramDirectory() {
    return ProgramDirectory([](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        if (value == nullptr) return std::nullopt;
        return std::string(value);
    });
}

bool MakeProgramDirectory(const std::filesystem::path& programDir) {
    std::error_code error;
    std::filesystem::create_directories(programDir, error);
    return std::filesystem::is_directory(programDir, error);
}

}  // namespace tonewell
