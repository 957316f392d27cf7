// Which cells the plasma sets, from which neighbours, at which depth and in which order depends
// only on the field's width and height. A plan records that once for a size as a flat list of
// working rectangles, so that renders of the same size that follow one another replay a loop
// instead of the recursion, with every displacement scaled ahead in lanes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "synthesis/parallel/WorkerTeam.h"

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
  std::size_t StepEnd;     // one past the batch's last step
  std::size_t Draws;       // displaced cells in the batch
  std::int64_t FirstDraw;  // the index of its first draw in the field's sequence
};

// The most bytes a plan may take: fields of about four million cells (2048 x 2048, or 1000 x
// 1000 in 2.7 MB). Larger fields, up to 16384 x 16384, and long thin ones, whose many small
// rectangles make many steps, are always made by the recursion, at no memory beyond the field.
inline constexpr std::int64_t MaxPlanBytes = std::int64_t{16} << 20;

// At least as many bytes as the plan for a Width x Height field (sides 1 .. 16384) takes, counted
// without making it.
std::int64_t PlanBytesAtMost(std::int32_t Width, std::int32_t Height);

class TPlasmaPlan {
 public:
  // Width and Height 1 .. 16384, with PlanBytesAtMost(Width, Height) at most MaxPlanBytes.
  TPlasmaPlan(std::int32_t Width, std::int32_t Height);

  // The most displacement draws one batch asks for.
  static constexpr std::size_t MaxBatchDraws = 2048;

  std::int32_t Width;
  std::int32_t Height;
  std::vector<TPlasmaShape> Shapes;
  std::vector<TPlasmaStep> Steps;  // in the depth-first order of the subdivision
  std::vector<TPlasmaBatch> Batches;
  std::vector<std::uint16_t> DrawScales;  // the DepthScale of each displaced cell, in draw order
  // The batch each quarter of the field starts with, in the recursion's order, when the field has
  // four: the field's own step has a batch of its own, and no batch spans two quarters, so that
  // each quarter replays on its own from its first draw.
  std::vector<std::size_t> QuarterBatches;
};

// The plan a team's renders replay: made when the size asked for is the one asked for last (a
// drag that changes the water or the seed never changes the size), so that a single render pays
// nothing for it, and dropped when another size comes.
class TPlasmaPlans final : public TTeamKeepsake {
 public:
  // The plan for a Width x Height field (sides 1 .. 16384), or none: for a size new to the team,
  // for a plan of more than MaxPlanBytes, or when the memory for the plan cannot be had.
  const TPlasmaPlan* For(std::int32_t Width, std::int32_t Height);

 private:
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::unique_ptr<TPlasmaPlan> plan_;
};

// The plans kept with Team, made on first use.
TPlasmaPlans& PlasmaPlansOf(TWorkerTeam& Team);

}  // namespace hillograph
