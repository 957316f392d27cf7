// An allocator that keeps a few large freed blocks for the next request of the same size. Every
// render allocates and frees grids of the same sizes (the height field, the picture); mapping
// fresh pages for them each time costs more than computing them, and the system allocator does
// not reliably keep blocks that large.
#pragma once

#include <array>
#include <cstddef>
#include <new>
#include <utility>

#include "synthesis/memory/HugePages.h"

namespace hillograph {

class TBlockCache {
 public:
  // Blocks smaller than this go straight to the system allocator.
  static constexpr std::size_t MinBytes = 64 * 1024;
  // Enough for the grids one render holds at once.
  static constexpr std::size_t Kept = 4;

  static void* Allocate(std::size_t bytes) {
    if (bytes >= MinBytes) {
      for (TBlock& block : Local().blocks_) {
        if (block.Memory != nullptr && block.Bytes == bytes) {
          return std::exchange(block.Memory, nullptr);
        }
      }
    }
    return AllocateBlock(bytes);
  }

  // Keeps a large block, in place of the one kept longest when all places are taken: after a
  // change of size the new size's blocks take over.
  static void Free(void* memory, std::size_t bytes) {
    if (bytes < MinBytes) {
      ::operator delete(memory);
      return;
    }
    TBlockCache& cache = Local();
    TBlock& place = cache.blocks_[cache.next_];
    cache.next_ = (cache.next_ + 1) % cache.blocks_.size();
    FreeBlock(place.Memory, place.Bytes);
    place = {memory, bytes};
  }

  TBlockCache() = default;
  TBlockCache(const TBlockCache&) = delete;
  TBlockCache& operator=(const TBlockCache&) = delete;
  ~TBlockCache() {
    for (const TBlock& block : blocks_)
      FreeBlock(block.Memory, block.Bytes);
  }

 private:
  struct TBlock {
    void* Memory = nullptr;
    std::size_t Bytes = 0;
  };

  // One cache per thread, so that no lock is needed.
  static TBlockCache& Local() {
    thread_local TBlockCache cache;
    return cache;
  }

  std::array<TBlock, Kept> blocks_{};
  std::size_t next_ = 0;
};

template <class T>
struct TRecyclingAllocator {
  using value_type = T;

  TRecyclingAllocator() = default;
  template <class U>
  TRecyclingAllocator(const TRecyclingAllocator<U>&) {}

  T* allocate(std::size_t n) { return static_cast<T*>(TBlockCache::Allocate(n * sizeof(T))); }
  void deallocate(T* p, std::size_t n) { TBlockCache::Free(p, n * sizeof(T)); }

  // A cell constructed without a value is default-initialised, which leaves a number as the
  // memory holds it (see TGrid's Uninitialised).
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }

  template <class U>
  bool operator==(const TRecyclingAllocator<U>&) const {
    return true;
  }
};

}  // namespace hillograph
