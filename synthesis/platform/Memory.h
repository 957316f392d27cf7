// Memory mapped from the system in huge pages, where it offers them.
#pragma once

#include <cstddef>

namespace hillograph::platform {

// Whether MapHugePages maps memory here; otherwise large blocks come from operator new.
extern const bool HugePagesMapped;

// The huge page of x86-64 and of the usual ARM kernels; where pages differ the hint is merely
// ignored.
inline constexpr std::size_t HugePageBytes = 2 * 1024 * 1024;

// Bytes (a multiple of HugePageBytes) of zeroed memory starting on a huge page's boundary and
// backed by huge pages where the system can; nullptr when it cannot be had or where
// HugePagesMapped is false.
void* MapHugePages(std::size_t Bytes);
// Gives back what MapHugePages mapped, of the same Bytes.
void UnmapHugePages(void* Memory, std::size_t Bytes) noexcept;

}  // namespace hillograph::platform
