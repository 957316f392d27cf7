#include "synthesis/memory/HugePages.h"

#include <cstddef>
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

#include "synthesis/platform/Memory.h"

namespace hillograph {
namespace {

std::size_t MappedBytes(std::size_t bytes) {
  using platform::HugePageBytes;
  return (bytes + HugePageBytes - 1) / HugePageBytes * HugePageBytes;
}

#ifdef HILLOGRAPH_WATCHED_BLOCKS
constexpr bool Mapped = false;
#else
const bool Mapped = platform::HugePagesMapped;
#endif

}  // namespace

void* AllocateHugeBlock(std::size_t Bytes) {
  // Refused alike on both paths: a sanitizer's allocator would end the program instead.
  if (Bytes < MinHugeBlockBytes || Bytes > PTRDIFF_MAX - 2 * platform::HugePageBytes)
    throw std::bad_alloc();
  if (!Mapped) return ::operator new(Bytes);
  void* const block = platform::MapHugePages(MappedBytes(Bytes));
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void FreeHugeBlock(void* Memory, std::size_t Bytes) noexcept {
  if (!Mapped) {
    ::operator delete(Memory);
  } else {
    platform::UnmapHugePages(Memory, MappedBytes(Bytes));
  }
}

}  // namespace hillograph
