#include "synthesis/terrain/Plasma.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "synthesis/base/Random.h"
#include "synthesis/terrain/PlasmaDraws.h"
#include "synthesis/terrain/PlasmaPlan.h"

namespace hillograph {
namespace {

// A displaced cell is the clamp of (a + b + displacement) >> 1, looked up by the sum. The sum
// of two heights of 1 .. 255 and a displacement lies within the table.
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

std::uint8_t Displace(std::uint8_t a, std::uint8_t b, TDisplacement displacement) {
  return DisplacedHeights[static_cast<std::size_t>(a + b + displacement - MinDisplacedSum)];
}

// The heights of a rectangle's five cells after it has set them.
struct TRectHeights {
  std::int32_t Top, Right, Bottom, Left, Centre;
};

// Sets what a rectangle sets, from the heights of its corners, taking its displacements in the
// order top, right, bottom, left, as the recursion draws them. The midpoints it sets go to the
// centre from registers rather than back through memory.
[[gnu::always_inline]] inline TRectHeights SetRect(std::uint8_t* c, const TPlasmaCells& k,
                                                   std::uint32_t sets, std::uint8_t topLeft,
                                                   std::uint8_t topRight, std::uint8_t bottomLeft,
                                                   std::uint8_t bottomRight,
                                                   const TDisplacement*& d) {
  TRectHeights r;
  r.Top = (sets & SetsTop) ? (c[k.Top] = Displace(topLeft, topRight, *d++)) : c[k.Top];
  r.Right = (sets & SetsRight) ? (c[k.Right] = Displace(topRight, bottomRight, *d++)) : c[k.Right];
  r.Bottom =
      (sets & SetsBottom) ? (c[k.Bottom] = Displace(bottomLeft, bottomRight, *d++)) : c[k.Bottom];
  r.Left = (sets & SetsLeft) ? (c[k.Left] = Displace(topLeft, bottomLeft, *d++)) : c[k.Left];
  r.Centre =
      (sets & SetsCentre)
          ? (c[k.Centre] = static_cast<std::uint8_t>((r.Top + r.Right + r.Bottom + r.Left + 2) / 4))
          : c[k.Centre];
  return r;
}

// Sets what a block's rectangle Rect and the rectangles below it set, from its corners' heights.
// Each rectangle's quarters take their corners from the heights it has just set.
template <int Levels, int Rect>
[[gnu::always_inline]] inline void SetBlock(std::uint8_t* c, const TPlasmaShape& k,
                                            const TPlasmaStep& step, std::uint8_t topLeft,
                                            std::uint8_t topRight, std::uint8_t bottomLeft,
                                            std::uint8_t bottomRight, const TDisplacement*& d) {
  const std::uint32_t sets = step.Sets[Rect];
  if constexpr (Levels == 0) {
    if (sets == 0) return;
    SetRect(c, k.Cells[Rect], sets, topLeft, topRight, bottomLeft, bottomRight, d);
  } else {
    const TRectHeights r =
        SetRect(c, k.Cells[Rect], sets, topLeft, topRight, bottomLeft, bottomRight, d);
    const auto top = static_cast<std::uint8_t>(r.Top);
    const auto right = static_cast<std::uint8_t>(r.Right);
    const auto bottom = static_cast<std::uint8_t>(r.Bottom);
    const auto left = static_cast<std::uint8_t>(r.Left);
    const auto centre = static_cast<std::uint8_t>(r.Centre);
    constexpr int Quarter = BlockRectsOf(Levels - 1);
    SetBlock<Levels - 1, Rect + 1>(c, k, step, topLeft, top, left, centre, d);
    SetBlock<Levels - 1, Rect + 1 + Quarter>(c, k, step, top, topRight, centre, right, d);
    SetBlock<Levels - 1, Rect + 1 + 2 * Quarter>(c, k, step, centre, right, bottom, bottomRight, d);
    SetBlock<Levels - 1, Rect + 1 + 3 * Quarter>(c, k, step, left, centre, bottomLeft, bottom, d);
  }
}

// Replays the plan's steps in order.
void Replay(const TPlasmaPlan& plan, std::int32_t diversity, THeightField& heights) {
  std::array<TDisplacement, TPlasmaPlan::MaxBatchDraws> displacements;
  std::uint8_t* const cells = heights.Data();
  const TPlasmaShape* const shapes = plan.Shapes.data();
  const std::uint16_t* scales = plan.DrawScales.data();
  const TPlasmaStep* step = plan.Steps.data();
  std::uint32_t state = RandSeed;
  for (const TPlasmaBatch& batch : plan.Batches) {
    state = FillDisplacements(state, diversity, scales, batch.Draws, displacements.data());
    scales += batch.Draws;
    const TDisplacement* d = displacements.data();
    for (const TPlasmaStep* const end = plan.Steps.data() + batch.StepEnd; step != end; ++step) {
      std::uint8_t* const c = cells + step->Corner;
      const TPlasmaShape& k = shapes[step->Shape];
      if (step->Block) {
        SetBlock<BlockLevels, 0>(c, k, *step, c[0], c[k.TopRight], c[k.BottomLeft],
                                 c[k.BottomRight], d);
      } else {
        SetRect(c, k.Cells[0], step->Sets[0], c[0], c[k.TopRight], c[k.BottomLeft],
                c[k.BottomRight], d);
      }
    }
  }
  RandSeed = state;
}

}  // namespace

TPlasmaFractal::TPlasmaFractal(std::int32_t Width, std::int32_t Height, std::int32_t Diversity)
    : Width(Width), Height(Height) {
  if (Diversity < 0 || Diversity > MaxDiversity)
    throw std::invalid_argument("plasma diversity out of range");
  const TPlasmaPlan& plan = PlasmaPlanFor(Width, Height);  // checks the size
  Heights = THeightField(Width, Height);
  // Corners in the order top left, top right, bottom left, bottom right; on a 1-wide or 1-high
  // field later corners overwrite earlier ones, but all four are drawn.
  Heights[0][0] = static_cast<std::uint8_t>(Random(CornerHeightRange) + 1);
  Heights[Width - 1][0] = static_cast<std::uint8_t>(Random(CornerHeightRange) + 1);
  Heights[0][Height - 1] = static_cast<std::uint8_t>(Random(CornerHeightRange) + 1);
  Heights[Width - 1][Height - 1] = static_cast<std::uint8_t>(Random(CornerHeightRange) + 1);
  Replay(plan, Diversity, Heights);
}

}  // namespace hillograph
