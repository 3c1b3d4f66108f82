#pragma once
// The standard report of memory exhaustion: the message box, then File Close posted to the main
// window (in this single-document program that ends the program). UI thread.

#include <string_view>

namespace tonewell {

class Shell;

inline constexpr std::string_view kOutOfMemoryMessage = "Out of memory.";

void ReportOutOfMemory(Shell& shell);

}  // namespace tonewell
