// The map as an SVG drawing that drawing programs open as layers: the relief as one embedded PNG,
// then the grid, the town markers and the names as shapes and text, then the frame. Rasterised at
// 1:1 it looks like the picture; the names are real text in the label font's face and metrics.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "synthesis/MapStyle.h"
#include "synthesis/base/Progress.h"
#include "synthesis/raster/ByteSink.h"
#include "synthesis/raster/Picture.h"
#include "synthesis/towns/Towns.h"

namespace hillograph {

// The layers' ids, in the order they are drawn.
inline constexpr std::string_view SvgLayerIds[] = {"relief", "grid", "towns", "names", "frame"};

// The face the names ask for, with a fallback where it is missing.
inline constexpr std::string_view SvgLabelFontFamily = "'DejaVu Sans', sans-serif";

// What the drawing is made of: everything GenerateMap drew, before it was flattened.
struct TMapLayers {
  // The coloured, shaded relief with its coast, before grid, towns and frame; its size is the
  // drawing's.
  const TPicture* Relief = nullptr;
  // The grid's and the frame's colours and the grid's spacing.
  TMapStyle Style = DefaultMapStyle;
  // The towns in placement order, as the render gave them at LabelScale.
  const TTownList* Towns = nullptr;
  std::int32_t LabelScale = 1;  // 1 .. MaxLabelFontScale
  // Well-formed XML placed inside the drawing's <metadata> element; none when empty.
  std::string MetadataXml;
};

// Writes the drawing in UTF-8. A name's bytes that are not UTF-8, and characters that XML 1.0
// forbids, become U+FFFD. Fails with TError when Relief or Towns is missing or LabelScale is out of
// range. Reports "Encoding" to Progress while the relief is encoded.
void WriteSvgDrawing(const TMapLayers& Layers, TByteSink& Sink, TProgress* Progress = nullptr);
std::string EncodeSvgDrawing(const TMapLayers& Layers);

// Text as XML character data or attribute value: & < > " ' escaped, tab, line feed and carriage
// return as character references so that parsers keep them, forbidden characters and malformed
// UTF-8 as U+FFFD.
std::string XmlEscaped(std::string_view Text);

}  // namespace hillograph
