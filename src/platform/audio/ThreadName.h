#pragma once
// Names the calling thread so that the system's tools (top, /proc) show which backend thread
// spends what; the benchmarks measure the notification threads by these names.

namespace tonewell {

// At most 15 characters are kept.
void NameThisThread(const char* name);

}  // namespace tonewell
