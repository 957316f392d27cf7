// The core as the browser page's worker calls it: one map at a time, kept between calls so that
// its files can be made from the same render. Every function returns 0 on success and -1 on
// failure, with the message in hg_error(); text results stay valid until the next call.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "parameters/LinkText.h"
#include "parameters/PictureRecipe.h"
#include "parameters/Preset.h"
#include "parameters/Profile.h"
#include "parameters/RenderRequest.h"
#include "parameters/TownsJson.h"
#include "synthesis/base/Error.h"
#include "synthesis/raster/Bmp.h"
#include "synthesis/raster/ByteSink.h"
#include "synthesis/raster/Heightmap.h"
#include "synthesis/raster/Png.h"

namespace hillograph {
namespace {

// The scratch file through which a preset is written by the same routine as on the desktop.
constexpr const char* PresetScratchFile = "/tmp/hillograph-preset.hpf";

struct TCurrentMap {
  TLinkMap Map;
  std::string TownDB;  // a file the page put into the worker's own file system, or empty
  TPicture Picture;
  THeightField Heights;
  TTownList Towns;
  // What the picture, the heights and the towns were made from, when they were.
  std::optional<std::pair<TLinkMap, std::string>> Rendered;
  bool PresetAutoRefresh = true;  // what the last preset read asks for
};

TCurrentMap Current;
std::vector<std::uint8_t> Rgba;  // the picture for a canvas: red, green, blue, 255
std::string Bytes;               // the last encoded file
std::string Text;                // the last text result
std::string PresetNotes;         // what the last preset read could not give back
std::string Error;

// Tells the page how far a render has come, at most once per hundredth of a stage; under Node,
// which runs the benchmark, nobody listens.
EM_JS(void, PostProgress, (const char* stage, double fraction), {
  if (typeof postMessage == 'function')
    postMessage({op : 'progress', stage : UTF8ToString(stage), fraction : fraction});
});

class TPageProgress : public TProgress {
 public:
  void Report(std::string_view Stage, double Fraction) override {
    if (Stage == stage_ && Fraction < reported_ + 0.01 && Fraction < 1) return;
    stage_ = Stage;
    reported_ = Fraction;
    PostProgress(stage_.c_str(), Fraction);
  }

 private:
  std::string stage_;
  double reported_ = 0;
};

// Runs Work; a failure keeps its message for hg_error and gives -1.
template <class TWork>
int Guarded(TWork&& work) {
  try {
    work();
    return 0;
  } catch (const std::bad_alloc&) {
    Error = "Out of memory";
  } catch (const std::exception& e) {
    Error = e.what();
  }
  return -1;
}

void ToRgba(const TPicture& picture) {
  const auto width = static_cast<std::size_t>(picture.Width());
  Rgba.resize(width * static_cast<std::size_t>(picture.Height()) * 4);
  std::uint8_t* out = Rgba.data();
  for (std::int32_t y = 0; y < picture.Height(); ++y) {
    const std::uint8_t* bgr = picture.ScanLine(y);
    for (std::size_t x = 0; x < width; ++x, bgr += 3, out += 4) {
      out[0] = bgr[2];
      out[1] = bgr[1];
      out[2] = bgr[0];
      out[3] = 255;
    }
  }
}

std::string ReadWholeFile(const char* name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace
}  // namespace hillograph

using namespace hillograph;

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* hg_error() {
  return Error.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* hg_text() {
  return Text.c_str();
}

// The map of Link (see ReadLinkText), with the town database set by hg_set_town_db. hg_text()
// gives the problems, one a line; hg_link() the link as it is written.
EMSCRIPTEN_KEEPALIVE int hg_read_link(const char* Link) {
  return Guarded([&] {
    TLinkReading reading = ReadLinkText(Link);
    Current.Map = reading.Map;
    Text.clear();
    for (const std::string& problem : reading.Problems)
      Text += problem + "\n";
  });
}

EMSCRIPTEN_KEEPALIVE const char* hg_link() {
  Text = WriteLinkText(Current.Map);
  return Text.c_str();
}

// A file of town names in the worker's file system, or "" for generated names.
EMSCRIPTEN_KEEPALIVE void hg_set_town_db(const char* FileName) {
  Current.TownDB = FileName;
}

// Renders the current map, telling the page its progress. For a canvas, hg_rgba() then holds
// hg_width() x hg_height() pixels.
EMSCRIPTEN_KEEPALIVE int hg_render(int ForCanvas) {
  return Guarded([ForCanvas] {
    Current.Rendered.reset();
    TMapParameters params = Current.Map.Params;
    params.TownDB = Current.TownDB;
    TRenderExtras extras;
    extras.Heights = &Current.Heights;
    extras.LabelScale = Current.Map.LabelScale;
    TPageProgress progress;
    extras.Progress = &progress;
    Current.Towns.clear();
    Rgba = {};  // a large picture needs the room
    RenderMapParameters(Current.Picture, params, &Current.Towns, extras);
    if (ForCanvas != 0) ToRgba(Current.Picture);
    Current.Rendered.emplace(Current.Map, Current.TownDB);
  });
}

EMSCRIPTEN_KEEPALIVE const std::uint8_t* hg_rgba() {
  return Rgba.data();
}
EMSCRIPTEN_KEEPALIVE int hg_width() {
  return Current.Picture.Width();
}
EMSCRIPTEN_KEEPALIVE int hg_height() {
  return Current.Picture.Height();
}

// The rendered map as a file: "png", "bmp", "heightmap.png", "heightmap.r16", "heightmap.pgm",
// "towns.json" or "hpf"; hg_bytes() and hg_bytes_size() then hold it.
EMSCRIPTEN_KEEPALIVE int hg_encode(const char* Format) {
  return Guarded([&] {
    const std::string_view format = Format;
    Bytes.clear();
    if (format == "hpf") {
      // The town database by its name alone: its folder is the worker's own.
      TMapParameters params = Current.Map.Params;
      params.TownDB = Current.TownDB.substr(Current.TownDB.find_last_of('/') + 1);
      WritePreset(PresetScratchFile, params);
      Bytes = ReadWholeFile(PresetScratchFile);
      std::remove(PresetScratchFile);
      return;
    }
    if (Current.Rendered != std::make_pair(Current.Map, Current.TownDB)) {
      throw TError("The map has changed since it was drawn: draw it again first.");
    }
    // Every PNG carries the map's recipe, as the command line writes it.
    TMapParameters recipeParams = Current.Map.Params;
    recipeParams.TownDB = Current.TownDB;
    const std::vector<TPngText> recipe =
        RecipeTexts({recipeParams, Current.Map.LabelScale}, HILLOGRAPH_VERSION);
    TStringSink sink;
    if (format == "png") {
      WritePicturePng(Current.Picture, sink, nullptr, recipe);
    } else if (format == "bmp") {
      sink.Text = EncodeBmp(Current.Picture);
    } else if (format == "heightmap.png") {
      WriteHeightmap(Current.Heights, THeightmapFormat::Png, sink, nullptr, recipe);
    } else if (format == "heightmap.r16") {
      WriteHeightmap(Current.Heights, THeightmapFormat::Raw, sink);
    } else if (format == "heightmap.pgm") {
      WriteHeightmap(Current.Heights, THeightmapFormat::Pgm, sink);
    } else if (format == "towns.json") {
      sink.Text = EncodeTownsJson(Current.Picture.Width(), Current.Picture.Height(), Current.Towns);
    } else {
      throw TError("unknown format \"" + std::string(format) + "\"");
    }
    Bytes = std::move(sink.Text);
  });
}

EMSCRIPTEN_KEEPALIVE const char* hg_bytes() {
  return Bytes.data();
}
EMSCRIPTEN_KEEPALIVE std::size_t hg_bytes_size() {
  return Bytes.size();
}

// Loads the preset file as "Load preset..." does, named Source in messages. On success the
// current map holds its parameters and hg_link() gives them; hg_text() gives the preset's town
// database, which a page cannot open by its name, and hg_preset_auto_refresh() its AutoRefresh.
// A failure leaves the current map as it was.
// A preset, or a PNG picture that carries its recipe; hg_text() then holds the town database the
// preset names, and hg_preset_notes() what a recipe could not give back, one line each.
EMSCRIPTEN_KEEPALIVE int hg_read_preset(const char* FileName, const char* Source) {
  return Guarded([&] {
    PresetNotes.clear();
    if (std::optional<TRecipe> recipe = ReadPictureRecipe(FileName)) {
      Current.Map = TLinkMap{recipe->Map.Params, recipe->Map.LabelScale};
      Current.PresetAutoRefresh = true;
      Text.clear();
      for (const std::string& note : recipe->Notes)
        PresetNotes += note + "\n";
      return;
    }
    const TMapParameters params =
        PresetParameters(TProfileText(TProfile(FileName).Read().Text(), Source));
    Current.Map = TLinkMap{params, 1};
    Current.Map.Params.TownDB.clear();
    Current.Map.Params.AutoRefresh = true;
    Current.PresetAutoRefresh = params.AutoRefresh;
    Text = params.TownDB;
  });
}

EMSCRIPTEN_KEEPALIVE const char* hg_preset_notes() {
  return PresetNotes.c_str();
}

EMSCRIPTEN_KEEPALIVE int hg_preset_auto_refresh() {
  return Current.PresetAutoRefresh ? 1 : 0;
}

}  // extern "C"
