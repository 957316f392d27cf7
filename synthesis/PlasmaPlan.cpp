#include "synthesis/PlasmaPlan.h"

#include "synthesis/PlasmaDraws.h"

#include <bit>
#include <map>
#include <memory>
#include <stdexcept>

namespace hillograph {
namespace {

constexpr std::uint32_t EdgeSets = SetsTop | SetsRight | SetsBottom | SetsLeft;

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
    const std::int32_t xm = (x1 + x2) / 2;
    const std::int32_t ym = (y1 + y2) / 2;
    std::uint32_t sets = 0;
    if (Mark(xm, y1)) sets |= SetsTop;
    if (Mark(x2, ym)) sets |= SetsRight;
    if (Mark(xm, y2)) sets |= SetsBottom;
    if (Mark(x1, ym)) sets |= SetsLeft;
    if (Mark(xm, ym)) sets |= SetsCentre;
    if (sets != 0) Record(x1, y1, x2 - x1, y2 - y1, sets);
    Subdivide(x1, y1, xm, ym);
    Subdivide(xm, y1, x2, ym);
    Subdivide(xm, ym, x2, y2);
    Subdivide(x1, ym, xm, y2);
    --depth_;
  }

  void Finish() {
    if (batchDraws_ != 0) plan_.Batches.push_back({plan_.Steps.size(), batchDraws_});
  }

 private:
  // Marks a cell as set; true when it was not set before.
  bool Mark(std::int32_t x, std::int32_t y) {
    std::uint8_t& cell = set_[static_cast<std::size_t>(x) * static_cast<std::size_t>(height_) +
                              static_cast<std::size_t>(y)];
    const bool fresh = cell == 0;
    cell = 1;
    return fresh;
  }

  void Record(std::int32_t x1, std::int32_t y1, std::int32_t spanX, std::int32_t spanY,
              std::uint32_t sets) {
    const auto draws = static_cast<std::size_t>(std::popcount(sets & EdgeSets));
    if (batchDraws_ + draws > TPlasmaPlan::MaxBatchDraws) {
      plan_.Batches.push_back({plan_.Steps.size(), batchDraws_});
      batchDraws_ = 0;
    }
    const auto column = static_cast<std::uint32_t>(height_);
    const std::uint32_t x2 = static_cast<std::uint32_t>(spanX) * column;
    const std::uint32_t xm = static_cast<std::uint32_t>(spanX / 2) * column;
    const auto y2 = static_cast<std::uint32_t>(spanY);
    const auto ym = static_cast<std::uint32_t>(spanY / 2);
    const TPlasmaShape shape{x2, y2, x2 + y2, xm, x2 + ym, xm + y2, ym, xm + ym};
    const auto [found, added] =
        shapes_.try_emplace(shape, static_cast<std::uint16_t>(plan_.Shapes.size()));
    if (added) plan_.Shapes.push_back(shape);
    plan_.Steps.push_back({static_cast<std::uint32_t>(x1) * column + static_cast<std::uint32_t>(y1),
                           found->second, static_cast<std::uint8_t>(sets),
                           static_cast<std::uint8_t>(depth_)});
    batchDraws_ += draws;
    plan_.DrawScales.insert(plan_.DrawScales.end(), draws, DepthScale(depth_));
  }

  TPlasmaPlan& plan_;
  std::int32_t height_;
  std::vector<std::uint8_t> set_;
  std::map<TPlasmaShape, std::uint16_t> shapes_;
  std::int32_t depth_ = 0;
  std::size_t batchDraws_ = 0;
};

}  // namespace

TPlasmaPlan::TPlasmaPlan(std::int32_t Width, std::int32_t Height) : Width(Width), Height(Height) {
  if (Width < 1 || Height < 1 || Width > MaxPlanSide || Height > MaxPlanSide)
    throw std::invalid_argument("plasma size out of range");
  TPlanRecorder recorder(*this);
  recorder.Subdivide(0, 0, Width - 1, Height - 1);
  recorder.Finish();
}

const TPlasmaPlan& PlasmaPlanFor(std::int32_t Width, std::int32_t Height) {
  static std::unique_ptr<TPlasmaPlan> last;
  if (!last || last->Width != Width || last->Height != Height)
    last = std::make_unique<TPlasmaPlan>(Width, Height);
  return *last;
}

}  // namespace hillograph
