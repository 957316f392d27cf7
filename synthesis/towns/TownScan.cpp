#include "synthesis/towns/TownScan.h"

#include <array>
#include <cmath>

#include "synthesis/random/Random.h"
#include "synthesis/random/RandomJump.h"

#if defined(__SSE2__) && !defined(HILLOGRAPH_PORTABLE)
#include <emmintrin.h>
#define HILLOGRAPH_TOWN_SCAN_SSE2 1
#endif

namespace hillograph {
namespace {

constexpr std::int32_t Lanes = 8;
#if HILLOGRAPH_TOWN_SCAN_SSE2
constexpr std::int32_t BlockRows = 16;    // heights in a register
constexpr std::int32_t MaxByteSum = 255;  // columns a byte of a register can count
#endif

// Jumps of 1 .. Lanes steps, so that the next Lanes states come from one state at once.
constexpr std::array<TRandJump, Lanes> MakeJumps() {
  std::array<TRandJump, Lanes> jumps{};
  for (std::int32_t k = 0; k < Lanes; ++k)
    jumps[k] = RandJumpOf(k + 1);
  return jumps;
}
constexpr std::array<TRandJump, Lanes> Jumps = MakeJumps();

}  // namespace

TTownScan::TTownScan(const THeightField& Heights, std::int32_t WaterLevel, double TownDensity)
    : heights_(Heights),
      level_(WaterLevel),
      // Random() < d exactly when state < d * 2^32, that is state < ceil(d * 2^32); scaling by a
      // power of two is exact.
      threshold_(static_cast<std::uint64_t>(std::ceil(std::ldexp(TownDensity, 32)))),
      land_(static_cast<std::size_t>(Heights.Height()), Heights.Width()) {
  const std::int32_t width = Heights.Width();
  const std::int32_t height = Heights.Height();
  std::int32_t y0 = 0;
#if HILLOGRAPH_TOWN_SCAN_SSE2
  // Water pixels per row, column by column as the heights lie in memory: sixteen rows at a time
  // in the bytes of one register, emptied before a byte can overflow.
  const std::int32_t blocks = height / BlockRows;
  std::vector<std::array<std::uint8_t, BlockRows>> sums(static_cast<std::size_t>(blocks));
  const __m128i level = _mm_set1_epi8(static_cast<char>(WaterLevel));
  const auto empty = [&] {
    for (std::int32_t i = 0; i < blocks; ++i) {
      for (std::int32_t b = 0; b < BlockRows; ++b)
        land_[static_cast<std::size_t>(i * BlockRows + b)] -= sums[static_cast<std::size_t>(i)][b];
      sums[static_cast<std::size_t>(i)].fill(0);
    }
  };
  for (std::int32_t x = 0; x < width; ++x) {
    const std::uint8_t* column = Heights[x];
    for (std::int32_t i = 0; i < blocks; ++i) {
      auto* sum = reinterpret_cast<__m128i*>(sums[static_cast<std::size_t>(i)].data());
      const __m128i heights =
          _mm_loadu_si128(reinterpret_cast<const __m128i*>(column + i * BlockRows));
      // h <= level exactly where h - level saturates to 0; such bytes compare to -1.
      const __m128i water = _mm_cmpeq_epi8(_mm_subs_epu8(heights, level), _mm_setzero_si128());
      _mm_storeu_si128(sum, _mm_sub_epi8(_mm_loadu_si128(sum), water));
    }
    if ((x + 1) % MaxByteSum == 0) empty();
  }
  empty();
  y0 = blocks * BlockRows;
#endif
  // The rows past the last whole block (every row on the portable path), one at a time.
  for (std::int32_t x = 0; x < width; ++x) {
    const std::uint8_t* column = Heights[x];
    for (std::int32_t y = y0; y < height; ++y)
      land_[static_cast<std::size_t>(y)] -= column[y] <= WaterLevel;
  }
}

std::int32_t TTownScan::NextTown(std::int32_t x, std::int32_t y) {
  if (y != row_) {
    row_ = y;
    column_ = 0;
    left_ = land_[y];
  }
  for (; column_ < x; ++column_)
    left_ -= IsLand(column_, y);  // passed over by a label
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
    if (IsLand(column_, y) && skipped++ == found) return column_++;
  }
}

}  // namespace hillograph
