// Memory for large blocks, in whole huge pages where the system offers them. Filling fresh memory
// costs a fault per page mapped; on virtual machines each costs several times what filling the
// page does, and a huge page is mapped by one fault instead of 512.
#pragma once

#include <cstddef>
#include <new>

namespace hillograph {

// Blocks from this size on are mapped here: faulting in 128 pages of 4 KB costs more than
// clearing a whole huge page. (A 1000 x 1000 height field is just under 1 MiB.)
inline constexpr std::size_t MinHugeBlockBytes = 512 * 1024;

// A block of Bytes (MinHugeBlockBytes or more), or std::bad_alloc.
void* AllocateHugeBlock(std::size_t Bytes);

// Gives back a block from AllocateHugeBlock of the same Bytes.
void FreeHugeBlock(void* Memory, std::size_t Bytes) noexcept;

// A block of any size: in huge pages from MinHugeBlockBytes on, from operator new below.
inline void* AllocateBlock(std::size_t Bytes) {
  return Bytes >= MinHugeBlockBytes ? AllocateHugeBlock(Bytes) : ::operator new(Bytes);
}

// Gives back a block from AllocateBlock of the same Bytes.
inline void FreeBlock(void* Memory, std::size_t Bytes) noexcept {
  if (Bytes >= MinHugeBlockBytes) {
    FreeHugeBlock(Memory, Bytes);
  } else {
    ::operator delete(Memory);
  }
}

}  // namespace hillograph
