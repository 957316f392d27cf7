#include "synthesis/terrain/Plasma.h"

#include <algorithm>
#include <array>

#include "synthesis/base/ArgumentCheck.h"
#include "synthesis/base/Random.h"
#include "synthesis/base/RandomJump.h"
#include "synthesis/terrain/PlasmaDraws.h"

namespace hillograph {
namespace {

// A displaced cell is the clamp of (a + b + displacement) >> 1, looked up by the sum, where the
// displacement is 2 * offset + 1 (the rounding 1 folded in). Offsets beyond +-MaxUsefulOffset
// are cut to it: a mean of 1 .. 255 plus such an offset clamps to the same height either way.
// The sum of two heights of 1 .. 255 and a displacement lies within the table.
constexpr std::int32_t MaxUsefulOffset = 255;
constexpr std::int32_t MinHeight = 1;
constexpr std::int32_t MaxHeight = CornerHeightRange;
constexpr std::int32_t MinDisplacedSum = 2 * MinHeight - 2 * MaxUsefulOffset + 1;
constexpr std::int32_t MaxDisplacedSum = 2 * MaxHeight + 2 * MaxUsefulOffset + 1;
constexpr auto DisplacedHeights = [] {
  std::array<std::uint8_t, MaxDisplacedSum - MinDisplacedSum + 1> heights{};
  for (std::int32_t sum = MinDisplacedSum; sum <= MaxDisplacedSum; ++sum) {
    // >> rounds down, also for negative sums.
    heights[sum - MinDisplacedSum] =
        static_cast<std::uint8_t>(std::clamp(sum >> 1, MinDisplacedHeight, MaxDisplacedHeight));
  }
  return heights;
}();

std::uint8_t Displace(std::uint8_t a, std::uint8_t b, std::int32_t displacement) {
  return DisplacedHeights[static_cast<std::size_t>(a + b + displacement - MinDisplacedSum)];
}

// Edges of a rectangle whose cells are all set when the recursion reaches it.
enum TSetEdges : std::uint32_t { TopSet = 1, RightSet = 2, BottomSet = 4, LeftSet = 8 };

// The recursion itself, one rectangle at a time. Which cells a rectangle finds set follows from
// the order alone: an edge shared with a rectangle finished before is set whole, any other edge
// holds only its ends, and the centre of a rectangle with both sides of 2 or more is always new.
// So no cell is read to decide, and the heights need not start at zero.
// The draws come from a buffer filled ahead (the generator's steps depend on each other; filled
// in lanes they do not), and the place in it travels by value: the cells are bytes, which may
// alias anything, so a cursor kept in memory would be stored and reloaded around every write.
class TSubdivision {
 public:
  using TCursor = const TPlasmaDraw*;

  TSubdivision(THeightField& heights, std::int32_t diversity, std::uint32_t state)
      : cells_(heights.Data()),
        height_(static_cast<std::size_t>(heights.Height())),
        diversity_(diversity),
        bufferState_(state) {}

  // The whole field, corners set; returns the generator state after the last draw.
  std::uint32_t Run(std::int32_t width, std::int32_t height) {
    const TCursor end = Run(0, 0, width - 1, height - 1, 1, Refill(), 0);
    return RandJumpOf(StepsPerDraw * static_cast<std::uint64_t>(end - draws_.data()))
        .Apply(bufferState_);
  }

 private:
  static constexpr std::size_t BufferedDraws = 1024;
  static constexpr std::uint64_t StepsPerDraw = 2;  // the magnitude, then the sign

  // Draws the next buffer; bufferState_ is the state before its first draw.
  [[gnu::noinline]] TCursor Refill() {
    if (filled_) {
      bufferState_ = RandJumpOf(StepsPerDraw * BufferedDraws).Apply(bufferState_);
    }
    filled_ = true;
    FillDraws(bufferState_, diversity_, BufferedDraws, draws_.data());
    return draws_.data();
  }

  TCursor Run(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
              std::int32_t depth, TCursor cursor, std::uint32_t edges) {
    const std::int32_t spanX = x2 - x1;
    const std::int32_t spanY = y2 - y1;
    SetRect(x1, y1, x2, y2, depth, cursor, edges);
    // Quarters with both sides below 2 set nothing; those of a rectangle with both sides of at
    // most 4 recurse no further, so they are set here without a call.
    if (spanX <= 2 && spanY <= 2) return cursor;
    if (spanX <= 4 && spanY <= 4) return Quarters<true>(x1, y1, x2, y2, depth + 1, cursor, edges);
    return Quarters<false>(x1, y1, x2, y2, depth + 1, cursor, edges);
  }

 private:
  // A side of span 0 puts two opposite edges on one line: set when either is.
  static std::uint32_t OnLines(std::int32_t spanX, std::int32_t spanY, std::uint32_t edges) {
    if (spanX == 0 && (edges & (LeftSet | RightSet)) != 0) edges |= LeftSet | RightSet;
    if (spanY == 0 && (edges & (TopSet | BottomSet)) != 0) edges |= TopSet | BottomSet;
    return edges;
  }

  // The four quarters in the recursion's order, each with the edges it finds set. A side of
  // span 0 makes two quarters repeat the other two; the repeats find every cell set and are
  // skipped.
  template <bool Last>
  [[gnu::always_inline]] TCursor Quarters(std::int32_t x1, std::int32_t y1, std::int32_t x2,
                                          std::int32_t y2, std::int32_t depth, TCursor cursor,
                                          std::uint32_t edges) {
    edges = OnLines(x2 - x1, y2 - y1, edges);
    const std::int32_t xm = (x1 + x2) / 2;
    const std::int32_t ym = (y1 + y2) / 2;
    Quarter<Last>(x1, y1, xm, ym, depth, cursor, edges & (TopSet | LeftSet));
    if (x1 != x2) {
      Quarter<Last>(xm, y1, x2, ym, depth, cursor, (edges & (TopSet | RightSet)) | LeftSet);
    }
    if (y1 != y2) {
      // With a side below 2 the third quarter's left edge is the rectangle's own.
      const std::uint32_t ownLeft = xm == x1 ? edges & LeftSet : 0;
      Quarter<Last>(xm, ym, x2, y2, depth, cursor,
                    (edges & (RightSet | BottomSet)) | TopSet | ownLeft);
      if (x1 != x2) {
        Quarter<Last>(x1, ym, xm, y2, depth, cursor,
                      (edges & (BottomSet | LeftSet)) | TopSet | RightSet);
      }
    }
    return cursor;
  }

  template <bool Last>
  [[gnu::always_inline]] void Quarter(std::int32_t x1, std::int32_t y1, std::int32_t x2,
                                      std::int32_t y2, std::int32_t depth, TCursor& cursor,
                                      std::uint32_t edges) {
    if constexpr (Last) {
      SetRect(x1, y1, x2, y2, depth, cursor, edges);
    } else {
      cursor = Run(x1, y1, x2, y2, depth, cursor, edges);
    }
  }

  // Sets what one rectangle sets. A midpoint of a side below 2 is one of its ends; a side of
  // span 0 puts two opposite edges on one line, and the second finds the midpoint the first set.
  [[gnu::always_inline]] void SetRect(std::int32_t x1, std::int32_t y1, std::int32_t x2,
                                      std::int32_t y2, std::int32_t depth, TCursor& cursor,
                                      std::uint32_t edges) {
    const std::int32_t spanX = x2 - x1;
    const std::int32_t spanY = y2 - y1;
    edges = OnLines(spanX, spanY, edges);
    const std::int32_t xm = (x1 + x2) / 2;
    const std::int32_t ym = (y1 + y2) / 2;
    std::uint8_t* const c1 = Column(x1);
    std::uint8_t* const cm = Column(xm);
    std::uint8_t* const c2 = Column(x2);
    if (spanX >= 2 && spanY >= 2) {
      // The common case: four midpoints, each new unless its edge is set, and the centre, taken
      // from the midpoints in registers.
      const std::int32_t top =
          (edges & TopSet) ? cm[y1] : (cm[y1] = DisplaceCell(c1[y1], c2[y1], depth, cursor));
      const std::int32_t right =
          (edges & RightSet) ? c2[ym] : (c2[ym] = DisplaceCell(c2[y1], c2[y2], depth, cursor));
      const std::int32_t bottom =
          (edges & BottomSet) ? cm[y2] : (cm[y2] = DisplaceCell(c1[y2], c2[y2], depth, cursor));
      const std::int32_t left =
          (edges & LeftSet) ? c1[ym] : (c1[ym] = DisplaceCell(c1[y1], c1[y2], depth, cursor));
      cm[ym] = static_cast<std::uint8_t>((top + right + bottom + left + 2) / 4);
      return;
    }
    if (spanX >= 2 && (edges & TopSet) == 0) cm[y1] = DisplaceCell(c1[y1], c2[y1], depth, cursor);
    if (spanY >= 2 && (edges & RightSet) == 0) c2[ym] = DisplaceCell(c2[y1], c2[y2], depth, cursor);
    if (spanX >= 2 && spanY != 0 && (edges & BottomSet) == 0)
      cm[y2] = DisplaceCell(c1[y2], c2[y2], depth, cursor);
    if (spanY >= 2 && spanX != 0 && (edges & LeftSet) == 0)
      c1[ym] = DisplaceCell(c1[y1], c1[y2], depth, cursor);
  }

  std::uint8_t* Column(std::int32_t x) const {
    return cells_ + static_cast<std::size_t>(x) * height_;
  }

  // A displaced cell from its two neighbours and the next draw.
  std::uint8_t DisplaceCell(std::uint8_t a, std::uint8_t b, std::int32_t depth, TCursor& cursor) {
    if (cursor == draws_.data() + BufferedDraws) cursor = Refill();
    const std::uint32_t draw = *cursor++;
    const std::int32_t offset =
        std::min(static_cast<std::int32_t>(draw & DrawMagnitudeMask) >> depth, MaxUsefulOffset);
    // Negated without a branch, which would guess wrong half the time.
    const std::int32_t negative = -static_cast<std::int32_t>(draw >> DrawSignShift);
    return Displace(a, b, 2 * ((offset ^ negative) - negative) + 1);
  }

  std::uint8_t* cells_;
  std::size_t height_;
  std::int32_t diversity_;
  std::uint32_t bufferState_;
  bool filled_ = false;
  std::array<TPlasmaDraw, BufferedDraws> draws_;
};

}  // namespace

TPlasmaFractal::TPlasmaFractal(std::int32_t Width, std::int32_t Height, std::int32_t Diversity)
    : Width(Width), Height(Height) {
  CheckArgument("Width", Width, 1, MaxPlasmaSide);
  CheckArgument("Height", Height, 1, MaxPlasmaSide);
  CheckArgument("Diversity", Diversity, 0, MaxDiversity);
  // Every cell is set below, once: the field needs no zeros first.
  Heights = THeightField(Width, Height, Uninitialised);
  // Corners in the order top left, top right, bottom left, bottom right; on a 1-wide or 1-high
  // field later corners overwrite earlier ones, but all four are drawn.
  Heights[0][0] = static_cast<std::uint8_t>(Random(CornerHeightRange) + 1);
  Heights[Width - 1][0] = static_cast<std::uint8_t>(Random(CornerHeightRange) + 1);
  Heights[0][Height - 1] = static_cast<std::uint8_t>(Random(CornerHeightRange) + 1);
  Heights[Width - 1][Height - 1] = static_cast<std::uint8_t>(Random(CornerHeightRange) + 1);
  if (Width > 2 || Height > 2) {
    RandSeed = TSubdivision(Heights, Diversity, RandSeed).Run(Width, Height);
  }
}

}  // namespace hillograph
