// A counting allocator for the benchmarks' memory figures: every malloc,
// calloc, realloc and aligned allocation of the process (Qt's containers
// and operator new included) goes through it, and while counting it keeps
// the bytes in use and their peak.
#pragma once

#include <cstdint>
#include <functional>

// The peak of the heap bytes in use while `work` ran, above what was in use
// when it began.
std::int64_t PeakHeapBytes(const std::function<void()> &work);
