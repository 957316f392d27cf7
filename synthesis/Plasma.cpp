#include "synthesis/Plasma.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "synthesis/PlasmaDraws.h"
#include "synthesis/PlasmaPlan.h"
#include "synthesis/Random.h"

namespace hillograph {
namespace {

// A displaced cell is the clamp of (a + b + displacement) >> 1, looked up by the sum. The sum
// of two heights of 1 .. 255 and a displacement lies within the table.
constexpr std::int32_t MinDisplacedSum = 2 - 2 * MaxUsefulOffset + 1;
constexpr std::int32_t MaxDisplacedSum = 2 * 255 + 2 * MaxUsefulOffset + 1;
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

// Replays the plan's rectangles in order; each takes its displacements in the order top,
// right, bottom, left, as the recursion draws them.
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
      std::uint8_t* const c = cells + step->Corner;  // (x1, y1)
      const TPlasmaShape& k = shapes[step->Shape];
      const std::uint32_t sets = step->Sets;
      // The centre takes the midpoints from registers where this step has just set them.
      const std::int32_t top =
          (sets & SetsTop) ? (c[k.Top] = Displace(c[0], c[k.TopRight], *d++)) : c[k.Top];
      const std::int32_t right =
          (sets & SetsRight) ? (c[k.Right] = Displace(c[k.TopRight], c[k.BottomRight], *d++))
                             : c[k.Right];
      const std::int32_t bottom =
          (sets & SetsBottom) ? (c[k.Bottom] = Displace(c[k.BottomLeft], c[k.BottomRight], *d++))
                              : c[k.Bottom];
      const std::int32_t left =
          (sets & SetsLeft) ? (c[k.Left] = Displace(c[0], c[k.BottomLeft], *d++)) : c[k.Left];
      if (sets & SetsCentre)
        c[k.Centre] = static_cast<std::uint8_t>((top + right + bottom + left + 2) / 4);
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
