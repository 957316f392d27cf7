#include "synthesis/towns/Towns.h"

#include "synthesis/base/ArgumentCheck.h"
#include "synthesis/random/Random.h"
#include "synthesis/towns/TownScan.h"

namespace hillograph {

void DrawTowns(TCanvas& Canvas, const THeightField& Heights, std::int32_t WaterLevel,
               double TownDensity, TNameGen& Names, TTownList* Towns, std::int32_t LabelScale) {
  CheckArgument("WaterLevel", WaterLevel, 0, MaxWaterLevel);
  CheckNumberArgument("TownDensity", TownDensity, 0, 1);
  CheckArgument("LabelScale", LabelScale, 1, MaxLabelFontScale);
  Canvas.Font.Color = LabelFontColor;
  Canvas.Font.Scale = LabelScale;
  const std::int32_t radius = MarkerRadius * LabelScale;
  const std::int32_t offset = LabelOffset * LabelScale;
  const std::int32_t width = Heights.Width();
  const std::int32_t height = Heights.Height();
  TTownScan scan(Heights, WaterLevel, TownDensity);
  std::int32_t y = 0;
  while (y < height) {
    std::int32_t nextY = y + 1;
    std::int32_t x = 0;
    while (x < width) {
      x = scan.NextTown(x, y);  // draws one Random() per land pixel it passes
      if (x < 0) break;
      const std::int32_t kind = Random(TownKinds);
      Canvas.BrushColor = TownColors[kind];
      Canvas.Font.Style = TownStyles[kind];
      Canvas.Ellipse(x - radius, y - radius, x + radius, y + radius);
      const std::string& name = Names.NextName();
      Canvas.BrushStyle = TBrushStyle::bsClear;
      Canvas.TextOut(x + offset, y + offset, name);
      Canvas.BrushStyle = TBrushStyle::bsSolid;
      const std::int32_t labelWidth = Canvas.TextWidth(name);
      const std::int32_t labelHeight = Canvas.TextHeight(name);
      if (Towns != nullptr) Towns->push_back({x, y, kind, name, labelWidth, labelHeight});
      // The gaps are drawn in this order: across first, then down.
      x += labelWidth + (TownGap + Random(TownGapChoices)) * LabelScale;
      nextY = y + labelHeight + (TownGap + Random(TownGapChoices)) * LabelScale;
    }
    y = nextY;
  }
}

}  // namespace hillograph
