// The town pass: a random scan over the land that places towns, each with a coloured marker and a
// name label.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "synthesis/base/Color.h"
#include "synthesis/raster/Canvas.h"
#include "synthesis/raster/LabelFont.h"
#include "synthesis/relief/Relief.h"
#include "synthesis/towns/NameGen.h"

namespace hillograph {

// One random index picks a town's kind: its marker colour and its label's font style.
inline constexpr std::int32_t TownKinds = 4;
inline constexpr std::array<TColor, TownKinds> TownColors = {
    RGB(64, 128, 64),    // green
    RGB(128, 64, 64),    // red-brown
    RGB(64, 64, 128),    // blue
    RGB(255, 255, 255),  // white
};
inline constexpr std::array<TFontStyles, TownKinds> TownStyles = {
    TFontStyles{.Italic = true},
    TFontStyles{},
    TFontStyles{},
    TFontStyles{.Underline = true},
};

inline constexpr TColor LabelFontColor = RGB(0, 0, 128);  // navy
// At label scale 1; a scale of K multiplies each of these lengths by K.
inline constexpr std::int32_t MarkerRadius = 5;    // the marker's box runs from x - 5 to x + 5
inline constexpr std::int32_t LabelOffset = 5;     // the label's cell starts at (x + 5, y + 5)
inline constexpr std::int32_t TownGap = 5;         // least space after a label, across and down
inline constexpr std::int32_t TownGapChoices = 5;  // plus Random(5)

// A placed town, as the command-line renderer reports it.
struct TTown {
  std::int32_t X;
  std::int32_t Y;
  std::int32_t Kind;
  std::string Name;
  std::int32_t LabelWidth;
  std::int32_t LabelHeight;

  bool operator==(const TTown&) const = default;
};
using TTownList = std::vector<TTown>;

// Scans the land row by row from the top, left to right, drawing one Random() per visited land
// pixel; below TownDensity a town stands there: Random(4) for its kind, its name from Names, then
// Random(5) for the gap after its label across and Random(5) for the gap down. A town moves the
// scan past its label, and the last town of a row decides the next row scanned. Appends the towns
// in placement order to Towns when it is given. LabelScale (1 .. MaxLabelFontScale) draws markers,
// labels, offsets and gaps that many times larger, with the same draws: the towns' label sizes are
// those of the larger text.
// Land is where the height is above WaterLevel (0 .. MaxWaterLevel).
void DrawTowns(TCanvas& Canvas, const THeightField& Heights, std::int32_t WaterLevel,
               double TownDensity, TNameGen& Names, TTownList* Towns, std::int32_t LabelScale = 1);

}  // namespace hillograph
