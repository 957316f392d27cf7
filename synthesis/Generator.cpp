#include "synthesis/Generator.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>
#include <utility>

#include "synthesis/base/ArgumentCheck.h"
#include "synthesis/base/Error.h"
#include "synthesis/parallel/WorkerTeam.h"
#include "synthesis/raster/Canvas.h"
#include "synthesis/relief/ColorTable.h"
#include "synthesis/relief/Overlays.h"
#include "synthesis/relief/Relief.h"
#include "synthesis/terrain/Plasma.h"
#include "synthesis/terrain/PlasmaDraws.h"
#include "synthesis/terrain/PlasmaPlan.h"
#include "synthesis/towns/NameGen.h"
#include "synthesis/towns/TownFile.h"
#include "synthesis/towns/Towns.h"

namespace hillograph {

static_assert(MaxMapSide <= MaxPlasmaSide);

constinit thread_local TMapStyle MapStyle = DefaultMapStyle;

namespace {

// Everything GenerateMap cannot draw, before anything is read, drawn or resized.
void CheckMapArguments(std::int32_t Width, std::int32_t Height, std::int32_t Diversity,
                       std::int32_t WaterLevel, double TownDensity, const TMapStyle& Style) {
  CheckArgument("Width", Width, 1, MaxMapSide);
  CheckArgument("Height", Height, 1, MaxMapSide);
  CheckArgument("Diversity", Diversity, 0, MaxDiversity);
  CheckArgument("WaterLevel", WaterLevel, 0, MaxWaterLevel);
  CheckNumberArgument("TownDensity", TownDensity, 0, 1);
  CheckArgument("GridSize", Style.GridSize, 1, INT32_MAX);
  CheckArgument("ShadowDivisor", Style.ShadowDivisor, 1, INT32_MAX);
}

void CheckExtras(const TRenderExtras& Extras) {
  CheckArgument("LabelScale", Extras.LabelScale, 1, MaxLabelScale);
  if (Extras.HeightsDone && Extras.Heights == nullptr)
    throw TError("HeightsDone needs a height field to be given");
}

// A map too small to split the field has no work for a second member.
TWorkerTeam* RenderTeam(TWorkerTeam* Team, std::int32_t Width, std::int32_t Height) {
  return std::int64_t{Width} * Height < MinSplitCells ? nullptr : Team;
}

// Tells the team to rest on every way out, so that its helpers do not spin on while the caller
// goes on alone.
class TRestWhenDone {
 public:
  explicit TRestWhenDone(TWorkerTeam* team) : team_(team) {}
  ~TRestWhenDone() {
    if (team_ != nullptr) team_->Rest();
  }
  TRestWhenDone(const TRestWhenDone&) = delete;
  TRestWhenDone& operator=(const TRestWhenDone&) = delete;

 private:
  TWorkerTeam* team_;
};

void Report(const TRenderExtras& Extras, std::string_view Stage, double Fraction) {
  if (Extras.Progress != nullptr) Extras.Progress->Report(Stage, Fraction);
}

void Render(TPicture& Bitmap, std::int32_t Width, std::int32_t Height, std::int32_t Diversity,
            std::int32_t WaterLevel, double TownDensity, const std::string& TownDB,
            const TMapStyle& style, TTownList* Towns, const TRenderExtras& Extras) {
  TWorkerTeam* const team = RenderTeam(Extras.Team, Width, Height);
  const THeightColors heightColors = BuildHeightColors(style, WaterLevel);
  // Read before the plasma draws and before the picture changes, so that an unreadable file
  // leaves the picture as it was.
  TNameGen names;
  if (IsRegularFile(TownDB)) names.LoadFromFile(TownDB);
  const TRestWhenDone rest(team);
  // The plasma makes all of its draws here, before any other draw of the render.
  Report(Extras, "Terrain", 0);
  // A team's renders of one size after another replay the plasma's plan for it.
  const TPlasmaPlan* const plan =
      Extras.Team != nullptr ? PlasmaPlansOf(*Extras.Team).For(Width, Height) : nullptr;
  TPlasmaFractal plasma(Width, Height, Diversity, team, plan);
  // Handed over rather than copied, and only read from here on.
  const THeightField& heights =
      Extras.Heights != nullptr ? (*Extras.Heights = std::move(plasma.Heights)) : plasma.Heights;
  std::optional<TTeamLimit> fewer;
  if (Extras.HeightsDone) {
    // The caller works on the heights on a thread of its own from here on: one member fewer, and
    // the one left out does not spin beside it.
    if (team != nullptr) {
      team->Rest();
      fewer.emplace(*team, std::max(team->Members() - 1, 1));
    }
    Extras.HeightsDone();
  }
  Bitmap.SetSize(Width, Height, Uninitialised);  // the pixel pass writes every pixel
  TScanLines lines;
  GetScanLines(Bitmap, lines);
  Report(Extras, "Relief", 0);
  PaintRelief(heights, WaterLevel, heightColors, style, lines, team);
  if (Extras.Relief != nullptr) *Extras.Relief = Bitmap;
  DrawGrid(lines, Width, Height, style.GridColor, style.GridSize, team);
  if (team != nullptr) team->Rest();  // the rest is drawn on this thread alone
  Report(Extras, "Towns", 0);
  TCanvas canvas(Bitmap);
  DrawTowns(canvas, heights, WaterLevel, TownDensity, names, Towns, Extras.LabelScale);
  DrawFrame(canvas, style.MapFrameColor);
  Report(Extras, "Towns", 1);
}

}  // namespace

void GenerateMap(TPicture& Bitmap, std::int32_t Width, std::int32_t Height, std::int32_t Diversity,
                 std::int32_t WaterLevel, double TownDensity, const std::string& TownDB,
                 TTownList* Towns, const TRenderExtras& Extras) {
  const TMapStyle style = MapStyle;
  CheckMapArguments(Width, Height, Diversity, WaterLevel, TownDensity, style);
  CheckExtras(Extras);
  try {
    Render(Bitmap, Width, Height, Diversity, WaterLevel, TownDensity, TownDB, style, Towns, Extras);
  } catch (const std::bad_alloc&) {
    // A map too large for the memory at hand is the user's to shrink, not a crash.
    throw TError("Out of memory");
  }
}

}  // namespace hillograph
