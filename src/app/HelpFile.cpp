#include "app/HelpFile.h"

#include <system_error>

namespace tonewell {

std::vector<std::filesystem::path> HelpFileCandidates(const std::filesystem::path& programFolder) {
    return {programFolder / ".." / "share" / "tonewell" / "help" / kHelpFileName,
            programFolder / "help" / kHelpFileName};
}

std::optional<std::filesystem::path> FindHelpFile(const std::filesystem::path& programFolder) {
    if (programFolder.empty()) return std::nullopt;
    for (const std::filesystem::path& candidate : HelpFileCandidates(programFolder)) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(candidate, error)) continue;
        const std::filesystem::path tidy = std::filesystem::weakly_canonical(candidate, error);
        return error ? candidate : tidy;
    }
    return std::nullopt;
}

std::filesystem::path RunningProgramFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return program.parent_path();
}

}  // namespace tonewell
