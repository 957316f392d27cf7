// A map as the text of a link: the parameters that differ from the start-up values as KEY=VALUE
// pairs joined by "&" and URL-encoded, for example RandSeed=42&Width=800&Mountain=%23FF0000. The
// command line, the window and the browser page read and write it through this one module.
//
// The keys are those of a preset except TownDB and AutoRefresh, plus Size=WxH (each side
// 1 .. MaxMapSide, past the window's range), LabelScale=K (1 .. MaxLabelScale) and
// SmoothHeightmap=0|1 (what a heightmap's recipe adds). A link never names a file, so that a link
// from a stranger never makes the renderer read one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "parameters/MapParameters.h"

namespace hillograph {

// What a link describes: the parameters (TownDB empty, AutoRefresh as at start-up), the scale
// of the labels, and whether a heightmap made from it is smoothed.
struct TLinkMap {
  TMapParameters Params;
  std::int32_t LabelScale = 1;
  bool SmoothHeightmap = false;

  bool operator==(const TLinkMap&) const = default;
};

struct TLinkReading {
  TLinkMap Map;
  // One line for each pair that was not applied, in the link's order; empty when all were.
  std::vector<std::string> Problems;
};

// Text is a whole URL (only its fragment counts, and a URL without one is the start-up map), a
// fragment with its "#", or the pairs alone. The pairs are applied in order on top of the
// start-up values, each as --set applies it: numbers as a number field reads them and brought
// into its range, colours as #RRGGBB or a preset's integer, keys without regard to case. A pair
// with an unknown key, a value that cannot be read, a bad %-escape, or a TownDB, is left out
// and named in Problems; the rest still applies.
TLinkReading ReadLinkText(std::string_view Text);

// The pairs of Map that differ from the start-up values, in the order of a preset's keys, then
// LabelScale and SmoothHeightmap; empty for the start-up map. A number is written as its field
// shows it when that reads back to the same value, otherwise with the digits it needs; a colour as
// #RRGGBB; a width or height outside the window's range makes both one Size pair. TownDB and
// AutoRefresh are left out. Reading the text back gives Map, TownDB and AutoRefresh aside, with the
// sides of a Size rounded as a render rounds them.
std::string WriteLinkText(const TLinkMap& Map);

}  // namespace hillograph
