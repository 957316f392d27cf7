#include "synthesis/Generator.h"

#include <string>

#include "synthesis/base/Error.h"
#include "synthesis/raster/Canvas.h"
#include "synthesis/relief/ColorTable.h"
#include "synthesis/relief/Overlays.h"
#include "synthesis/relief/Relief.h"
#include "synthesis/terrain/Plasma.h"
#include "synthesis/towns/NameGen.h"
#include "synthesis/towns/TownFile.h"
#include "synthesis/towns/Towns.h"

namespace hillograph {
namespace {

void Report(const TRenderExtras& Extras, std::string_view Stage, double Fraction) {
  if (Extras.Progress != nullptr) Extras.Progress->Report(Stage, Fraction);
}

}  // namespace

constinit thread_local TMapStyle MapStyle = DefaultMapStyle;

void GenerateMap(TPicture& Bitmap, std::int32_t Width, std::int32_t Height, std::int32_t Diversity,
                 std::int32_t WaterLevel, double TownDensity, const std::string& TownDB,
                 TTownList* Towns, const TRenderExtras& Extras) {
  if (Extras.LabelScale < 1 || Extras.LabelScale > MaxLabelScale) {
    throw TError("LabelScale must be 1 .. " + std::to_string(MaxLabelScale) + ", not " +
                 std::to_string(Extras.LabelScale));
  }
  const TMapStyle style = MapStyle;
  const THeightColors heightColors = BuildHeightColors(style, WaterLevel);
  // Read before the plasma draws and before the picture changes, so that an unreadable file
  // leaves the picture as it was.
  TNameGen names;
  if (IsRegularFile(TownDB)) names.LoadFromFile(TownDB);
  // The plasma makes all of its draws here, before any other draw of the render.
  Report(Extras, "Terrain", 0);
  const TPlasmaFractal plasma(Width, Height, Diversity);
  Bitmap.SetSize(Width, Height);
  TScanLines lines;
  GetScanLines(Bitmap, lines);
  Report(Extras, "Relief", 0);
  const TWaterMask waterMask = BuildWaterMask(plasma.Heights, WaterLevel);
  PaintRelief(plasma.Heights, WaterLevel, heightColors, style, lines);
  DrawGrid(lines, Width, Height, style.GridColor, style.GridSize);
  Report(Extras, "Towns", 0);
  TCanvas canvas(Bitmap);
  DrawTowns(canvas, waterMask, TownDensity, names, Towns, Extras.LabelScale);
  DrawFrame(canvas, style.MapFrameColor);
  if (Extras.Heights != nullptr) *Extras.Heights = plasma.Heights;
  Report(Extras, "Towns", 1);
}

}  // namespace hillograph
