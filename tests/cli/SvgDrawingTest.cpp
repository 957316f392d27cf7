// The map as an SVG drawing: well-formed XML in layers whose names and markers are the towns of
// the towns file, and which, rasterised by another program, looks like the picture.
#include "synthesis/vector/SvgDrawing.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <spng.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "parameters/MapParameters.h"
#include "parameters/RenderRequest.h"
#include "synthesis/base/Utf8.h"
#include "synthesis/raster/Png.h"
#include "tests/TempFolder.h"
#include "tests/cli/ProgramRun.h"

namespace hillograph {
namespace {

using TXmlDoc = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

TXmlDoc ParseXml(const std::string& text) {
  return {xmlReadMemory(text.data(), static_cast<int>(text.size()), "map.svg", nullptr,
                        XML_PARSE_NONET | XML_PARSE_HUGE),
          &xmlFreeDoc};
}

std::string Attribute(const xmlNode* node, const char* name, const char* ns = nullptr) {
  xmlChar* value =
      ns ? xmlGetNsProp(node, BAD_CAST name, BAD_CAST ns) : xmlGetNoNsProp(node, BAD_CAST name);
  std::string text = value ? reinterpret_cast<const char*>(value) : "<none>";
  xmlFree(value);
  return text;
}

std::string Content(const xmlNode* node) {
  xmlChar* value = xmlNodeGetContent(node);
  std::string text = reinterpret_cast<const char*>(value);
  xmlFree(value);
  return text;
}

std::vector<xmlNode*> Elements(const xmlNode* parent) {
  std::vector<xmlNode*> elements;
  for (xmlNode* n = parent->children; n != nullptr; n = n->next)
    if (n->type == XML_ELEMENT_NODE) elements.push_back(n);
  return elements;
}

std::string Base64Decoded(std::string_view text) {
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  std::uint32_t bits = 0;
  int count = 0;
  for (const char c : text) {
    if (c == '=') break;
    bits = bits << 6 | static_cast<std::uint32_t>(alphabet.find(c));
    if ((count += 6) >= 8) out += static_cast<char>(bits >> (count -= 8));
  }
  return out;
}

// What an XML 1.0 document can hold of a name.
std::string AsXmlText(const std::string& name) {
  std::string out;
  for (std::size_t pos = 0; pos < name.size();) {
    const char32_t c = NextCodePoint(name, pos);
    const bool allowed = c == 9 || c == 10 || c == 13 || (c >= 0x20 && c < 0xD800) ||
                         (c >= 0xE000 && c < 0xFFFE) || c >= 0x10000;
    AppendUtf8(out, allowed ? c : ReplacementCharacter);
  }
  return out;
}

const std::string InkscapeNs = "http://www.inkscape.org/namespaces/inkscape";

// A single run and a batch write drawings whose layers come in order, whose names are the towns
// file's in order (accents, markup characters and a control character included), whose markers
// and names carry the towns' kinds and indices, and whose relief is the picture before the
// overlays, encoded by the program's own PNG encoder.
TEST(SvgDrawingTest, LayersHoldTheTownsOfTheTownsFile) {
  const testing::TTempFolder folder;
  const std::string db = folder.Write(
      "towns.txt", "Zürich\nŠkofja Loka\nÆrøskøbing\nA & B <c> \"d\" 'e' \x01 f\ttab\n東京\n");
  const struct {
    std::string size;
    std::int32_t scale;
    std::vector<std::int32_t> seeds;
  } cases[] = {{"300x200", 1, {11, 12}}, {"300x200", 2, {13}}, {"16384x3", 1, {5}}};
  for (const auto& c : cases) {
    // A batch with {seed} in its names, or a single run.
    std::string seeds, files = "m{seed}.svg --towns-json " + folder.Path("t{seed}.json");
    for (const std::int32_t seed : c.seeds)
      seeds += (seeds.empty() ? "" : ",") + std::to_string(seed);
    if (c.seeds.size() > 1) {
      seeds = " --seeds " + seeds;
    } else {
      seeds = " --set RandSeed=" + seeds;
      files = "m" + std::to_string(c.seeds[0]) + ".svg --towns-json " +
              folder.Path("t" + std::to_string(c.seeds[0]) + ".json");
    }
    const auto run = testing::RunRenderProgram(
        "--size " + c.size + " --label-scale " + std::to_string(c.scale) +
        " --set TownAmount=400 --set TownDB=" + db + seeds + " -o " + folder.Path(files));
    ASSERT_EQ(run.status, 0) << run.err;
    for (const std::int32_t seed : c.seeds) {
      const std::string where = c.size + " seed " + std::to_string(seed);
      const TXmlDoc doc = ParseXml(folder.Read("m" + std::to_string(seed) + ".svg"));
      ASSERT_TRUE(doc) << where;
      const auto towns = nlohmann::json::parse(folder.Read("t" + std::to_string(seed) + ".json"));
      const xmlNode* svg = xmlDocGetRootElement(doc.get());
      const std::string width = std::to_string(towns["width"].get<int>());
      const std::string height = std::to_string(towns["height"].get<int>());
      EXPECT_EQ(Attribute(svg, "width"), width) << where;
      EXPECT_EQ(Attribute(svg, "height"), height) << where;
      EXPECT_EQ(Attribute(svg, "viewBox"), "0 0 " + width + " " + height) << where;
      const std::vector<xmlNode*> layers = Elements(svg);
      ASSERT_EQ(layers.size(), std::size(SvgLayerIds)) << where;
      for (std::size_t i = 0; i < layers.size(); ++i) {
        EXPECT_EQ(Attribute(layers[i], "id"), SvgLayerIds[i]) << where;
        EXPECT_EQ(Attribute(layers[i], "groupmode", InkscapeNs.c_str()), "layer") << where;
        EXPECT_NE(Attribute(layers[i], "label", InkscapeNs.c_str()), "<none>") << where;
      }
      const std::vector<xmlNode*> markers = Elements(layers[2]);
      const std::vector<xmlNode*> names = Elements(layers[3]);
      ASSERT_EQ(markers.size(), towns["towns"].size()) << where;
      ASSERT_EQ(names.size(), towns["towns"].size()) << where;
      EXPECT_GT(names.size(), 5u) << where;
      for (std::size_t i = 0; i < names.size(); ++i) {
        const auto& town = towns["towns"][i];
        EXPECT_EQ(Content(names[i]), AsXmlText(town["name"].get<std::string>())) << where;
        for (const xmlNode* element : {markers[i], names[i]}) {
          EXPECT_EQ(Attribute(element, "data-index"), std::to_string(i)) << where;
          EXPECT_EQ(Attribute(element, "data-kind"), std::to_string(town["kind"].get<int>()))
              << where;
        }
      }
      // The relief is the picture of the same map before its grid, towns and frame.
      TMapParameters params;
      params.Width = std::stoi(width);
      params.Height = std::stoi(height);
      params.RandSeed = seed;
      params.TownAmount = 400;
      params.TownDB = db;
      TPicture picture, relief;
      RenderMapParameters(picture, params, nullptr, {.Relief = &relief, .LabelScale = c.scale});
      const std::string href =
          Attribute(Elements(layers[0]).at(0), "href", "http://www.w3.org/1999/xlink");
      const std::string prefix = "data:image/png;base64,";
      ASSERT_EQ(href.substr(0, prefix.size()), prefix) << where;
      EXPECT_TRUE(Base64Decoded(href.substr(prefix.size())) == EncodePng(relief)) << where;
    }
  }
}

bool HaveRasteriser() {
  return std::system("rsvg-convert --version >/dev/null 2>&1") == 0;
}

// rgb bytes of a PNG file, rows from the top.
std::string DecodeRgb(const std::string& png) {
  spng_ctx* ctx = spng_ctx_new(0);
  std::string out;
  std::size_t size = 0;
  if (spng_set_png_buffer(ctx, png.data(), png.size()) == 0 &&
      spng_decoded_image_size(ctx, SPNG_FMT_RGB8, &size) == 0) {
    out.resize(size);
    if (spng_decode_image(ctx, out.data(), size, SPNG_FMT_RGB8, 0) != 0) out.clear();
  }
  spng_ctx_free(ctx);
  return out;
}

std::string Rasterised(const testing::TTempFolder& folder, const std::string& svg,
                       const std::string& options = "") {
  const std::string in = folder.Write("r.svg", svg);
  const std::string out = folder.Path("r.png");
  const std::string command = "rsvg-convert " + options + " -o " + out + " " + in;
  if (std::system(command.c_str()) != 0) return {};
  return DecodeRgb(folder.Read("r.png"));
}

struct TMap {
  TPicture Picture;
  TPicture Relief;
  TTownList Towns;
};

TMap Render(std::int32_t width, std::int32_t height, std::int32_t seed, double townAmount,
            std::int32_t scale) {
  TMapParameters params;
  params.Width = width;
  params.Height = height;
  params.RandSeed = seed;
  params.TownAmount = townAmount;
  TMap map;
  RenderMapParameters(map.Picture, params, &map.Towns,
                      {.Relief = &map.Relief, .LabelScale = scale});
  return map;
}

// Rasterised at 1:1, the drawing is the picture away from the towns, give or take the rounding
// of a blend; every name stays inside its box of the towns file, widened by 2 pixels.
TEST(SvgDrawingTest, RasterisedItLooksLikeThePicture) {
  if (!HaveRasteriser()) GTEST_SKIP() << "rsvg-convert is not installed (librsvg2-bin)";
  const testing::TTempFolder folder;
  for (const auto& [width, height, seed, scale] :
       {std::tuple{400, 300, 123456789, 1}, {301, 241, 7, 2}}) {
    const std::string where = std::to_string(width) + "x" + std::to_string(height);
    const TMap map = Render(width, height, seed, 60, scale);
    // The same map without towns: its relief, grid and frame are the same pixels.
    const TMap bare = Render(width, height, seed, 0, scale);
    ASSERT_FALSE(map.Towns.empty()) << where;
    TMapLayers layers;
    layers.Relief = &map.Relief;
    layers.Towns = &map.Towns;
    layers.LabelScale = scale;
    const std::string svg = EncodeSvgDrawing(layers);
    const std::string drawn = Rasterised(folder, svg);
    ASSERT_EQ(drawn.size(), std::size_t(3) * width * height) << where;
    // Pixels a marker or a name changes, and those within 4 pixels x scale of them.
    const auto at = [&](std::int32_t x, std::int32_t y) {
      return std::size_t(3) * (y * width + x);
    };
    std::vector<char> near(std::size_t(width) * height, 0);
    const std::int32_t reach = 4 * scale;
    for (std::int32_t y = 0; y < height; ++y) {
      for (std::int32_t x = 0; x < width; ++x) {
        if (std::memcmp(map.Picture.ScanLine(y) + 3 * x, bare.Picture.ScanLine(y) + 3 * x, 3) == 0)
          continue;
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
        const std::uint8_t* p = map.Picture.ScanLine(y) + 3 * x;  // blue, green, red
        const auto* q = reinterpret_cast<const std::uint8_t*>(drawn.data() + at(x, y));
        if (std::abs(p[2] - q[0]) > 2 || std::abs(p[1] - q[1]) > 2 || std::abs(p[0] - q[2]) > 2)
          ++off;
      }
    }
    EXPECT_GT(away, std::int64_t{width} * height / 2) << where;
    EXPECT_LE(off * 1000, away) << where << ": " << off << " of " << away << " pixels differ";
    // Each name alone on white, inside its box.
    const TXmlDoc doc = ParseXml(svg);
    ASSERT_TRUE(doc);
    xmlNode* root = xmlDocGetRootElement(doc.get());
    xmlNode* names = Elements(root).at(3);
    const std::vector<xmlNode*> texts = Elements(names);
    std::int32_t inked = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      const TTown& town = map.Towns[i];
      const TXmlDoc alone(xmlNewDoc(BAD_CAST "1.0"), &xmlFreeDoc);
      xmlNode* svgCopy = xmlDocCopyNode(root, alone.get(), 2);
      xmlDocSetRootElement(alone.get(), svgCopy);
      xmlAddChild(xmlAddChild(svgCopy, xmlDocCopyNode(names, alone.get(), 2)),
                  xmlDocCopyNode(texts[i], alone.get(), 1));
      xmlChar* bytes = nullptr;
      int size = 0;
      xmlDocDumpMemoryEnc(alone.get(), &bytes, &size, "UTF-8");
      const std::string text =
          Rasterised(folder, std::string(reinterpret_cast<char*>(bytes), size), "-b white");
      xmlFree(bytes);
      ASSERT_EQ(text.size(), drawn.size()) << where;
      const std::int32_t left = town.X + LabelOffset * scale - 2;
      const std::int32_t top = town.Y + LabelOffset * scale - 2;
      const std::int32_t right = left + town.LabelWidth + 4;
      const std::int32_t bottom = top + town.LabelHeight + 4;
      bool ink = false;
      for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
          if (text.compare(at(x, y), 3, "\xff\xff\xff") == 0) continue;
          ink = true;
          EXPECT_TRUE(x >= left && x < right && y >= top && y < bottom)
              << where << ": " << town.Name << " at (" << x << ", " << y << ")";
        }
      }
      inked += ink;
    }
    EXPECT_GT(inked, 0) << where;
  }
}

}  // namespace
}  // namespace hillograph
