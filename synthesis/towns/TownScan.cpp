#include "synthesis/towns/TownScan.h"

#include <array>
#include <cmath>
#include <cstring>

#include "synthesis/base/Random.h"
#include "synthesis/base/RandomJump.h"

namespace hillograph {
namespace {

constexpr std::int32_t Lanes = 8;
constexpr std::int32_t WordRows = 8;      // mask bytes in a 64-bit word
constexpr std::int32_t MaxByteSum = 255;  // columns a byte of a word can count

// Jumps of 1 .. Lanes steps, so that the next Lanes states come from one state at once.
constexpr std::array<TRandJump, Lanes> MakeJumps() {
  std::array<TRandJump, Lanes> jumps{};
  for (std::int32_t k = 0; k < Lanes; ++k)
    jumps[k] = RandJumpOf(k + 1);
  return jumps;
}
constexpr std::array<TRandJump, Lanes> Jumps = MakeJumps();

}  // namespace

TTownScan::TTownScan(const TWaterMask& WaterMask, double TownDensity)
    : mask_(WaterMask),
      // Random() < d exactly when state < d * 2^32, that is state < ceil(d * 2^32); scaling by a
      // power of two is exact.
      threshold_(static_cast<std::uint64_t>(std::ceil(std::ldexp(TownDensity, 32)))),
      land_(static_cast<std::size_t>(WaterMask.Height()), WaterMask.Width()) {
  // Water pixels per row, column by column as the mask lies in memory: eight rows at a time in
  // the bytes of one 64-bit word (mask bytes are 0 or 1), emptied before a byte can overflow.
  const std::int32_t width = WaterMask.Width();
  const std::int32_t height = WaterMask.Height();
  const std::int32_t words = height / WordRows;
  std::vector<std::uint64_t> sums(static_cast<std::size_t>(words), 0);
  const auto empty = [&] {
    for (std::int32_t i = 0; i < words; ++i) {
      for (std::int32_t b = 0; b < WordRows; ++b) {
        land_[i * WordRows + b] -= static_cast<std::int32_t>((sums[i] >> (8 * b)) & 0xFF);
      }
      sums[i] = 0;
    }
  };
  for (std::int32_t x = 0; x < width; ++x) {
    const std::uint8_t* column = WaterMask[x];
    for (std::int32_t i = 0; i < words; ++i) {
      std::uint64_t eight;
      std::memcpy(&eight, column + i * WordRows, sizeof eight);
      sums[i] += eight;
    }
    for (std::int32_t y = words * WordRows; y < height; ++y)
      land_[y] -= column[y];
    if ((x + 1) % MaxByteSum == 0) empty();
  }
  empty();
}

std::int32_t TTownScan::NextTown(std::int32_t x, std::int32_t y) {
  if (y != row_) {
    row_ = y;
    column_ = 0;
    left_ = land_[y];
  }
  for (; column_ < x; ++column_)
    left_ -= 1 - mask_[column_][y];  // passed over by a label
  std::uint32_t state = RandSeed;
  std::int32_t taken = 0;  // land pixels whose draws are made
  std::int32_t found = -1;
  while (found < 0 && left_ - taken >= Lanes) {
    std::uint32_t next[Lanes];
    bool any = false;
    for (std::int32_t k = 0; k < Lanes; ++k) {
      next[k] = Jumps[k].Apply(state);
      any |= next[k] < threshold_;
    }
    if (any) {
      std::int32_t k = 0;
      while (next[k] >= threshold_)
        ++k;
      found = taken + k;
      state = next[k];
    } else {
      state = next[Lanes - 1];
      taken += Lanes;
    }
  }
  while (found < 0 && taken < left_) {
    state = NextRandState(state);
    if (state < threshold_) found = taken;
    ++taken;
  }
  RandSeed = state;
  if (found < 0) {
    left_ = 0;
    return -1;
  }
  // Walk on to the land pixel of that draw; the pixels up to it are spent.
  left_ -= found + 1;
  for (std::int32_t skipped = 0;; ++column_) {
    if (!mask_[column_][y] && skipped++ == found) return column_++;
  }
}

}  // namespace hillograph
