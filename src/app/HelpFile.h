#pragma once
// Where the program's help lies: "Celvane.htm", found relative to the folder of the program file,
// so that an installed program and one run from its build folder both find theirs.

#include <filesystem>
#include <optional>
#include <vector>

namespace tonewell {

inline constexpr const char* kHelpFileName = "Celvane.htm";
// The place Help Topic opens the help at.
inline constexpr const char* kHelpAnchor = "Main_Contents";

// The places looked at, in order: share/tonewell/help beside the program's bin folder (installed),
// then help/ beside the program (its build folder).
std::vector<std::filesystem::path> HelpFileCandidates(const std::filesystem::path& programFolder);

// The first candidate that is a regular file; nothing when there is none.
std::optional<std::filesystem::path> FindHelpFile(const std::filesystem::path& programFolder);

// The folder of the running program's file; empty when the system does not say.
std::filesystem::path RunningProgramFolder();

}  // namespace tonewell
