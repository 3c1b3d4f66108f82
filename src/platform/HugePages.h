#pragma once
// A hint for buffers of many megabytes that are filled at once (a long record read from a file):
// backed by 2 MiB pages, filling one takes a dozen page faults instead of thousands.

#include <cstddef>

namespace tonewell {

// Asks the kernel to back the whole 2 MiB pages inside [data, data + bytes) with huge pages,
// before they are first touched. A hint only: nothing changes where the system does not take it.
void AdviseHugePages(void* data, std::size_t bytes);

}  // namespace tonewell
