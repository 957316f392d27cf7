#include "synthesis/terrain/PlasmaPlan.h"

#include <bit>
#include <map>
#include <memory>
#include <new>
#include <tuple>
#include <utility>
#include <vector>

#include "synthesis/base/ArgumentCheck.h"
#include "synthesis/terrain/Plasma.h"
#include "synthesis/terrain/PlasmaDraws.h"

namespace hillograph {
namespace {

constexpr std::uint32_t EdgeSets = SetsTop | SetsRight | SetsBottom | SetsLeft;

// Visits a block's rectangles in the recursion's order, Levels deep: the rectangle, then its
// quarters top left, top right, bottom right, bottom left.
template <class TVisit>
void ForEachBlockRect(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                      int levels, const TVisit& visit) {
  visit(x1, y1, x2, y2);
  if (levels == 0) return;
  const std::int32_t xm = (x1 + x2) / 2;
  const std::int32_t ym = (y1 + y2) / 2;
  ForEachBlockRect(x1, y1, xm, ym, levels - 1, visit);
  ForEachBlockRect(xm, y1, x2, ym, levels - 1, visit);
  ForEachBlockRect(xm, ym, x2, y2, levels - 1, visit);
  ForEachBlockRect(x1, ym, xm, y2, levels - 1, visit);
}

// Walks the subdivision as the height field makes it, with a flag per cell in place of the
// heights, and records each rectangle that sets something.
class TPlanRecorder {
 public:
  explicit TPlanRecorder(TPlasmaPlan& plan)
      : plan_(plan),
        height_(plan.Height),
        set_(static_cast<std::size_t>(plan.Width) * static_cast<std::size_t>(plan.Height)) {
    const std::int32_t right = plan.Width - 1;
    const std::int32_t bottom = plan.Height - 1;
    Mark(0, 0);
    Mark(right, 0);
    Mark(0, bottom);
    Mark(right, bottom);
  }

  void Subdivide(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    if (x2 - x1 < 2 && y2 - y1 < 2) return;
    ++depth_;
    TPlasmaStep step{Cell(x1, y1), 0, static_cast<std::uint8_t>(depth_), false, {}};
    if (x2 - x1 <= MaxBlockSpan && y2 - y1 <= MaxBlockSpan) {
      step.Block = true;
      step.Shape = ShapeOf(x2 - x1, y2 - y1, true);
      int rect = 0;
      ForEachBlockRect(x1, y1, x2, y2, BlockLevels,
                       [&](std::int32_t bx1, std::int32_t by1, std::int32_t bx2, std::int32_t by2) {
                         const int self = rect++;
                         if (bx2 - bx1 >= 2 || by2 - by1 >= 2)
                           step.Sets[self] = MarkRect(bx1, by1, bx2, by2);
                       });
      if (step.Sets != decltype(step.Sets){}) Record(step);
    } else {
      step.Shape = ShapeOf(x2 - x1, y2 - y1, false);
      step.Sets[0] = MarkRect(x1, y1, x2, y2);
      if (step.Sets[0] != 0) Record(step);
      const std::int32_t xm = (x1 + x2) / 2;
      const std::int32_t ym = (y1 + y2) / 2;
      // A side of span 0 makes two quarters repeat the other two; the repeats find every cell
      // set and are skipped (on a strip the recursion would otherwise go quadratic).
      Quarter(x1, y1, xm, ym);
      if (x1 != x2) Quarter(xm, y1, x2, ym);
      if (y1 != y2) {
        Quarter(xm, ym, x2, y2);
        if (x1 != x2) Quarter(x1, ym, xm, y2);
      }
    }
    --depth_;
  }

  void Finish() { Flush(); }

 private:
  // The field's quarters start batches of their own.
  void Quarter(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    if (depth_ == 1) {
      Flush();
      plan_.QuarterBatches.push_back(plan_.Batches.size());
    }
    Subdivide(x1, y1, x2, y2);
  }

  // Ends the batch being recorded, if it has a step.
  void Flush() {
    const std::size_t stepStart = plan_.Batches.empty() ? 0 : plan_.Batches.back().StepEnd;
    if (plan_.Steps.size() == stepStart) return;
    plan_.Batches.push_back({plan_.Steps.size(), batchDraws_, firstDraw_});
    firstDraw_ += static_cast<std::int64_t>(batchDraws_);
    batchDraws_ = 0;
  }

  static std::size_t Edges(std::uint32_t sets) {
    // Without a population-count instruction in the baseline, a table of the sixteen edge sets.
    constexpr std::array<std::uint8_t, EdgeSets + 1> counts = [] {
      std::array<std::uint8_t, EdgeSets + 1> c{};
      for (std::uint32_t s = 0; s <= EdgeSets; ++s)
        c[s] = static_cast<std::uint8_t>(std::popcount(s));
      return c;
    }();
    return counts[sets & EdgeSets];
  }

  std::uint32_t Cell(std::int32_t x, std::int32_t y) const {
    return static_cast<std::uint32_t>(x) * static_cast<std::uint32_t>(height_) +
           static_cast<std::uint32_t>(y);
  }

  // Marks a cell as set; true when it was not set before.
  bool Mark(std::int32_t x, std::int32_t y) {
    std::uint8_t& cell = set_[Cell(x, y)];
    const bool fresh = cell == 0;
    cell = 1;
    return fresh;
  }

  // Marks what a rectangle sets, in its order, and says which.
  std::uint8_t MarkRect(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    const std::int32_t xm = (x1 + x2) / 2;
    const std::int32_t ym = (y1 + y2) / 2;
    std::uint32_t sets = 0;
    if (Mark(xm, y1)) sets |= SetsTop;
    if (Mark(x2, ym)) sets |= SetsRight;
    if (Mark(xm, y2)) sets |= SetsBottom;
    if (Mark(x1, ym)) sets |= SetsLeft;
    if (Mark(xm, ym)) sets |= SetsCentre;
    return static_cast<std::uint8_t>(sets);
  }

  // The offsets of what a rectangle of these spans sets, from a cell at first.
  TPlasmaCells CellsOf(std::int32_t spanX, std::int32_t spanY, std::uint32_t first) const {
    const std::uint32_t x2 = Cell(spanX, 0);
    const std::uint32_t xm = Cell(spanX / 2, 0);
    const auto y2 = static_cast<std::uint32_t>(spanY);
    const auto ym = static_cast<std::uint32_t>(spanY / 2);
    return {first + xm, first + x2 + ym, first + xm + y2, first + ym, first + xm + ym};
  }

  std::uint16_t ShapeOf(std::int32_t spanX, std::int32_t spanY, bool block) {
    const auto key = std::tuple{spanX, spanY, block};
    if (const auto found = shapes_.find(key); found != shapes_.end()) return found->second;
    TPlasmaShape shape{Cell(spanX, 0), Cell(0, spanY), Cell(spanX, spanY), {}};
    int rect = 0;
    ForEachBlockRect(0, 0, spanX, spanY, block ? BlockLevels : 0,
                     [&](std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
                       shape.Cells[rect++] = CellsOf(x2 - x1, y2 - y1, Cell(x1, y1));
                     });
    const auto index = static_cast<std::uint16_t>(plan_.Shapes.size());
    plan_.Shapes.push_back(shape);
    shapes_.emplace(key, index);
    return index;
  }

  // Adds a step, and the scales of its displaced cells in draw order: those of each of its
  // rectangles in turn, each at its depth.
  void Record(const TPlasmaStep& step) {
    const int rects = step.Block ? BlockRects : 1;
    std::size_t draws = 0;
    for (int rect = 0; rect < rects; ++rect)
      draws += Edges(step.Sets[rect]);
    if (batchDraws_ + draws > TPlasmaPlan::MaxBatchDraws) Flush();
    plan_.Steps.push_back(step);
    batchDraws_ += draws;
    for (int rect = 0; rect < rects; ++rect) {
      const std::uint16_t scale = DepthScale(step.Depth + BlockRectLevels[rect]);
      for (std::size_t edge = Edges(step.Sets[rect]); edge > 0; --edge)
        plan_.DrawScales.push_back(scale);
    }
  }

  TPlasmaPlan& plan_;
  std::int32_t height_;
  std::vector<std::uint8_t> set_;
  std::map<std::tuple<std::int32_t, std::int32_t, bool>, std::uint16_t> shapes_;
  std::int32_t depth_ = 0;
  std::size_t batchDraws_ = 0;
  std::int64_t firstDraw_ = 0;  // of the batch being recorded
};

// At least as many steps as a rectangle of these spans and those below it record: one for a
// block, none for a rectangle that sets nothing. A quarter's spans do not depend on where the
// rectangle lies, so each pair of spans is counted once.
std::int64_t StepsAtMost(std::int32_t spanX, std::int32_t spanY,
                         std::map<std::pair<std::int32_t, std::int32_t>, std::int64_t>& known) {
  if (spanX < 2 && spanY < 2) return 0;
  if (spanX <= MaxBlockSpan && spanY <= MaxBlockSpan) return 1;
  if (const auto found = known.find({spanX, spanY}); found != known.end()) return found->second;
  const std::int32_t left = spanX / 2;
  const std::int32_t top = spanY / 2;
  std::int64_t steps = 1 + StepsAtMost(left, top, known);
  if (spanX != 0) steps += StepsAtMost(spanX - left, top, known);
  if (spanY != 0) {
    steps += StepsAtMost(spanX - left, spanY - top, known);
    if (spanX != 0) steps += StepsAtMost(left, spanY - top, known);
  }
  known.emplace(std::pair{spanX, spanY}, steps);
  return steps;
}

}  // namespace

std::int64_t PlanBytesAtMost(std::int32_t Width, std::int32_t Height) {
  CheckArgument("Width", Width, 1, MaxPlasmaSide);
  CheckArgument("Height", Height, 1, MaxPlasmaSide);
  std::map<std::pair<std::int32_t, std::int32_t>, std::int64_t> known;
  const std::int64_t steps = StepsAtMost(Width - 1, Height - 1, known);
  // A step per batch at most, and a draw per cell.
  return steps * static_cast<std::int64_t>(sizeof(TPlasmaStep) + sizeof(TPlasmaBatch)) +
         std::int64_t{Width} * Height * static_cast<std::int64_t>(sizeof(std::uint16_t));
}

TPlasmaPlan::TPlasmaPlan(std::int32_t Width, std::int32_t Height) : Width(Width), Height(Height) {
  CheckArgument("Width", Width, 1, MaxPlasmaSide);
  CheckArgument("Height", Height, 1, MaxPlasmaSide);
  CheckArgument("Plan bytes", PlanBytesAtMost(Width, Height), 0, MaxPlanBytes);
  TPlanRecorder recorder(*this);
  recorder.Subdivide(0, 0, Width - 1, Height - 1);
  recorder.Finish();
  // Kept for as long as the size is asked for: no room beyond what it holds.
  Steps.shrink_to_fit();
  Batches.shrink_to_fit();
  DrawScales.shrink_to_fit();
}

const TPlasmaPlan* TPlasmaPlans::For(std::int32_t Width, std::int32_t Height) {
  if (plan_ != nullptr && plan_->Width == Width && plan_->Height == Height) return plan_.get();
  const bool again = Width == width_ && Height == height_;
  width_ = Width;
  height_ = Height;
  plan_.reset();
  if (!again || PlanBytesAtMost(Width, Height) > MaxPlanBytes) return nullptr;
  try {
    plan_ = std::make_unique<TPlasmaPlan>(Width, Height);
  } catch (const std::bad_alloc&) {
    // The recursion needs no plan: the render goes on without one.
  }
  return plan_.get();
}

TPlasmaPlans& PlasmaPlansOf(TWorkerTeam& Team) {
  std::unique_ptr<TTeamKeepsake>& kept = Team.Keepsake();
  if (auto* plans = dynamic_cast<TPlasmaPlans*>(kept.get())) return *plans;
  kept = std::make_unique<TPlasmaPlans>();
  return static_cast<TPlasmaPlans&>(*kept);
}

}  // namespace hillograph
