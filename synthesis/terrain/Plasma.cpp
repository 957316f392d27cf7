#include "synthesis/terrain/Plasma.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <vector>

#include "synthesis/base/ArgumentCheck.h"
#include "synthesis/base/Error.h"
#include "synthesis/random/Random.h"
#include "synthesis/random/RandomJump.h"
#include "synthesis/terrain/PlasmaDraws.h"
#include "synthesis/terrain/PlasmaPlan.h"

namespace hillograph {
namespace {

// A displaced cell is the clamp of (a + b + displacement) >> 1, looked up by the sum, where the
// displacement is 2 * offset + 1 (the rounding 1 folded in). Offsets beyond +-MaxUsefulOffset
// are cut to it: a mean of 1 .. 255 plus such an offset clamps to the same height either way.
// The sum of two heights of 1 .. 255 and a displacement lies within the table.
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

std::uint8_t Displace(std::uint8_t a, std::uint8_t b, std::int32_t displacement) {
  return DisplacedHeights[static_cast<std::size_t>(a + b + displacement - MinDisplacedSum)];
}

// A cell displaced from its two neighbours by a draw at a depth.
std::uint8_t DisplaceBy(std::uint8_t a, std::uint8_t b, std::int32_t depth, std::uint32_t draw) {
  const std::int32_t offset =
      std::min(static_cast<std::int32_t>(draw & DrawMagnitudeMask) >> depth, MaxUsefulOffset);
  // Negated without a branch, which would guess wrong half the time.
  const std::int32_t negative = -static_cast<std::int32_t>(draw >> DrawSignShift);
  return Displace(a, b, 2 * ((offset ^ negative) - negative) + 1);
}

// The heights of a planned rectangle's five cells after it has set them.
struct TRectHeights {
  std::int32_t Top, Right, Bottom, Left, Centre;
};

// Sets what a planned rectangle sets, from the heights of its corners, taking its displacements in
// the order top, right, bottom, left, as the recursion draws them. The midpoints it sets go to
// the centre from registers rather than back through memory.
[[gnu::always_inline]] inline TRectHeights SetPlannedRect(std::uint8_t* c, const TPlasmaCells& k,
                                                          std::uint32_t sets, std::uint8_t topLeft,
                                                          std::uint8_t topRight,
                                                          std::uint8_t bottomLeft,
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

// Sets what a planned block's rectangle Rect and the rectangles below it set, from its corners'
// heights. Each rectangle's quarters take their corners from the heights it has just set.
template <int Levels, int Rect>
[[gnu::always_inline]] inline void SetPlannedBlock(std::uint8_t* c, const TPlasmaShape& k,
                                                   const TPlasmaStep& step, std::uint8_t topLeft,
                                                   std::uint8_t topRight, std::uint8_t bottomLeft,
                                                   std::uint8_t bottomRight,
                                                   const TDisplacement*& d) {
  const std::uint32_t sets = step.Sets[Rect];
  if constexpr (Levels == 0) {
    if (sets == 0) return;
    SetPlannedRect(c, k.Cells[Rect], sets, topLeft, topRight, bottomLeft, bottomRight, d);
  } else {
    const TRectHeights r =
        SetPlannedRect(c, k.Cells[Rect], sets, topLeft, topRight, bottomLeft, bottomRight, d);
    const auto top = static_cast<std::uint8_t>(r.Top);
    const auto right = static_cast<std::uint8_t>(r.Right);
    const auto bottom = static_cast<std::uint8_t>(r.Bottom);
    const auto left = static_cast<std::uint8_t>(r.Left);
    const auto centre = static_cast<std::uint8_t>(r.Centre);
    constexpr int Quarter = BlockRectsOf(Levels - 1);
    SetPlannedBlock<Levels - 1, Rect + 1>(c, k, step, topLeft, top, left, centre, d);
    SetPlannedBlock<Levels - 1, Rect + 1 + Quarter>(c, k, step, top, topRight, centre, right, d);
    SetPlannedBlock<Levels - 1, Rect + 1 + 2 * Quarter>(c, k, step, centre, right, bottom,
                                                        bottomRight, d);
    SetPlannedBlock<Levels - 1, Rect + 1 + 3 * Quarter>(c, k, step, left, centre, bottomLeft,
                                                        bottom, d);
  }
}

constexpr std::uint64_t StepsPerDraw = 2;  // the magnitude, then the sign

// Replays the plan's batches First .. Last - 1 in order, drawing from the state before the
// field's first draw; returns the generator state after the last draw.
std::uint32_t Replay(const TPlasmaPlan& plan, std::size_t first, std::size_t last,
                     std::int32_t diversity, std::uint32_t fieldState, THeightField& heights) {
  if (first == last) return fieldState;
  std::array<TPlasmaDraw, TPlasmaPlan::MaxBatchDraws> buffer;
  // Scaled in place: the draws and the displacements are 16-bit integers of opposite signedness.
  const auto* const displacements = reinterpret_cast<const TDisplacement*>(buffer.data());
  std::uint8_t* const cells = heights.Data();
  const TPlasmaShape* const shapes = plan.Shapes.data();
  const TPlasmaStep* step = plan.Steps.data() + (first == 0 ? 0 : plan.Batches[first - 1].StepEnd);
  std::uint32_t state =
      RandJumpOf(StepsPerDraw * static_cast<std::uint64_t>(plan.Batches[first].FirstDraw))
          .Apply(fieldState);
  for (std::size_t b = first; b != last; ++b) {
    const TPlasmaBatch& batch = plan.Batches[b];
    state = FillDraws(state, diversity, batch.Draws, buffer.data());
    ScaleDraws(buffer.data(), plan.DrawScales.data() + batch.FirstDraw, batch.Draws,
               reinterpret_cast<TDisplacement*>(buffer.data()));
    const TDisplacement* d = displacements;
    for (const TPlasmaStep* const end = plan.Steps.data() + batch.StepEnd; step != end; ++step) {
      std::uint8_t* const c = cells + step->Corner;
      const TPlasmaShape& k = shapes[step->Shape];
      if (step->Block) {
        SetPlannedBlock<BlockLevels, 0>(c, k, *step, c[0], c[k.TopRight], c[k.BottomLeft],
                                        c[k.BottomRight], d);
      } else {
        SetPlannedRect(c, k.Cells[0], step->Sets[0], c[0], c[k.TopRight], c[k.BottomLeft],
                       c[k.BottomRight], d);
      }
    }
  }
  return state;
}

// Fields large enough to split have both sides of 3 or more, which the split needs.
static_assert(MinSplitCells > 2 * MaxPlasmaSide);

// Edges of a rectangle whose cells are all set when the recursion reaches it.
enum TSetEdges : std::uint32_t { TopSet = 1, RightSet = 2, BottomSet = 4, LeftSet = 8 };

// A side of span 0 puts two opposite edges on one line: set when either is.
std::uint32_t OnLines(std::int32_t spanX, std::int32_t spanY, std::uint32_t edges) {
  if (spanX == 0 && (edges & (LeftSet | RightSet)) != 0) edges |= LeftSet | RightSet;
  if (spanY == 0 && (edges & (TopSet | BottomSet)) != 0) edges |= TopSet | BottomSet;
  return edges;
}

// The quarters of a rectangle in the recursion's order, each with the edges it finds set. A side
// of span 0 makes two quarters repeat the other two; the repeats find every cell set and are
// skipped.
template <class TVisit>
void ForEachQuarter(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                    std::uint32_t edges, TVisit visit) {
  edges = OnLines(x2 - x1, y2 - y1, edges);
  const std::int32_t xm = (x1 + x2) / 2;
  const std::int32_t ym = (y1 + y2) / 2;
  visit(x1, y1, xm, ym, edges & (TopSet | LeftSet));
  if (x1 != x2) visit(xm, y1, x2, ym, (edges & (TopSet | RightSet)) | LeftSet);
  if (y1 != y2) {
    // With a side below 2 the third quarter's left edge is the rectangle's own.
    const std::uint32_t ownLeft = xm == x1 ? edges & LeftSet : 0;
    visit(xm, ym, x2, y2, (edges & (RightSet | BottomSet)) | TopSet | ownLeft);
    if (x1 != x2) visit(x1, ym, xm, y2, (edges & (BottomSet | LeftSet)) | TopSet | RightSet);
  }
}

// How many draws a rectangle makes for its own cells, top, right, bottom and left midpoint.
std::int64_t OwnDraws(std::int32_t spanX, std::int32_t spanY, std::uint32_t edges) {
  edges = OnLines(spanX, spanY, edges);
  return std::int64_t{spanX >= 2 && (edges & TopSet) == 0} +
         (spanY >= 2 && (edges & RightSet) == 0) +
         (spanX >= 2 && spanY != 0 && (edges & BottomSet) == 0) +
         (spanY >= 2 && spanX != 0 && (edges & LeftSet) == 0);
}

// The recursion itself, one rectangle at a time. Which cells a rectangle finds set follows from
// the order alone: an edge shared with a rectangle finished before is set whole, any other edge
// holds only its ends, and the centre of a rectangle with both sides of 2 or more is always new.
// So no cell is read to decide, and the heights need not start at zero.
// The draws come from a buffer filled ahead (the generator's steps depend on each other; filled
// in lanes they do not), and the place in it travels by value: the cells are bytes, which may
// alias anything, so a cursor kept in memory would be stored and reloaded around every write.
class TSubdivision {
 public:
  using TCursor = const TPlasmaDraw*;

  TSubdivision(THeightField& heights, std::int32_t diversity, std::uint32_t state)
      : cells_(heights.Data()),
        height_(static_cast<std::size_t>(heights.Height())),
        diversity_(diversity),
        bufferState_(state) {}

  // A rectangle and all below it, its corners and the given edges set, drawing from the state
  // given; returns the generator state after its last draw.
  std::uint32_t Run(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                    std::int32_t depth, std::uint32_t edges) {
    const TCursor end = Run(x1, y1, x2, y2, depth, Refill(), edges);
    return RandJumpOf(StepsPerDraw * static_cast<std::uint64_t>(end - draws_.data()))
        .Apply(bufferState_);
  }

  // The rectangle's own cells alone.
  void Set(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t depth,
           std::uint32_t edges) {
    TCursor cursor = Refill();
    SetRect(x1, y1, x2, y2, depth, cursor, edges);
  }

 private:
  static constexpr std::size_t BufferedDraws = 1024;

  // Draws the next buffer; bufferState_ is the state before its first draw.
  [[gnu::noinline]] TCursor Refill() {
    if (filled_) {
      bufferState_ = RandJumpOf(StepsPerDraw * BufferedDraws).Apply(bufferState_);
    }
    filled_ = true;
    FillDraws(bufferState_, diversity_, BufferedDraws, draws_.data());
    return draws_.data();
  }

  TCursor Run(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
              std::int32_t depth, TCursor cursor, std::uint32_t edges) {
    const std::int32_t spanX = x2 - x1;
    const std::int32_t spanY = y2 - y1;
    SetRect(x1, y1, x2, y2, depth, cursor, edges);
    // Quarters with both sides below 2 set nothing. Rectangles with both sides of at most 8 have
    // at most two levels below them, which are set here without calls.
    if (spanX <= 2 && spanY <= 2) return cursor;
    if (spanX <= 4 && spanY <= 4) return Quarters<0>(x1, y1, x2, y2, depth + 1, cursor, edges);
    if (spanX <= 8 && spanY <= 8) return Quarters<1>(x1, y1, x2, y2, depth + 1, cursor, edges);
    return Quarters<Recurse>(x1, y1, x2, y2, depth + 1, cursor, edges);
  }

 private:
  // ForEachQuarter written out: through a lambda the recursion ran a fifth slower.
  // Quarters set inline with so many levels below each, or through Run.
  static constexpr int Recurse = -1;

  template <int Levels>
  [[gnu::always_inline]] TCursor Quarters(std::int32_t x1, std::int32_t y1, std::int32_t x2,
                                          std::int32_t y2, std::int32_t depth, TCursor cursor,
                                          std::uint32_t edges) {
    edges = OnLines(x2 - x1, y2 - y1, edges);
    const std::int32_t xm = (x1 + x2) / 2;
    const std::int32_t ym = (y1 + y2) / 2;
    Quarter<Levels>(x1, y1, xm, ym, depth, cursor, edges & (TopSet | LeftSet));
    if (x1 != x2) {
      Quarter<Levels>(xm, y1, x2, ym, depth, cursor, (edges & (TopSet | RightSet)) | LeftSet);
    }
    if (y1 != y2) {
      // With a side below 2 the third quarter's left edge is the rectangle's own.
      const std::uint32_t ownLeft = xm == x1 ? edges & LeftSet : 0;
      Quarter<Levels>(xm, ym, x2, y2, depth, cursor,
                      (edges & (RightSet | BottomSet)) | TopSet | ownLeft);
      if (x1 != x2) {
        Quarter<Levels>(x1, ym, xm, y2, depth, cursor,
                        (edges & (BottomSet | LeftSet)) | TopSet | RightSet);
      }
    }
    return cursor;
  }

  template <int Levels>
  [[gnu::always_inline]] void Quarter(std::int32_t x1, std::int32_t y1, std::int32_t x2,
                                      std::int32_t y2, std::int32_t depth, TCursor& cursor,
                                      std::uint32_t edges) {
    if constexpr (Levels == Recurse) {
      cursor = Run(x1, y1, x2, y2, depth, cursor, edges);
    } else {
      SetRect(x1, y1, x2, y2, depth, cursor, edges);
      if constexpr (Levels > 0) {
        if (x2 - x1 > 2 || y2 - y1 > 2) {
          cursor = Quarters<Levels - 1>(x1, y1, x2, y2, depth + 1, cursor, edges);
        }
      }
    }
  }

  // Sets what one rectangle sets. A midpoint of a side below 2 is one of its ends; a side of
  // span 0 puts two opposite edges on one line, and the second finds the midpoint the first set.
  [[gnu::always_inline]] void SetRect(std::int32_t x1, std::int32_t y1, std::int32_t x2,
                                      std::int32_t y2, std::int32_t depth, TCursor& cursor,
                                      std::uint32_t edges) {
    const std::int32_t spanX = x2 - x1;
    const std::int32_t spanY = y2 - y1;
    edges = OnLines(spanX, spanY, edges);
    const std::int32_t xm = (x1 + x2) / 2;
    const std::int32_t ym = (y1 + y2) / 2;
    std::uint8_t* const c1 = Column(x1);
    std::uint8_t* const cm = Column(xm);
    std::uint8_t* const c2 = Column(x2);
    if (spanX >= 2 && spanY >= 2) {
      // The common case: four midpoints, each new unless its edge is set, and the centre, taken
      // from the midpoints in registers.
      const std::int32_t top =
          (edges & TopSet) ? cm[y1] : (cm[y1] = DisplaceCell(c1[y1], c2[y1], depth, cursor));
      const std::int32_t right =
          (edges & RightSet) ? c2[ym] : (c2[ym] = DisplaceCell(c2[y1], c2[y2], depth, cursor));
      const std::int32_t bottom =
          (edges & BottomSet) ? cm[y2] : (cm[y2] = DisplaceCell(c1[y2], c2[y2], depth, cursor));
      const std::int32_t left =
          (edges & LeftSet) ? c1[ym] : (c1[ym] = DisplaceCell(c1[y1], c1[y2], depth, cursor));
      cm[ym] = static_cast<std::uint8_t>((top + right + bottom + left + 2) / 4);
      return;
    }
    if (spanX >= 2 && (edges & TopSet) == 0) cm[y1] = DisplaceCell(c1[y1], c2[y1], depth, cursor);
    if (spanY >= 2 && (edges & RightSet) == 0) c2[ym] = DisplaceCell(c2[y1], c2[y2], depth, cursor);
    if (spanX >= 2 && spanY != 0 && (edges & BottomSet) == 0)
      cm[y2] = DisplaceCell(c1[y2], c2[y2], depth, cursor);
    if (spanY >= 2 && spanX != 0 && (edges & LeftSet) == 0)
      c1[ym] = DisplaceCell(c1[y1], c1[y2], depth, cursor);
  }

  std::uint8_t* Column(std::int32_t x) const {
    return cells_ + static_cast<std::size_t>(x) * height_;
  }

  // A displaced cell from its two neighbours and the next draw.
  std::uint8_t DisplaceCell(std::uint8_t a, std::uint8_t b, std::int32_t depth, TCursor& cursor) {
    if (cursor == draws_.data() + BufferedDraws) cursor = Refill();
    return DisplaceBy(a, b, depth, *cursor++);
  }

  std::uint8_t* cells_;
  std::size_t height_;
  std::int32_t diversity_;
  std::uint32_t bufferState_;
  bool filled_ = false;
  std::array<TPlasmaDraw, BufferedDraws> draws_;
};

// How many draws a rectangle and all below it make: a matter of its spans and set edges alone,
// never of the heights. Counted ahead for every rectangle of a field: at a depth d, each side
// spans the field's span >> (d - 1) or one more.
class TDrawCounts {
 public:
  TDrawCounts(std::int32_t spanX, std::int32_t spanY) : spanX_(spanX), spanY_(spanY) {
    for (std::int32_t depth = Depths; depth >= 1; --depth) {
      for (std::uint32_t i = 0; i < Kinds; ++i) {
        const std::int32_t x = (spanX_ >> (depth - 1)) + static_cast<std::int32_t>(i >> 5);
        const std::int32_t y = (spanY_ >> (depth - 1)) + static_cast<std::int32_t>(i >> 4 & 1);
        std::int64_t draws = OwnDraws(x, y, i & 15);
        if (x > 2 || y > 2) {
          ForEachQuarter(
              0, 0, x, y, i & 15,
              [&](std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                  std::uint32_t edges) { draws += Of(depth + 1, x2 - x1, y2 - y1, edges); });
        }
        counts_[static_cast<std::size_t>(depth - 1)][i] = draws;
      }
    }
  }

  std::int64_t Of(std::int32_t depth, std::int32_t spanX, std::int32_t spanY,
                  std::uint32_t edges) const {
    const auto i = static_cast<std::uint32_t>(spanX - (spanX_ >> (depth - 1))) << 5 |
                   static_cast<std::uint32_t>(spanY - (spanY_ >> (depth - 1))) << 4 | edges;
    return counts_[static_cast<std::size_t>(depth - 1)][i];
  }

 private:
  // Deep enough that the deepest rectangles have no quarters.
  static constexpr std::int32_t Depths = 16;
  static_assert(((MaxPlasmaSide - 1) >> (Depths - 1)) + 1 <= 2);
  // Indexed by the extra span of the x side (bit 5) and of the y side (bit 4), and the edges.
  static constexpr std::uint32_t Kinds = 2 * 2 * 16;
  std::int32_t spanX_;
  std::int32_t spanY_;
  std::array<std::array<std::int64_t, Kinds>, Depths> counts_{};
};

// The field on two members of a team. After the field's own cells, its quarters run in pairs: top
// left with bottom right, then top right with bottom left. A quarter reads and writes only cells of
// its own rectangle, and the two of a pair share only the centre, which neither writes. The
// bottom right reads the top right's bottom edge, so that edge is set first on its own; the
// top right later writes the same values there. Each quarter draws from its place in the
// sequence, known from the counts of the draws before it.
class TSplitField {
 public:
  TSplitField(THeightField& heights, std::int32_t diversity, std::uint32_t state, TWorkerTeam& team,
              const TPlasmaPlan* plan)
      : team_(team),
        plan_(plan),
        heights_(heights),
        diversity_(diversity),
        state_(state),
        counts_(heights.Width() - 1, heights.Height() - 1) {}

  // Both sides 3 or more; returns the generator state after the last draw.
  std::uint32_t Run() {
    const std::int32_t x2 = heights_.Width() - 1;
    const std::int32_t y2 = heights_.Height() - 1;
    TSubdivision(heights_, diversity_, state_).Set(0, 0, x2, y2, 1, 0);
    std::array<TQuarter, 4> quarters{};
    std::size_t count = 0;
    std::int64_t next = OwnDraws(x2, y2, 0);
    ForEachQuarter(0, 0, x2, y2, 0,
                   [&](std::int32_t qx1, std::int32_t qy1, std::int32_t qx2, std::int32_t qy2,
                       std::uint32_t edges) {
                     quarters[count++] = {qx1, qy1, qx2, qy2, edges, next};
                     next += counts_.Of(2, qx2 - qx1, qy2 - qy1, edges);
                   });
    // Either member takes the next quarter in the order top left, bottom right, top right,
    // bottom left, once what it reads is set. A member that starts late so leaves its share to the
    // other instead of holding it up. Nothing from here on allocates or throws, so every wait ends.
    static constexpr std::array<std::size_t, 4> Order = {0, 2, 1, 3};
    static constexpr std::array<std::uint32_t, 4> Needs = {0, 1, 2 | 4, 2 | 4};
    std::atomic<std::uint32_t> done = 0;  // bit 0: the edge; bit 1 + k: task k
    std::atomic<std::size_t> taken = 0;
    const auto work = [&](std::int32_t member) noexcept {
      if (member == 0) {
        const TQuarter& topRight = quarters[1];
        SetBottomEdge(topRight.x1, topRight.y1, topRight.x2, topRight.y2, 2, topRight.edges,
                      topRight.first);
        done.fetch_or(1);
        done.notify_all();
      }
      for (std::size_t task; (task = taken++) < Order.size();) {
        for (std::uint32_t now = done; (now & Needs[task]) != Needs[task];)
          now = team_.AwaitChange(done, now);
        RunQuarter(quarters, Order[task]);
        done.fetch_or(2u << task);
        done.notify_all();
      }
    };
    team_.Run(2, work);
    return StateAt(next);
  }

 private:
  struct TQuarter {
    std::int32_t x1, y1, x2, y2;
    std::uint32_t edges;
    std::int64_t first;  // the index of its first draw
  };

  // Quarter k, replayed from the plan when there is one.
  void RunQuarter(const std::array<TQuarter, 4>& quarters, std::size_t k) {
    if (plan_ != nullptr) {
      const std::vector<std::size_t>& starts = plan_->QuarterBatches;
      Replay(*plan_, starts[k], k + 1 < starts.size() ? starts[k + 1] : plan_->Batches.size(),
             diversity_, state_, heights_);
      return;
    }
    const TQuarter& q = quarters[k];
    TSubdivision(heights_, diversity_, StateAt(q.first)).Run(q.x1, q.y1, q.x2, q.y2, 2, q.edges);
  }

  std::uint32_t StateAt(std::int64_t draw) const {
    return RandJumpOf(StepsPerDraw * static_cast<std::uint64_t>(draw)).Apply(state_);
  }

  // Sets the cells of a rectangle's bottom edge as its recursion does, from the index of its
  // first draw: along the line, each from the ends of its rectangle's bottom and that
  // rectangle's draw; the draws of the rectangles off the line are counted, not made.
  void SetBottomEdge(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                     std::int32_t depth, std::uint32_t edges, std::int64_t first) {
    const std::int32_t spanX = x2 - x1;
    const std::int32_t spanY = y2 - y1;
    edges = OnLines(spanX, spanY, edges);
    if (spanX >= 2 && spanY != 0 && (edges & BottomSet) == 0) {
      // Drawn after the top and the right midpoint.
      const std::int64_t draw =
          first + ((edges & TopSet) == 0) + (spanY >= 2 && (edges & RightSet) == 0);
      TPlasmaDraw value = 0;
      FillDraws(StateAt(draw), diversity_, 1, &value);
      heights_[(x1 + x2) / 2][y2] = DisplaceBy(heights_[x1][y2], heights_[x2][y2], depth, value);
    }
    if (spanX <= 2 && spanY <= 2) return;
    first += OwnDraws(spanX, spanY, edges);
    ForEachQuarter(x1, y1, x2, y2, edges,
                   [&](std::int32_t qx1, std::int32_t qy1, std::int32_t qx2, std::int32_t qy2,
                       std::uint32_t quarterEdges) {
                     if (qy2 == y2)
                       SetBottomEdge(qx1, qy1, qx2, qy2, depth + 1, quarterEdges, first);
                     first += counts_.Of(depth + 1, qx2 - qx1, qy2 - qy1, quarterEdges);
                   });
  }

  TWorkerTeam& team_;
  const TPlasmaPlan* plan_;
  THeightField& heights_;
  std::int32_t diversity_;
  std::uint32_t state_;
  TDrawCounts counts_;
};

}  // namespace

TPlasmaFractal::TPlasmaFractal(std::int32_t Width, std::int32_t Height, std::int32_t Diversity,
                               TWorkerTeam* Team, const TPlasmaPlan* Plan)
    : Width(Width), Height(Height) {
  CheckArgument("Width", Width, 1, MaxPlasmaSide);
  CheckArgument("Height", Height, 1, MaxPlasmaSide);
  CheckArgument("Diversity", Diversity, 0, MaxDiversity);
  if (Plan != nullptr && (Plan->Width != Width || Plan->Height != Height))
    throw TError("The plasma plan was made for another size");
  // Every cell is set below: the field needs no zeros first.
  Heights = THeightField(Width, Height, Uninitialised);
  // Corners in the order top left, top right, bottom left, bottom right; on a 1-wide or 1-high
  // field later corners overwrite earlier ones, but all four are drawn.
  Heights[0][0] = static_cast<std::uint8_t>(Random(CornerHeightRange) + 1);
  Heights[Width - 1][0] = static_cast<std::uint8_t>(Random(CornerHeightRange) + 1);
  Heights[0][Height - 1] = static_cast<std::uint8_t>(Random(CornerHeightRange) + 1);
  Heights[Width - 1][Height - 1] = static_cast<std::uint8_t>(Random(CornerHeightRange) + 1);
  if (Team != nullptr && Team->Members() > 1 && std::int64_t{Width} * Height >= MinSplitCells) {
    RandSeed = TSplitField(Heights, Diversity, RandSeed, *Team, Plan).Run();
  } else if (Plan != nullptr) {
    RandSeed = Replay(*Plan, 0, Plan->Batches.size(), Diversity, RandSeed, Heights);
  } else if (Width > 2 || Height > 2) {
    RandSeed = TSubdivision(Heights, Diversity, RandSeed).Run(0, 0, Width - 1, Height - 1, 1, 0);
  }
}

}  // namespace hillograph
