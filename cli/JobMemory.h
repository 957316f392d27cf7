// How many maps of a batch fit in memory at once.
#pragma once

#include <cstdint>
#include <optional>

namespace hillograph {

// The share of the available memory a batch plans to use; the rest stays for the page cache and
// the other programs.
inline constexpr double UsableMemoryShare = 0.75;

struct TMapOutputs {
  bool PngPicture = false;    // else a BMP, written straight from the picture
  bool PngHeightmap = false;  // the other heightmap formats are written a row at a time
};

// The most memory one map of a batch takes at its peak, from its size (sides 1 .. 16384) and its
// outputs, as measured: the picture and the height field, and the larger of the encoders'
// buffers, since a batch writes its files one after another.
std::uint64_t MapPeakBytes(std::int32_t Width, std::int32_t Height, TMapOutputs Outputs);

// The most maps at once (1 .. Wanted) whose peaks stay within UsableMemoryShare of Available;
// Wanted when nothing tells what is available.
int JobsThatFit(int Wanted, std::uint64_t MapPeak, std::optional<std::uint64_t> Available);

}  // namespace hillograph
