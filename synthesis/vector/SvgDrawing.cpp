#include "synthesis/vector/SvgDrawing.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "synthesis/base/ArgumentCheck.h"
#include "synthesis/base/Error.h"
#include "synthesis/base/Utf8.h"
#include "synthesis/raster/Canvas.h"
#include "synthesis/raster/LabelFont.h"
#include "synthesis/raster/Png.h"

namespace hillograph {
namespace {

// Receives the drawing's text in order.
using TSvgSink = std::function<void(std::string_view Text)>;

// Grid lines are blended half-way toward the grid colour.
constexpr std::string_view GridOpacity = "0.5";

bool AllowedInXml(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

std::string Hex(TColor Color) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string text = "#";
  for (const std::uint8_t channel : {RedOf(Color), GreenOf(Color), BlueOf(Color)}) {
    text += digits[channel >> 4];
    text += digits[channel & 15];
  }
  return text;
}

std::string Number(std::int64_t Value) {
  return std::to_string(Value);
}

// Base64 of a stream of bytes, handed on in pieces of whole groups of four characters.
class TBase64Writer final : public TByteSink {
 public:
  explicit TBase64Writer(const TSvgSink& Sink) : sink_(Sink) {}

  using TByteSink::Write;
  void Write(TByteRange Bytes) override {
    for (const std::uint8_t byte : Bytes) {
      group_[filled_++] = byte;
      if (filled_ == 3) Emit(3);
    }
    if (out_.size() >= FlushSize) Flush();
  }

  // Pads the last group and hands over the rest.
  void Finish() {
    if (filled_ > 0) Emit(filled_);
    Flush();
  }

 private:
  static constexpr std::size_t FlushSize = 64 * 1024;

  void Emit(std::size_t Count) {
    static constexpr char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (std::size_t i = Count; i < 3; ++i)
      group_[i] = 0;
    const std::uint32_t bits = (std::uint32_t{group_[0]} << 16) | (group_[1] << 8) | group_[2];
    out_ += alphabet[(bits >> 18) & 63];
    out_ += alphabet[(bits >> 12) & 63];
    out_ += Count > 1 ? alphabet[(bits >> 6) & 63] : '=';
    out_ += Count > 2 ? alphabet[bits & 63] : '=';
    filled_ = 0;
  }

  void Flush() {
    if (!out_.empty()) sink_(out_);
    out_.clear();
  }

  const TSvgSink& sink_;
  std::array<std::uint8_t, 3> group_{};
  std::size_t filled_ = 0;
  std::string out_;
};

// One row of a shape: the columns Begin .. End - 1, relative to the shape's left edge.
struct TRowSpan {
  std::int32_t Begin = 0;
  std::int32_t End = 0;
};

// The marker as the canvas draws it at Scale: its outline and its inside, row by row from the
// marker box's top. Taken from the canvas itself, so that the shapes cover the same pixels.
struct TMarkerShape {
  std::vector<TRowSpan> Disc;    // every pixel of the marker, outline included
  std::vector<TRowSpan> Inside;  // the pixels in the town's colour
};

TMarkerShape MarkerShape(std::int32_t Scale) {
  constexpr TColor outline = RGB(255, 0, 0);
  constexpr TColor inside = RGB(0, 255, 0);
  const std::int32_t side = 2 * MarkerRadius * Scale;
  TPicture picture;
  picture.SetSize(side, side);  // black: neither colour
  TCanvas canvas(picture);
  canvas.PenColor = outline;
  canvas.BrushColor = inside;
  canvas.Ellipse(0, 0, side, side);
  TMarkerShape shape;
  for (std::int32_t y = 0; y < side; ++y) {
    const std::uint8_t* row = picture.ScanLine(y);
    TRowSpan disc{side, 0};
    TRowSpan in{side, 0};
    for (std::int32_t x = 0; x < side; ++x) {
      const std::uint8_t* p = row + 3 * x;  // blue, green, red
      if (p[0] == 0 && p[1] == 0 && p[2] == 0) continue;
      disc = {std::min(disc.Begin, x), x + 1};
      if (p[1] == 255) in = {std::min(in.Begin, x), x + 1};
    }
    shape.Disc.push_back(disc.Begin < disc.End ? disc : TRowSpan{});
    shape.Inside.push_back(in.Begin < in.End ? in : TRowSpan{});
  }
  return shape;
}

// The outline of the rows' spans as path data, one closed staircase per run of rows that hold
// pixels, with (Left, Top) the position of row 0's left edge.
std::string StaircasePath(const std::vector<TRowSpan>& Rows, std::int64_t Left, std::int64_t Top) {
  std::string path;
  const std::size_t count = Rows.size();
  for (std::size_t first = 0; first < count;) {
    if (Rows[first].Begin >= Rows[first].End) {
      ++first;
      continue;
    }
    std::size_t end = first;
    while (end < count && Rows[end].Begin < Rows[end].End)
      ++end;
    // Down the right side, then up the left, with a step only where a row's edge moves.
    path += "M" + Number(Left + Rows[first].Begin) + " " + Number(Top + std::int64_t(first));
    std::int32_t at = Rows[first].Begin;
    std::int64_t row = -1;  // the row to go to before the next step across
    const auto step = [&](std::int32_t x, std::size_t nextRow) {
      if (x != at) {
        if (row >= 0) path += "V" + Number(Top + row);
        path += "H" + Number(Left + x);
        at = x;
      }
      row = std::int64_t(nextRow);
    };
    for (std::size_t j = first; j < end; ++j)
      step(Rows[j].End, j + 1);
    for (std::size_t j = end; j-- > first;)
      step(Rows[j].Begin, j);
    path += "V" + Number(Top + row) + "Z";
    first = end;
  }
  return path;
}

std::string TownAttributes(const TTown& Town, std::size_t Index) {
  return " data-kind=\"" + Number(Town.Kind) + "\" data-index=\"" + Number(std::int64_t(Index)) +
         "\"";
}

std::string LayerStart(std::string_view Id, std::string_view Label, std::string_view More = {}) {
  return "<g id=\"" + std::string(Id) + "\" inkscape:groupmode=\"layer\" inkscape:label=\"" +
         std::string(Label) + "\"" + std::string(More) + ">\n";
}

void WriteRelief(const TPicture& Relief, const TSvgSink& Sink, TProgress* Progress) {
  const std::string size =
      " width=\"" + Number(Relief.Width()) + "\" height=\"" + Number(Relief.Height()) + "\"";
  Sink(LayerStart("relief", "Relief"));
  Sink("<image x=\"0\" y=\"0\"" + size +
       " preserveAspectRatio=\"none\" image-rendering=\"optimizeSpeed\""
       " style=\"image-rendering:pixelated\" xlink:href=\"data:image/png;base64,");
  TBase64Writer base64(Sink);
  WritePicturePng(Relief, base64, Progress);
  base64.Finish();
  Sink("\"/>\n</g>\n");
}

// One path per direction, so that a crossing is blended once by each, as in the picture.
void WriteGrid(std::int64_t Width, std::int64_t Height, const TMapStyle& Style,
               const TSvgSink& Sink) {
  Sink(LayerStart("grid", "Grid",
                  " fill=\"" + Hex(Style.GridColor) + "\" shape-rendering=\"crispEdges\""));
  std::string columns;
  for (std::int64_t x = Style.GridSize; x < Width; x += Style.GridSize)
    columns += "M" + Number(x) + " 0h1V" + Number(Height) + "h-1Z";
  std::string rows;
  for (std::int64_t y = Style.GridSize; y < Height; y += Style.GridSize)
    rows += "M0 " + Number(y) + "H" + Number(Width) + "v1H0Z";
  for (const auto& [id, path] : {std::pair{"grid-columns", &columns}, {"grid-rows", &rows}}) {
    if (!path->empty())
      Sink("<path id=\"" + std::string(id) + "\" opacity=\"" + std::string(GridOpacity) +
           "\" d=\"" + *path + "\"/>\n");
  }
  Sink("</g>\n");
}

void WriteMarkers(const TTownList& Towns, std::int32_t Scale, const TSvgSink& Sink) {
  Sink(LayerStart("towns", "Towns", " shape-rendering=\"crispEdges\""));
  const TMarkerShape shape = MarkerShape(Scale);
  const std::int64_t radius = std::int64_t{MarkerRadius} * Scale;
  for (std::size_t i = 0; i < Towns.size(); ++i) {
    const TTown& town = Towns[i];
    const std::int64_t left = town.X - radius;
    const std::int64_t top = town.Y - radius;
    // The outline is the disc in black, with the inside painted over it.
    Sink("<g" + TownAttributes(town, i) + "><path fill=\"#000000\" d=\"" +
         StaircasePath(shape.Disc, left, top) + "\"/><path fill=\"" + Hex(TownColors[town.Kind]) +
         "\" d=\"" + StaircasePath(shape.Inside, left, top) + "\"/></g>\n");
  }
  Sink("</g>\n");
}

void WriteNames(const TTownList& Towns, std::int32_t Scale, const TSvgSink& Sink) {
  Sink(LayerStart("names", "Names",
                  " font-family=\"" + XmlEscaped(SvgLabelFontFamily) + "\" font-size=\"" +
                      Number(std::int64_t{LabelFontEmPixels} * Scale) + "\" fill=\"" +
                      Hex(LabelFontColor) + "\" style=\"font-kerning:none\""));
  const std::int64_t offset = std::int64_t{LabelOffset} * Scale;
  for (std::size_t i = 0; i < Towns.size(); ++i) {
    const TTown& town = Towns[i];
    const TFontStyles style = TownStyles[town.Kind];
    std::string text = "<text" + TownAttributes(town, i) + " x=\"" + Number(town.X + offset) +
                       "\" y=\"" + Number(town.Y + offset + LabelTextAscent(style, Scale)) + "\"";
    if (style.Italic) text += " font-style=\"italic\"";
    if (style.Underline) text += " text-decoration=\"underline\"";
    Sink(text + " xml:space=\"preserve\">" + XmlEscaped(town.Name) + "</text>\n");
  }
  Sink("</g>\n");
}

// The one-pixel rim inside the picture; a picture two pixels across or less is all rim.
void WriteFrame(std::int64_t Width, std::int64_t Height, const TMapStyle& Style,
                const TSvgSink& Sink) {
  Sink(LayerStart("frame", "Frame", " shape-rendering=\"crispEdges\""));
  const std::string color = Hex(Style.MapFrameColor);
  if (Width <= 2 || Height <= 2) {
    Sink("<rect x=\"0\" y=\"0\" width=\"" + Number(Width) + "\" height=\"" + Number(Height) +
         "\" fill=\"" + color + "\"/>\n");
  } else {
    Sink("<rect x=\"0.5\" y=\"0.5\" width=\"" + Number(Width - 1) + "\" height=\"" +
         Number(Height - 1) + "\" fill=\"none\" stroke=\"" + color + "\" stroke-width=\"1\"/>\n");
  }
  Sink("</g>\n");
}

}  // namespace

std::string XmlEscaped(std::string_view Text) {
  std::string out;
  out.reserve(Text.size());
  for (std::size_t pos = 0; pos < Text.size();) {
    const char32_t c = NextCodePoint(Text, pos);
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      case '\t':
        out += "&#9;";
        break;
      case '\n':
        out += "&#10;";
        break;
      case '\r':
        out += "&#13;";
        break;
      default:
        AppendUtf8(out, AllowedInXml(c) ? c : ReplacementCharacter);
    }
  }
  return out;
}

void WriteSvgDrawing(const TMapLayers& Layers, TByteSink& Bytes, TProgress* Progress) {
  const TSvgSink Sink = [&Bytes](std::string_view text) { Bytes.Write(text.data(), text.size()); };
  if (Layers.Relief == nullptr || Layers.Towns == nullptr)
    throw TError("An SVG drawing needs the relief and the towns");
  CheckArgument("LabelScale", Layers.LabelScale, 1, MaxLabelFontScale);
  CheckArgument("GridSize", Layers.Style.GridSize, 1, INT32_MAX);
  for (const TTown& town : *Layers.Towns)
    CheckArgument("town kind", town.Kind, 0, TownKinds - 1);
  const std::int64_t width = Layers.Relief->Width();
  const std::int64_t height = Layers.Relief->Height();
  CheckArgument("Width", width, 1, INT32_MAX);
  CheckArgument("Height", height, 1, INT32_MAX);
  Sink(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\""
      " xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" version=\"1.1\" width=\"" +
      Number(width) + "\" height=\"" + Number(height) + "\" viewBox=\"0 0 " + Number(width) + " " +
      Number(height) + "\">\n");
  // What made the map, for whoever opens the drawing later.
  if (!Layers.MetadataXml.empty()) Sink("<metadata>" + Layers.MetadataXml + "</metadata>\n");
  WriteRelief(*Layers.Relief, Sink, Progress);
  WriteGrid(width, height, Layers.Style, Sink);
  WriteMarkers(*Layers.Towns, Layers.LabelScale, Sink);
  WriteNames(*Layers.Towns, Layers.LabelScale, Sink);
  WriteFrame(width, height, Layers.Style, Sink);
  Sink("</svg>\n");
}

std::string EncodeSvgDrawing(const TMapLayers& Layers) {
  TStringSink svg;
  WriteSvgDrawing(Layers, svg);
  return std::move(svg.Text);
}

}  // namespace hillograph
