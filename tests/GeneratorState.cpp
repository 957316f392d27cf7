// Every test of these programs gets the generator state and the map style as it found them, so
// that no test depends on what another left behind, in whatever order they run.
#include <gtest/gtest.h>

#include "synthesis/MapStyle.h"
#include "synthesis/random/Random.h"

namespace hillograph {
namespace {

class TGeneratorStateKeeper : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { seed_ = RandSeed, style_ = MapStyle; }
  void OnTestEnd(const ::testing::TestInfo&) override { RandSeed = seed_, MapStyle = style_; }
  std::uint32_t seed_ = 0;
  TMapStyle style_;
};

const bool registered =
    (::testing::UnitTest::GetInstance()->listeners().Append(new TGeneratorStateKeeper), true);

}  // namespace
}  // namespace hillograph
