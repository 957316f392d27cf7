// Which cells the plasma sets, from which neighbours, at which depth and in which order depends
// only on the field's width and height. The plan records that once per size as a flat list of
// working rectangles, so that every render of the same size replays a loop instead of the
// recursion.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace hillograph {

// The cells a working rectangle sets, in the order it sets them.
enum TPlasmaSets : std::uint32_t {
  SetsTop = 1u << 0,     // (xm, y1), from (x1, y1) and (x2, y1)
  SetsRight = 1u << 1,   // (x2, ym), from (x2, y1) and (x2, y2)
  SetsBottom = 1u << 2,  // (xm, y2), from (x1, y2) and (x2, y2)
  SetsLeft = 1u << 3,    // (x1, ym), from (x1, y1) and (x1, y2)
  SetsCentre = 1u << 4,  // (xm, ym), the mean of the four edge midpoints
};

// The five cells a working rectangle (x1, y1) - (x2, y2) may set, as offsets in the
// column-major grid.
struct TPlasmaCells {
  std::uint32_t Top;     // (xm, y1)
  std::uint32_t Right;   // (x2, ym)
  std::uint32_t Bottom;  // (xm, y2)
  std::uint32_t Left;    // (x1, ym)
  std::uint32_t Centre;  // (xm, ym)
};

// A rectangle with sides of at most MaxBlockSpan makes one block with everything the recursion
// does inside it: BlockLevels levels of quarters, below which nothing is set. A block is one
// step of the plan; the replay passes the heights it sets on to the quarters in registers.
inline constexpr int BlockLevels = 2;
inline constexpr std::int32_t MaxBlockSpan = 2 << BlockLevels;

// The rectangles of a block with so many levels below it: itself, then each quarter's block.
constexpr int BlockRectsOf(int levels) {
  return levels == 0 ? 1 : 1 + 4 * BlockRectsOf(levels - 1);
}
inline constexpr int BlockRects = BlockRectsOf(BlockLevels);

// How far below the block's rectangle each of its rectangles lies, in the recursion's order.
inline constexpr std::array<std::uint8_t, BlockRects> BlockRectLevels = [] {
  std::array<std::uint8_t, BlockRects> levels{};
  int next = 0;
  const auto visit = [&](const auto& self, std::uint8_t level) -> void {
    levels[next++] = level;
    if (level == BlockLevels) return;
    for (int q = 0; q < 4; ++q)
      self(self, static_cast<std::uint8_t>(level + 1));
  };
  visit(visit, 0);
  return levels;
}();

// A rectangle's corners, and the cells of the rectangle and, for a block, of each of its
// rectangles in order, all as offsets from (x1, y1). A plan has few distinct shapes (a few
// dozen for 1000 x 1000).
struct TPlasmaShape {
  std::uint32_t TopRight;     // (x2, y1)
  std::uint32_t BottomLeft;   // (x1, y2)
  std::uint32_t BottomRight;  // (x2, y2)
  std::array<TPlasmaCells, BlockRects> Cells;
};

// One working rectangle that sets at least one cell, or a block.
struct TPlasmaStep {
  std::uint32_t Corner;  // (x1, y1) as x1 * Height + y1
  std::uint16_t Shape;   // index into the plan's shapes
  std::uint8_t Depth;    // of the rectangle; a block's quarters lie deeper
  bool Block;
  std::array<std::uint8_t, BlockRects> Sets;  // the TPlasmaSets of each rectangle, in order
};

// A run of steps whose displacement draws fit the replay's draw buffer together.
struct TPlasmaBatch {
  std::size_t StepEnd;  // one past the batch's last step
  std::size_t Draws;    // displaced cells in the batch
};

// The longest side a plan takes, well within the depths a displacement can scale by (a side of
// 2^k + 1 cells reaches depth k).
inline constexpr std::int32_t MaxPlanSide = 4096;

class TPlasmaPlan {
 public:
  // Width and Height 1 .. MaxPlanSide.
  TPlasmaPlan(std::int32_t Width, std::int32_t Height);

  // The most displacement draws one batch asks for.
  static constexpr std::size_t MaxBatchDraws = 2048;

  std::int32_t Width;
  std::int32_t Height;
  std::vector<TPlasmaShape> Shapes;
  std::vector<TPlasmaStep> Steps;  // in the depth-first order of the subdivision
  std::vector<TPlasmaBatch> Batches;
  std::vector<std::uint16_t> DrawScales;  // the DepthScale of each displaced cell, in draw order
};

// The plan for a size, built on first use and kept until another size is asked for (a drag
// that changes the water or the seed never changes the size). Each thread keeps its own.
const TPlasmaPlan& PlasmaPlanFor(std::int32_t Width, std::int32_t Height);

}  // namespace hillograph
