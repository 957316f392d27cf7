#include "synthesis/platform/Memory.h"

#include <cstdint>

#if defined(__linux__) && !defined(__EMSCRIPTEN__)
#include <sys/mman.h>
#define HILLOGRAPH_HAS_MMAP 1
#endif

namespace hillograph::platform {

#ifdef HILLOGRAPH_HAS_MMAP

const bool HugePagesMapped = true;

void* MapHugePages(std::size_t Bytes) {
  if (Bytes > SIZE_MAX - HugePageBytes) return nullptr;
  // Mapped with a huge page's room to spare, then trimmed to start on a huge page boundary.
  void* const raw = mmap(nullptr, Bytes + HugePageBytes, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + HugePageBytes - 1) / HugePageBytes * HugePageBytes;
  if (aligned > start) munmap(raw, aligned - start);
  const std::uintptr_t end = start + Bytes + HugePageBytes;
  if (end > aligned + Bytes)
    munmap(reinterpret_cast<void*>(aligned + Bytes), end - aligned - Bytes);
  // Only a hint: without huge pages the block is an ordinary mapping.
  madvise(reinterpret_cast<void*>(aligned), Bytes, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}

void UnmapHugePages(void* Memory, std::size_t Bytes) noexcept {
  if (Memory != nullptr) munmap(Memory, Bytes);
}

#else

const bool HugePagesMapped = false;

void* MapHugePages(std::size_t) {
  return nullptr;
}

void UnmapHugePages(void*, std::size_t) noexcept {}

#endif

}  // namespace hillograph::platform
