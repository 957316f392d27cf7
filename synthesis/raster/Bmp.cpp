#include "synthesis/raster/Bmp.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace hillograph {
namespace {

constexpr std::uint32_t FileHeaderSize = 14;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint16_t BitsPerPixel = 24;
constexpr std::int32_t PixelsPerMetre = 3780;  // 96 pixels per inch
constexpr std::size_t WriteRunBytes = 1024 * 1024;
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

}  // namespace

std::string EncodeBmp(const TPicture& Picture) {
  std::string out = BmpHeaders(Picture);
  out.reserve(out.size() + Picture.Stride() * static_cast<std::size_t>(Picture.Height()));
  for (std::int32_t y = Picture.Height() - 1; y >= 0; --y)
    out.append(reinterpret_cast<const char*>(Picture.ScanLine(y)), Picture.Stride());
  return out;
}

void WriteBmp(const TPicture& Picture, TByteSink& Sink, TProgress* Progress) {
  // The rows go to the sink straight from the picture, bottom-up, in runs of about WriteRunBytes
  // between reports of progress.
  const std::string headers = BmpHeaders(Picture);
  Sink.Write(headers.data(), headers.size());
  const std::size_t stride = Picture.Stride();
  const std::size_t runRows =
      std::max<std::size_t>(1, WriteRunBytes / std::max<std::size_t>(stride, 1));
  std::vector<TByteRange> run;
  run.reserve(std::min(runRows, static_cast<std::size_t>(Picture.Height())));
  for (std::int32_t y = Picture.Height() - 1; y >= 0;) {
    run.clear();
    for (; y >= 0 && run.size() < runRows; --y)
      run.emplace_back(Picture.ScanLine(y), stride);
    Sink.WriteRanges(run);
    if (Progress != nullptr) {
      Progress->Report(WritingStage,
                       static_cast<double>(Picture.Height() - 1 - y) / Picture.Height());
    }
  }
}

}  // namespace hillograph
