#pragma once
// programDir, the folder of the program's own files ("Vorel.cfg", "default.psf", "default.tcf"):
// TONEWELL_HOME when it is set and not empty; otherwise the per-user configuration folder
// "Quendal Technology/Tonewell" under $XDG_CONFIG_HOME (when that is an absolute path) or
// ~/.config (or the current folder when not even HOME is known). Finding the folder never creates
// it: that waits until a file is saved into it (MakeProgramDirectory).

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace tonewell {

inline constexpr const char* kProgramHomeVariable = "TONEWELL_HOME";
inline constexpr const char* kProgramConfigFolder = "Quendal Technology/Tonewell";

// A variable of the environment, nothing when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

std::filesystem::path ProgramDirectory(const EnvironmentLookup& environment);
// The same with the process environment.
std::filesystem::path ProgramDirectory();

// Creates the folder and its parents for a file about to be saved there; false when it does
// not exist afterwards (the save that follows then reports its own failure).
bool MakeProgramDirectory(const std::filesystem::path& programDir);

}  // namespace tonewell
