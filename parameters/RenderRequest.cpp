#include "parameters/RenderRequest.h"

#include "synthesis/Generator.h"
#include "synthesis/random/Random.h"

namespace hillograph {
namespace {

class TRandSeedGuard {
 public:
  TRandSeedGuard() : saved_(RandSeed) {}
  ~TRandSeedGuard() { RandSeed = saved_; }
  TRandSeedGuard(const TRandSeedGuard&) = delete;
  TRandSeedGuard& operator=(const TRandSeedGuard&) = delete;

 private:
  std::uint32_t saved_;
};

}  // namespace

void RenderMapParameters(TPicture& Bitmap, const TMapParameters& Params, TTownList* Towns,
                         const TRenderExtras& Extras) {
  const TRandSeedGuard guard;
  RandSeed = static_cast<std::uint32_t>(RoundHalfEven(Params.RandSeed));
  MapStyle = MapStyleOf(Params);
  // The arguments in the order the request evaluates them.
  const std::int32_t diversity = RoundHalfEven(Params.Diversity);
  const std::int32_t waterLevel = RoundHalfEven(Params.WaterAmount);
  const double townDensity = TownDensityOf(Params.TownAmount);
  const std::int32_t height = RoundHalfEven(Params.Height);
  const std::int32_t width = RoundHalfEven(Params.Width);
  GenerateMap(Bitmap, width, height, diversity, waterLevel, townDensity, Params.TownDB, Towns,
              Extras);
}

}  // namespace hillograph
