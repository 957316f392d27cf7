#include "synthesis/raster/Bmp.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "synthesis/files/OutputFile.h"

namespace hillograph {
namespace {

constexpr std::uint32_t FileHeaderSize = 14;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint16_t BitsPerPixel = 24;
constexpr std::int32_t PixelsPerMetre = 3780;  // 96 pixels per inch
constexpr std::size_t WriteChunkSize = 64 * 1024;
constexpr const char* WritingStage = "Writing";

void Put16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

void Put32(std::string& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

// The headers of the picture's file.
std::string BmpHeaders(const TPicture& Picture) {
  const std::uint32_t imageSize =
      static_cast<std::uint32_t>(Picture.Stride()) * static_cast<std::uint32_t>(Picture.Height());
  const std::uint32_t offset = FileHeaderSize + InfoHeaderSize;
  std::string out = "BM";
  Put32(out, offset + imageSize);
  Put32(out, 0);  // reserved
  Put32(out, offset);
  Put32(out, InfoHeaderSize);
  Put32(out, static_cast<std::uint32_t>(Picture.Width()));
  Put32(out, static_cast<std::uint32_t>(Picture.Height()));  // positive: rows bottom-up
  Put16(out, 1);                                             // planes
  Put16(out, BitsPerPixel);
  Put32(out, 0);  // no compression
  Put32(out, imageSize);
  Put32(out, PixelsPerMetre);
  Put32(out, PixelsPerMetre);
  Put32(out, 0);  // colours used
  Put32(out, 0);  // important colours
  return out;
}

// Hands the whole file to Sink in pieces: the headers, then the rows from the bottom up in runs
// of about WriteChunkSize bytes, gathered in one small buffer.
template <class TSink>
void EmitBmp(const TPicture& Picture, TSink&& Sink) {
  Sink(BmpHeaders(Picture));
  std::string chunk;
  chunk.reserve(WriteChunkSize + Picture.Stride());
  for (std::int32_t y = Picture.Height() - 1; y >= 0; --y) {
    chunk.append(reinterpret_cast<const char*>(Picture.ScanLine(y)), Picture.Stride());
    if (chunk.size() >= WriteChunkSize || y == 0) {
      Sink(chunk);
      chunk.clear();
    }
  }
}

}  // namespace

std::string EncodeBmp(const TPicture& Picture) {
  std::string out;
  EmitBmp(Picture, [&out](const std::string& piece) { out += piece; });
  return out;
}

void SaveBitmapToFile(const TPicture& Picture, const std::string& FileName, TProgress* Progress) {
  // Written piece by piece: a whole file's copy in memory costs more than it saves.
  CreateOutputFile(FileName, [&Picture, Progress](TAtomicFile& file) {
    const double total = static_cast<double>(Picture.Stride()) * Picture.Height();
    double written = 0;
    EmitBmp(Picture, [&](const std::string& piece) {
      file.Write(piece);
      written += static_cast<double>(piece.size());
      if (Progress != nullptr) Progress->Report(WritingStage, std::min(written / total, 1.0));
    });
  });
}

}  // namespace hillograph
