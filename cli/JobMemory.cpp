#include "cli/JobMemory.h"

#include <algorithm>

#include "synthesis/Generator.h"
#include "synthesis/base/ArgumentCheck.h"
#include "synthesis/terrain/PlasmaPlan.h"

namespace hillograph {
namespace {

// Bytes per pixel, in tenths, measured as the peak resident memory of one-map batches from
// 2000 x 2000 to 8000 x 8000 less what the process holds without a map: the picture (3) and the
// height field (1), then a PNG picture's filtered copy and its deflated data, or a 16-bit PNG
// heightmap's.
constexpr std::uint64_t MapTenths = 42;
constexpr std::uint64_t PngPictureTenths = 33;
constexpr std::uint64_t PngHeightmapTenths = 22;
// What a map takes whatever its size: the towns, the label faces, the encoders' fixed buffers.
constexpr std::uint64_t MapFixedBytes = 8 << 20;

}  // namespace

std::uint64_t MapPeakBytes(std::int32_t Width, std::int32_t Height, TMapOutputs Outputs) {
  CheckArgument("Width", Width, 1, MaxMapSide);
  CheckArgument("Height", Height, 1, MaxMapSide);
  const std::uint64_t pixels =
      static_cast<std::uint64_t>(Width) * static_cast<std::uint64_t>(Height);
  const std::uint64_t encoder = std::max(Outputs.PngPicture ? PngPictureTenths : 0,
                                         Outputs.PngHeightmap ? PngHeightmapTenths : 0);
  // A job that renders its size again keeps the plasma's plan for it, where the size has one.
  const std::int64_t plan = PlanBytesAtMost(Width, Height);
  return MapFixedBytes + pixels * (MapTenths + encoder) / 10 +
         (plan <= MaxPlanBytes ? static_cast<std::uint64_t>(plan) : 0);
}

int JobsThatFit(int Wanted, std::uint64_t MapPeak, std::optional<std::uint64_t> Available) {
  if (!Available || MapPeak == 0) return Wanted;
  const auto usable =
      static_cast<std::uint64_t>(static_cast<double>(*Available) * UsableMemoryShare);
  const std::uint64_t fit = usable / MapPeak;
  return static_cast<int>(
      std::clamp<std::uint64_t>(fit, 1, static_cast<std::uint64_t>(std::max(Wanted, 1))));
}

}  // namespace hillograph
