#include "synthesis/memory/HugePages.h"

#include <cstdint>
#include <new>

// Under AddressSanitizer the blocks come from the allocator it watches, so that it still sees a
// step past a grid's end.
#if defined(__SANITIZE_ADDRESS__)
#define HILLOGRAPH_WATCHED_BLOCKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HILLOGRAPH_WATCHED_BLOCKS 1
#endif
#endif

#if defined(__linux__) && !defined(HILLOGRAPH_WATCHED_BLOCKS)
#define HILLOGRAPH_HUGE_PAGES 1
#include <sys/mman.h>
#endif

namespace hillograph {

#if HILLOGRAPH_HUGE_PAGES

namespace {

// The huge page of x86-64 and of the usual ARM kernels; elsewhere the hint is merely ignored.
constexpr std::size_t HugePageBytes = 2 * 1024 * 1024;

std::size_t MappedBytes(std::size_t bytes) {
  return (bytes + HugePageBytes - 1) / HugePageBytes * HugePageBytes;
}

}  // namespace

void* AllocateHugeBlock(std::size_t Bytes) {
  if (Bytes < MinHugeBlockBytes || Bytes > SIZE_MAX - 2 * HugePageBytes) throw std::bad_alloc();
  const std::size_t mapped = MappedBytes(Bytes);
  // Mapped with a huge page's room to spare, then trimmed to start on a huge page boundary.
  void* const raw = mmap(nullptr, mapped + HugePageBytes, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + HugePageBytes - 1) / HugePageBytes * HugePageBytes;
  if (aligned > start) munmap(raw, aligned - start);
  const std::uintptr_t end = start + mapped + HugePageBytes;
  if (end > aligned + mapped) {
    munmap(reinterpret_cast<void*>(aligned + mapped), end - aligned - mapped);
  }
  // Only a hint: without huge pages the block is an ordinary mapping.
  madvise(reinterpret_cast<void*>(aligned), mapped, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}

void FreeHugeBlock(void* Memory, std::size_t Bytes) noexcept {
  if (Memory != nullptr) munmap(Memory, MappedBytes(Bytes));
}

#else

void* AllocateHugeBlock(std::size_t Bytes) {
  // Refused here as on the mapped path: a sanitizer's allocator would end the program instead.
  if (Bytes < MinHugeBlockBytes || Bytes > PTRDIFF_MAX) throw std::bad_alloc();
  return ::operator new(Bytes);
}

void FreeHugeBlock(void* Memory, std::size_t) noexcept {
  ::operator delete(Memory);
}

#endif

}  // namespace hillograph
