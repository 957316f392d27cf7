#include "synthesis/Generator.h"

#include "synthesis/Canvas.h"
#include "synthesis/ColorTable.h"
#include "synthesis/Overlays.h"
#include "synthesis/Plasma.h"
#include "synthesis/Relief.h"

namespace hillograph {

TMapStyle MapStyle = DefaultMapStyle;

void GenerateMap(TPicture& Bitmap, std::int32_t Width, std::int32_t Height, std::int32_t Diversity,
                 std::int32_t WaterLevel, double TownDensity, const std::string& TownDB) {
  (void)TownDensity;
  (void)TownDB;
  const THeightColors heightColors = BuildHeightColors(MapStyle, WaterLevel);
  // The plasma makes all of its draws here, before any other draw of the render.
  const TPlasmaFractal plasma(Width, Height, Diversity);
  Bitmap.SetSize(Width, Height);
  TScanLines lines;
  GetScanLines(Bitmap, lines);
  const TWaterMask waterMask = BuildWaterMask(plasma.Heights, WaterLevel);
  PaintRelief(plasma.Heights, waterMask, WaterLevel, heightColors, MapStyle, lines);
  DrawGrid(lines, Width, Height, MapStyle.GridColor, MapStyle.GridSize);
  TCanvas canvas(Bitmap);
  DrawFrame(canvas, MapStyle.MapFrameColor);
}

}  // namespace hillograph
