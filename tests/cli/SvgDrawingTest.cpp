// The map as an SVG drawing: well-formed XML in layers whose names and markers are the towns of
// the towns file, and which, rasterised by another program, looks like the picture.
#include "synthesis/vector/SvgDrawing.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "parameters/MapParameters.h"
#include "parameters/RenderRequest.h"
#include "parameters/TownsJson.h"
#include "synthesis/raster/Png.h"
#include "tests/TempFolder.h"
#include "tests/cli/PngReader.h"
#include "tests/cli/ProgramRun.h"

namespace hillograph {
namespace {

using TXmlDoc = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;
constexpr const char* InkscapeNs = "http://www.inkscape.org/namespaces/inkscape";
constexpr const char* XlinkNs = "http://www.w3.org/1999/xlink";

std::string Attribute(const xmlNode* node, const char* name, const char* ns = nullptr) {
  xmlChar* value =
      ns ? xmlGetNsProp(node, BAD_CAST name, BAD_CAST ns) : xmlGetNoNsProp(node, BAD_CAST name);
  std::string text = value ? reinterpret_cast<const char*>(value) : "<none>";
  xmlFree(value);
  return text;
}

std::vector<xmlNode*> Elements(const xmlNode* parent) {
  std::vector<xmlNode*> elements;
  for (xmlNode* n = parent->children; n != nullptr; n = n->next)
    if (n->type == XML_ELEMENT_NODE) elements.push_back(n);
  return elements;
}

TMapParameters Params(std::int32_t width, std::int32_t height, std::int32_t seed, double townAmount,
                      const std::string& townDB = "") {
  TMapParameters p;
  p.Width = width, p.Height = height, p.RandSeed = seed, p.TownAmount = townAmount,
  p.TownDB = townDB;
  return p;
}

// The renderer writes the towns file, in UTF-8, with the towns of the render; and drawings whose
// layers come in order, whose names are the towns file's in order (accents, markup characters and
// a control character included), and whose markers and names carry the towns' kinds and indices.
TEST(SvgDrawingTest, LayersHoldTheTownsOfTheTownsFile) {
  const testing::TTempFolder folder;
  const std::string db = folder.Write(
      "towns.txt", "Zürich\nŠkofja Loka\nÆrøskøbing\nA & B <c> \"d\" 'e' \x01 f\ttab\n東京 ﬁ 𐌰\n");
  for (const auto& [width, height, scale, seed] :
       {std::tuple{300, 200, 1, 11}, {300, 200, 2, 13}, {16384, 3, 1, 5}}) {
    const std::string name = std::to_string(seed);
    const auto run = testing::RunRenderProgram(
        "--size " + std::to_string(width) + "x" + std::to_string(height) + " --label-scale " +
        std::to_string(scale) + " --set TownAmount=400 --set TownDB=" + db +
        " --set RandSeed=" + name + " -o " + folder.Path("m" + name + ".svg") + " --towns-json " +
        folder.Path("t" + name + ".json"));
    ASSERT_EQ(run.status, 0) << run.err;
    const TXmlDoc doc(xmlReadFile(folder.Path("m" + name + ".svg").c_str(), nullptr,
                                  XML_PARSE_NONET | XML_PARSE_HUGE),
                      &xmlFreeDoc);
    ASSERT_TRUE(doc) << name;
    const std::string json = folder.Read("t" + name + ".json");
    EXPECT_EQ(json.rfind("{\n  \"width\": " + std::to_string(width) + ",\n  \"height\": ", 0), 0u);
    EXPECT_NE(json.find("\"name\": \"Zürich\""), std::string::npos);  // UTF-8, not escapes
    const auto towns = nlohmann::json::parse(json)["towns"];
    const xmlNode* svg = xmlDocGetRootElement(doc.get());
    const std::string size = std::to_string(width) + " " + std::to_string(height);
    EXPECT_EQ(
        Attribute(svg, "width") + " " + Attribute(svg, "height") + " " + Attribute(svg, "viewBox"),
        size + " 0 0 " + size);
    std::vector<xmlNode*> layers = Elements(svg);  // the recipe, then the layers
    ASSERT_EQ(layers.size(), std::size(SvgLayerIds) + 1) << name;
    EXPECT_STREQ(reinterpret_cast<const char*>(layers[0]->name), "metadata");
    layers.erase(layers.begin());
    for (std::size_t i = 0; i < layers.size(); ++i)
      EXPECT_EQ(Attribute(layers[i], "id") + " " + Attribute(layers[i], "groupmode", InkscapeNs),
                std::string(SvgLayerIds[i]) + " layer");
    const std::vector<xmlNode*> markers = Elements(layers[2]);
    const std::vector<xmlNode*> names = Elements(layers[3]);
    ASSERT_TRUE(markers.size() == towns.size() && names.size() == towns.size() && towns.size() > 5);
    for (std::size_t i = 0; i < names.size(); ++i) {
      xmlChar* text = xmlNodeGetContent(names[i]);
      // XML 1.0 cannot hold the control character: U+FFFD stands for it.
      std::string expected = towns[i]["name"];
      if (const auto c = expected.find('\x01'); c != std::string::npos)
        expected.replace(c, 1, "\uFFFD");
      EXPECT_EQ(reinterpret_cast<const char*>(text), expected) << name;
      xmlFree(text);
      for (const xmlNode* element : {markers[i], names[i]})
        EXPECT_EQ(Attribute(element, "data-index") + " " + Attribute(element, "data-kind"),
                  std::to_string(i) + " " + towns[i]["kind"].dump());
    }
    // The files hold the map's layers and towns.
    TPicture picture, relief;
    TTownList list;
    RenderMapParameters(picture, Params(width, height, seed, 400, db), &list,
                        {.Relief = &relief, .LabelScale = scale});
    EXPECT_EQ(json, EncodeTownsJson(width, height, list));
    EXPECT_TRUE(towns[0]["x"] == list[0].X && towns[0]["y"] == list[0].Y &&
                towns[0]["label_width"] == list[0].LabelWidth &&
                towns[0]["label_height"] == list[0].LabelHeight);
    EXPECT_EQ(Attribute(layers[3], "font-size"), std::to_string(LabelFontEmPixels * scale));
    // Whose relief is the program's own PNG of it, in Base64 as another encoder writes it.
    const std::string png = folder.Write("relief.png", EncodePng(relief));
    ASSERT_EQ(std::system(("base64 -w0 " + png + " >" + png + ".b64").c_str()), 0);
    EXPECT_TRUE(Attribute(Elements(layers[0]).at(0), "href", XlinkNs) ==
                "data:image/png;base64," + folder.Read("relief.png.b64"))
        << name;
  }
}

// rgb bytes, rows from the top, of the drawing as rsvg-convert rasterises it with Options.
std::string Rasterised(const testing::TTempFolder& folder, const std::string& svg,
                       const std::string& options = "") {
  const std::string command =
      "rsvg-convert " + options + " -o " + folder.Path("r.png") + " " + folder.Write("r.svg", svg);
  if (std::system(command.c_str()) != 0) return {};
  spng_ihdr header{};
  return testing::DecodePng(folder.Read("r.png"), SPNG_FMT_RGB8, header);
}

// Whether the pixel of the rasterised drawing is the picture's, give or take 2 levels a channel.
bool Close(const TPicture& picture, const std::string& drawn, std::int32_t x, std::int32_t y) {
  const std::uint8_t* p = picture.ScanLine(y) + 3 * x;  // blue, green, red
  const auto* q = reinterpret_cast<const std::uint8_t*>(drawn.data()) +
                  3 * (std::size_t(y) * picture.Width() + x);
  return std::abs(p[2] - q[0]) <= 2 && std::abs(p[1] - q[1]) <= 2 && std::abs(p[0] - q[2]) <= 2;
}

// Whether (x, y) lies in the town's label box, widened by 2 pixels.
bool InLabelBox(const TTown& town, std::int32_t scale, std::int32_t x, std::int32_t y) {
  const std::int32_t left = town.X + LabelOffset * scale - 2;
  const std::int32_t top = town.Y + LabelOffset * scale - 2;
  return x >= left && x < left + town.LabelWidth + 4 && y >= top && y < top + town.LabelHeight + 4;
}

// Rasterised at 1:1, the drawing is the picture away from the towns, give or take the rounding
// of a blend; every name stays inside its box of the towns file, widened by 2 pixels.
TEST(SvgDrawingTest, RasterisedItLooksLikeThePicture) {
  if (std::system("rsvg-convert --version >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "rsvg-convert is not installed (librsvg2-bin)";
  const testing::TTempFolder folder;
  for (const auto& [width, height, seed, scale] :
       {std::tuple{400, 300, 123456789, 1}, {301, 241, 7, 2}, {1, 7, 5, 1}}) {
    // The same map without towns has the same relief, grid and frame.
    TPicture picture, bare, relief;
    TTownList towns;
    RenderMapParameters(picture, Params(width, height, seed, 60), &towns,
                        {.Relief = &relief, .LabelScale = scale});
    RenderMapParameters(bare, Params(width, height, seed, 0), nullptr, {.LabelScale = scale});
    TMapLayers layers;
    layers.Relief = &relief, layers.Towns = &towns, layers.LabelScale = scale;
    const std::string svg = EncodeSvgDrawing(layers);
    const std::string drawn = Rasterised(folder, svg);
    ASSERT_EQ(drawn.size(), std::size_t(3) * width * height);
    // Every pixel within 4 pixels x scale of one that a marker or a name changes; and the relief
    // is the map before its grid, its towns and its frame, which change every pixel they cover.
    std::vector<char> near(std::size_t(width) * height, 0);
    const std::int32_t reach = 4 * scale;
    for (std::int32_t y = 0; y < height; ++y) {
      for (std::int32_t x = 0; x < width; ++x) {
        EXPECT_EQ(std::memcmp(relief.ScanLine(y) + 3 * x, bare.ScanLine(y) + 3 * x, 3) != 0,
                  x % DefaultGridSize == 0 || y % DefaultGridSize == 0 || x == width - 1 ||
                      y == height - 1);
        if (std::memcmp(picture.ScanLine(y) + 3 * x, bare.ScanLine(y) + 3 * x, 3) == 0) continue;
        for (std::int32_t v = std::max(0, y - reach); v <= std::min(height - 1, y + reach); ++v)
          for (std::int32_t u = std::max(0, x - reach); u <= std::min(width - 1, x + reach); ++u)
            if ((u - x) * (u - x) + (v - y) * (v - y) <= reach * reach) near[v * width + u] = 1;
      }
    }
    std::int64_t away = 0, off = 0;
    for (std::int32_t y = 0; y < height; ++y) {
      for (std::int32_t x = 0; x < width; ++x) {
        if (near[y * width + x]) continue;
        ++away;
        off += !Close(picture, drawn, x, y);
      }
    }
    EXPECT_GT(away, std::int64_t{width} * height / 2);
    EXPECT_LE(off * 1000, away) << off << " of " << away << " pixels differ";
    // The markers are the picture's wherever no name lies over them.
    const std::int32_t r = MarkerRadius * scale;
    for (const TTown& town : towns)
      for (std::int32_t y = std::max(1, town.Y - r); y < std::min(height - 1, town.Y + r); ++y)
        for (std::int32_t x = std::max(1, town.X - r); x < std::min(width - 1, town.X + r); ++x)
          EXPECT_TRUE(Close(picture, drawn, x, y) ||
                      std::any_of(towns.begin(), towns.end(),
                                  [&](const TTown& t) { return InLabelBox(t, scale, x, y); }))
              << "marker pixel (" << x << ", " << y << ")";
    // Each name alone on white, all the rest hidden.
    for (std::size_t i = 0; i < towns.size(); ++i) {
      folder.Write("alone.css", "#relief, #grid, #towns, #frame, text:not([data-index=\"" +
                                    std::to_string(i) + "\"]) { display: none }");
      const std::string text = Rasterised(folder, svg, "-b white -s " + folder.Path("alone.css"));
      ASSERT_EQ(text.size(), drawn.size());
      const TTown& town = towns[i];
      std::int32_t first = width, last = -1;  // the columns inked
      for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
          if (text.compare(3 * std::size_t(y * width + x), 3, "\xff\xff\xff") == 0) continue;
          EXPECT_TRUE(InLabelBox(town, scale, x, y))
              << town.Name << " at (" << x << ", " << y << ")";
          first = std::min(first, x), last = std::max(last, x);
        }
      }
      // At its size: a name wholly inside the picture spans most of its box.
      EXPECT_TRUE(town.X + LabelOffset * scale + town.LabelWidth >= width ||
                  town.Y + LabelOffset * scale + town.LabelHeight >= height ||
                  last - first > town.LabelWidth / 2)
          << town.Name;
    }
  }
}

}  // namespace
}  // namespace hillograph
