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
  // The most kept at once: the grids of a 4096 x 4096 map (its picture and its field). A larger
  // map's blocks go back to the system as soon as they are freed, so that its memory is not held
  // long after it.
  static constexpr std::size_t MaxKeptBytes = 64 * 1024 * 1024;

  static void* Allocate(std::size_t bytes) {
    if (bytes >= MinBytes && bytes <= MaxKeptBytes) {
      TBlockCache& cache = Local();
      for (std::size_t i = 0; i < cache.count_; ++i) {
        if (cache.blocks_[i].Bytes == bytes) return cache.Take(i).Memory;
      }
    }
    return AllocateBlock(bytes);
  }

  // Keeps a large block, giving back the ones kept longest when there is no room: after a change
  // of size the new size's blocks take over.
  static void Free(void* memory, std::size_t bytes) {
    if (bytes < MinBytes) {
      ::operator delete(memory);
      return;
    }
    if (bytes > MaxKeptBytes) {
      FreeBlock(memory, bytes);
      return;
    }
    TBlockCache& cache = Local();
    while (cache.count_ == Kept || cache.bytes_ + bytes > MaxKeptBytes) {
      const TBlock oldest = cache.Take(0);
      FreeBlock(oldest.Memory, oldest.Bytes);
    }
    cache.blocks_[cache.count_++] = {memory, bytes};
    cache.bytes_ += bytes;
  }

  TBlockCache() = default;
  TBlockCache(const TBlockCache&) = delete;
  TBlockCache& operator=(const TBlockCache&) = delete;
  ~TBlockCache() {
    for (std::size_t i = 0; i < count_; ++i)
      FreeBlock(blocks_[i].Memory, blocks_[i].Bytes);
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

  // Removes block i, keeping the others oldest first.
  TBlock Take(std::size_t i) {
    const TBlock block = blocks_[i];
    for (; i + 1 < count_; ++i)
      blocks_[i] = blocks_[i + 1];
    --count_;
    bytes_ -= block.Bytes;
    return block;
  }

  std::array<TBlock, Kept> blocks_{};  // oldest first
  std::size_t count_ = 0;
  std::size_t bytes_ = 0;
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
