#include "synthesis/Plasma.h"

#include <algorithm>
#include <array>

#include "synthesis/PlasmaPlan.h"
#include "synthesis/Random.h"
#include "synthesis/RandomStream.h"

namespace hillograph {
namespace {

std::uint8_t Displace(std::uint8_t a, std::uint8_t b, TDisplacementDraw draw, std::int32_t depth) {
  const std::int32_t v = (a + b + 1) / 2 + DisplacementOffset(draw, depth);
  return static_cast<std::uint8_t>(std::clamp(v, MinDisplacedHeight, MaxDisplacedHeight));
}

// Replays the plan's rectangles in order; each takes its displacement draws from the buffer in
// the order top, right, bottom, left, as the recursion would.
void Replay(const TPlasmaPlan& plan, std::int32_t diversity, THeightField& heights) {
  std::array<TDisplacementDraw, TPlasmaPlan::MaxBatchDraws> draws;
  std::uint8_t* const cells = heights.Data();
  const auto columnSize = static_cast<std::size_t>(plan.Height);
  std::uint32_t state = RandSeed;
  std::size_t s = 0;
  for (const TPlasmaBatch& batch : plan.Batches) {
    state = FillDisplacementDraws(state, diversity, batch.Draws, draws.data());
    const TDisplacementDraw* draw = draws.data();
    for (; s < batch.StepEnd; ++s) {
      const TPlasmaStep step = plan.Steps[s];
      std::uint8_t* const c = cells + step.Corner();  // (x1, y1)
      const std::size_t x2 = static_cast<std::size_t>(step.SpanX()) * columnSize;
      const std::size_t xm = static_cast<std::size_t>(step.SpanX() / 2) * columnSize;
      const std::size_t y2 = static_cast<std::size_t>(step.SpanY());
      const std::size_t ym = y2 / 2;
      const std::int32_t depth = step.Depth();
      const std::uint32_t sets = step.Sets();
      if (sets & SetsTop) c[xm] = Displace(c[0], c[x2], *draw++, depth);
      if (sets & SetsRight) c[x2 + ym] = Displace(c[x2], c[x2 + y2], *draw++, depth);
      if (sets & SetsBottom) c[xm + y2] = Displace(c[y2], c[x2 + y2], *draw++, depth);
      if (sets & SetsLeft) c[ym] = Displace(c[0], c[y2], *draw++, depth);
      if (sets & SetsCentre)
        c[xm + ym] = static_cast<std::uint8_t>((c[xm] + c[x2 + ym] + c[xm + y2] + c[ym] + 2) / 4);
    }
  }
  RandSeed = state;
}

}  // namespace

TPlasmaFractal::TPlasmaFractal(std::int32_t Width, std::int32_t Height, std::int32_t Diversity)
    : Width(Width), Height(Height), Heights(Width, Height) {
  const TPlasmaPlan& plan = PlasmaPlanFor(Width, Height);
  // Corners in the order top left, top right, bottom left, bottom right; on a 1-wide or 1-high
  // field later corners overwrite earlier ones, but all four are drawn.
  Heights[0][0] = static_cast<std::uint8_t>(Random(CornerHeightRange) + 1);
  Heights[Width - 1][0] = static_cast<std::uint8_t>(Random(CornerHeightRange) + 1);
  Heights[0][Height - 1] = static_cast<std::uint8_t>(Random(CornerHeightRange) + 1);
  Heights[Width - 1][Height - 1] = static_cast<std::uint8_t>(Random(CornerHeightRange) + 1);
  Replay(plan, Diversity, Heights);
}

}  // namespace hillograph
