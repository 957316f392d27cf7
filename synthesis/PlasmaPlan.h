// Which cells the plasma sets, from which neighbours, at which depth and in which order depends
// only on the field's width and height. The plan records that once per size as a flat list of
// working rectangles, so that every render of the same size replays a loop instead of the
// recursion.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace hillograph {

// The largest side a plan can describe; the map itself is at most 1000 x 1000.
inline constexpr std::int32_t MaxPlanSide = 4096;

// The cells a working rectangle sets, in the order it sets them.
enum TPlasmaSets : std::uint32_t {
  SetsTop = 1u << 0,     // (xm, y1), from (x1, y1) and (x2, y1)
  SetsRight = 1u << 1,   // (x2, ym), from (x2, y1) and (x2, y2)
  SetsBottom = 1u << 2,  // (xm, y2), from (x1, y2) and (x2, y2)
  SetsLeft = 1u << 3,    // (x1, ym), from (x1, y1) and (x1, y2)
  SetsCentre = 1u << 4,  // (xm, ym), the mean of the four edge midpoints
};

// One working rectangle (x1, y1) - (x2, y2) that sets at least one cell, packed into 8 bytes so
// that a plan for the largest map stays a few megabytes.
class TPlasmaStep {
 public:
  TPlasmaStep(std::uint32_t Corner, std::int32_t SpanX, std::int32_t SpanY, std::uint32_t Sets,
              std::int32_t Depth);

  // The index of (x1, y1) in the column-major grid: x1 * Height + y1.
  std::uint32_t Corner() const { return static_cast<std::uint32_t>(bits_ & CornerMask); }
  std::int32_t SpanX() const { return Field(SpanXShift, SpanMask); }  // x2 - x1
  std::int32_t SpanY() const { return Field(SpanYShift, SpanMask); }  // y2 - y1
  std::uint32_t Sets() const { return static_cast<std::uint32_t>(Field(SetsShift, SetsMask)); }
  std::int32_t Depth() const { return Field(DepthShift, DepthMask); }

 private:
  static constexpr int SpanXShift = 24;
  static constexpr int SpanYShift = 36;
  static constexpr int SetsShift = 48;
  static constexpr int DepthShift = 53;
  static constexpr std::uint64_t CornerMask = (1u << SpanXShift) - 1;
  static constexpr std::uint64_t SpanMask = (1u << (SpanYShift - SpanXShift)) - 1;
  static constexpr std::uint64_t SetsMask = (1u << (DepthShift - SetsShift)) - 1;
  static constexpr std::uint64_t DepthMask = 0xF;

  std::int32_t Field(int shift, std::uint64_t mask) const {
    return static_cast<std::int32_t>((bits_ >> shift) & mask);
  }

  std::uint64_t bits_;
};

// A run of steps whose displacement draws fit the replay's draw buffer together.
struct TPlasmaBatch {
  std::size_t StepEnd;  // one past the batch's last step
  std::size_t Draws;    // displaced cells in the batch
};

class TPlasmaPlan {
 public:
  // Width and Height 1 .. MaxPlanSide.
  TPlasmaPlan(std::int32_t Width, std::int32_t Height);

  // The most displacement draws one batch asks for.
  static constexpr std::size_t MaxBatchDraws = 512;

  std::int32_t Width;
  std::int32_t Height;
  std::vector<TPlasmaStep> Steps;  // in the depth-first order of the subdivision
  std::vector<TPlasmaBatch> Batches;
  std::size_t DisplacedCells = 0;
};

// The plan for a size, built on first use and kept until another size is asked for (a drag
// that changes the water or the seed never changes the size). Not thread-safe: renders run on
// one thread, like the process-wide random state they draw from.
const TPlasmaPlan& PlasmaPlanFor(std::int32_t Width, std::int32_t Height);

}  // namespace hillograph
