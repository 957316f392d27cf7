#include "synthesis/terrain/PlasmaPlan.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <stdexcept>
#include <utility>
#include <vector>

#include "oracles/PlasmaOracle.h"
#include "synthesis/base/Random.h"
#include "synthesis/terrain/PlasmaDraws.h"

namespace hillograph {
namespace {

using testing::TOrder;
using testing::TPlasmaOracle;
using testing::TSetCell;

// The cells the plan sets, in its order, as the oracle lists them.
class TCellLister {
 public:
  explicit TCellLister(const TPlasmaPlan& plan) : plan_(plan) {
    for (const TPlasmaStep& step : plan.Steps) {
      const TPlasmaShape& shape = plan.Shapes[step.Shape];
      for (int rect = 0; rect < (step.Block ? BlockRects : 1); ++rect) {
        Add(step.Corner, shape.Cells[rect], step.Sets[rect], step.Depth + BlockRectLevels[rect]);
      }
    }
  }

  std::vector<TSetCell> Cells;

 private:
  void Add(std::uint32_t corner, const TPlasmaCells& cells, std::uint32_t sets, int depth) {
    const std::pair<std::uint32_t, std::uint32_t> parts[] = {
        {SetsTop, cells.Top},   {SetsRight, cells.Right},   {SetsBottom, cells.Bottom},
        {SetsLeft, cells.Left}, {SetsCentre, cells.Centre},
    };
    const auto height = static_cast<std::uint32_t>(plan_.Height);
    for (const auto& [set, offset] : parts) {
      if ((sets & set) == 0) continue;
      const std::uint32_t cell = corner + offset;
      Cells.push_back({static_cast<std::int32_t>(cell / height),
                       static_cast<std::int32_t>(cell % height), set == SetsCentre, depth});
    }
  }

  const TPlasmaPlan& plan_;
};

TEST(PlasmaPlanTest, SetsTheCellsOfTheRecursionInItsOrder) {
  const std::pair<std::int32_t, std::int32_t> sizes[] = {
      {1, 1}, {3, 1}, {1, 3}, {2, 7}, {5, 5}, {17, 1}, {13, 7}, {64, 64}, {97, 89}, {640, 480}};
  for (const auto& [width, height] : sizes) {
    const TPlasmaPlan plan(width, height);
    RandSeed = 1;
    const TPlasmaOracle oracle(width, height, 1, TOrder::Record);
    EXPECT_EQ(TCellLister(plan).Cells, oracle.Order) << width << " x " << height;
  }
}

// Batches cover the steps in order, each within the draw buffer, and the scales follow the
// depths of the displaced cells.
TEST(PlasmaPlanTest, BatchesAndScalesFollowTheSteps) {
  for (const auto& [width, height] : {std::pair{1000, 1000}, {641, 479}, {1, MaxPlanSide}}) {
    const TPlasmaPlan plan(width, height);
    std::vector<std::uint16_t> scales;
    std::size_t begin = 0;
    for (const TPlasmaBatch& batch : plan.Batches) {
      std::size_t draws = 0;
      for (std::size_t s = begin; s < batch.StepEnd; ++s) {
        const TPlasmaStep& step = plan.Steps[s];
        const auto add = [&](std::uint32_t sets, int depth) {
          const auto edges =
              static_cast<std::size_t>(std::popcount(sets & ~std::uint32_t{SetsCentre}));
          draws += edges;
          scales.insert(scales.end(), edges, DepthScale(depth));
        };
        for (int rect = 0; rect < (step.Block ? BlockRects : 1); ++rect)
          add(step.Sets[rect], step.Depth + BlockRectLevels[rect]);
      }
      EXPECT_GT(batch.StepEnd, begin);
      EXPECT_EQ(batch.Draws, draws);
      EXPECT_LE(batch.Draws, TPlasmaPlan::MaxBatchDraws);
      begin = batch.StepEnd;
    }
    EXPECT_EQ(begin, plan.Steps.size()) << width << " x " << height;
    EXPECT_EQ(scales, plan.DrawScales) << width << " x " << height;
  }
}

TEST(PlasmaPlanTest, RejectsSizesItCannotDescribe) {
  for (const auto& [width, height] :
       {std::pair{0, 5}, {5, 0}, {-1, 1}, {MaxPlanSide + 1, 1}, {1, MaxPlanSide + 1}}) {
    EXPECT_THROW(TPlasmaPlan(width, height), std::invalid_argument) << width << " x " << height;
  }
}

}  // namespace
}  // namespace hillograph
