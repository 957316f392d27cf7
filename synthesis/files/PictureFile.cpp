#include "synthesis/files/PictureFile.h"

#include <algorithm>

#include "synthesis/base/Error.h"
#include "synthesis/files/BufferedWriter.h"
#include "synthesis/files/OutputFile.h"
#include "synthesis/raster/Bmp.h"
#include "synthesis/raster/Png.h"

namespace hillograph {

bool HasExtension(const std::string& FileName, std::string_view Extension) {
  if (FileName.size() < Extension.size()) return false;
  const auto lower = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  };
  return std::equal(Extension.begin(), Extension.end(),
                    FileName.end() - static_cast<std::ptrdiff_t>(Extension.size()),
                    [&lower](char a, char b) { return lower(a) == lower(b); });
}

bool IsSvgFileName(const std::string& FileName) {
  return HasExtension(FileName, ".svg");
}

void SavePictureFile(const TPicture& Picture, const std::string& FileName, TProgress* Progress,
                     const TMapLayers* Layers, std::span<const TPngText> Texts) {
  if (IsSvgFileName(FileName)) {
    if (Layers == nullptr) throw TError("An SVG drawing needs the map's layers");
    CreateOutputFile(FileName, [Layers, Progress](TAtomicFile& file) {
      TBufferedWriter writer(file);
      WriteSvgDrawing(*Layers, writer, Progress);
      writer.Flush();
    });
    return;
  }
  if (!HasExtension(FileName, ".png")) {
    SaveBitmapToFile(Picture, FileName, Progress);
    return;
  }
  CreateOutputFile(FileName, [&Picture, Progress, Texts](TAtomicFile& file) {
    TBufferedWriter writer(file);
    WritePicturePng(Picture, writer, Progress, Texts);
    writer.Flush();
  });
}

void SaveBitmapToFile(const TPicture& Picture, const std::string& FileName, TProgress* Progress) {
  // The rows go to the system straight from the picture.
  CreateOutputFile(FileName,
                   [&Picture, Progress](TAtomicFile& file) { WriteBmp(Picture, file, Progress); });
}

std::optional<THeightmapFormat> HeightmapFormatOf(const std::string& FileName) {
  if (HasExtension(FileName, ".png")) return THeightmapFormat::Png;
  if (HasExtension(FileName, ".r16") || HasExtension(FileName, ".raw"))
    return THeightmapFormat::Raw;
  if (HasExtension(FileName, ".pgm")) return THeightmapFormat::Pgm;
  return std::nullopt;
}

void SaveHeightmapFile(const THeightField& Heights, THeightmapFormat Format,
                       const std::string& FileName, TProgress* Progress, THeightmapSamples Kind,
                       TWorkerTeam* Team, std::span<const TPngText> Texts) {
  CreateOutputFile(FileName, [&Heights, Format, Progress, Kind, Team, Texts](TAtomicFile& file) {
    TBufferedWriter writer(file);
    WriteHeightmap(Heights, Format, Kind, writer, Progress, Team, Texts);
    writer.Flush();
  });
}

}  // namespace hillograph
