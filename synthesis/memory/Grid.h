// A Width x Height grid addressed [x][y], stored as Width columns of Height contiguous cells.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "synthesis/memory/RecyclingAllocator.h"

namespace hillograph {

// Asks for a grid whose cells are left as the memory holds them, for a caller that sets every
// cell before reading any: fresh pages are then touched once, not zeroed first.
struct TUninitialised {};
inline constexpr TUninitialised Uninitialised;

template <class T>
class TGrid {
 public:
  TGrid() = default;
  TGrid(std::int32_t width, std::int32_t height)
      : width_(width), height_(height), cells_(Cells(width, height), T{}) {}
  TGrid(std::int32_t width, std::int32_t height, TUninitialised) : width_(width), height_(height) {
    cells_.resize(Cells(width, height));  // default-initialised: left as they are
  }

  T* operator[](std::int32_t x) { return cells_.data() + Offset(x); }
  const T* operator[](std::int32_t x) const { return cells_.data() + Offset(x); }

  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  T* Data() { return cells_.data(); }
  const T* Data() const { return cells_.data(); }

 private:
  static std::size_t Cells(std::int32_t width, std::int32_t height) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  }

  std::size_t Offset(std::int32_t x) const {
    return static_cast<std::size_t>(x) * static_cast<std::size_t>(height_);
  }

  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::vector<T, TRecyclingAllocator<T>> cells_;
};

}  // namespace hillograph
