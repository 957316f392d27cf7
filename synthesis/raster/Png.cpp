#include "synthesis/raster/Png.h"

#include <libdeflate.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <exception>
#include <memory>
#include <new>
#include <vector>

#include "synthesis/base/Error.h"
#include "synthesis/memory/HugePages.h"
#include "synthesis/raster/PngErrors.h"

#if defined(__SSE2__) && !defined(HILLOGRAPH_PORTABLE)
#include <emmintrin.h>
#define HILLOGRAPH_PNG_SSE2 1
#endif

namespace hillograph {
namespace {

// Every row Up-filtered, then the whole image deflated in one call at libdeflate's fastest level;
// libpng writes the signature, the header and the chunks around it. Measured on the default map at
// 1000 x 1000: 400 KB in 10 ms, against 473 KB in 16 ms for zlib's fastest level on the same rows
// (what libpng itself would use), 485 KB in 9 ms unfiltered, and 482 KB in about 100 ms from the
// general-purpose encoder used before. 16-bit heights change smoothly from row to row, and Up
// suits them too.
constexpr int CompressionLevel = 1;
constexpr std::uint8_t UpFilter = 2;
// Smooth 16-bit heights differ in their low bytes from cell to cell much as noise does, whatever
// the filter: on the default map at 1000 x 1000 deflating them took 23 ms, more than smoothing
// them, to save 29 % (1.42 MB of 2.00 MB); stored, they take a fifth of that. Stored rows are left
// unfiltered.
constexpr int StoredLevel = 0;
constexpr std::uint8_t NoFilter = 0;
// Bytes of compressed data per IDAT chunk: small enough that a test's picture spans several.
constexpr std::size_t ChunkSize = 32 * 1024;
// Rows between two progress reports.
constexpr std::int32_t ReportEvery = 256;
// Gathering the rows is about this share of the encoding's time; deflating is the rest.
constexpr double GatheringShare = 0.2;
constexpr const char* EncodingStage = "Encoding";

struct TCompressorFree {
  void operator()(libdeflate_compressor* compressor) const {
    libdeflate_free_compressor(compressor);
  }
};
using TCompressor = std::unique_ptr<libdeflate_compressor, TCompressorFree>;

// A buffer whose bytes are all written before they are read: its pages are left untouched until
// then, so a large bound costs only what is used of it. Large ones are mapped in huge pages.
class TBytes {
 public:
  TBytes() = default;
  ~TBytes() { Release(); }
  TBytes(const TBytes&) = delete;
  TBytes& operator=(const TBytes&) = delete;

  std::uint8_t* Get(std::size_t size) {
    if (size > capacity_) {
      Release();
      bytes_ = static_cast<std::uint8_t*>(AllocateBlock(size));
      capacity_ = size;
    }
    return bytes_;
  }
  std::size_t Capacity() const { return capacity_; }

 private:
  void Release() {
    FreeBlock(bytes_, capacity_);
    bytes_ = nullptr;
    capacity_ = 0;
  }

  std::uint8_t* bytes_ = nullptr;
  std::size_t capacity_ = 0;
};

// A batch encodes one picture after another on each thread: the buffers and the compressor stay
// for the next one rather than being mapped and faulted in again, unless they grew past this.
constexpr std::size_t KeptBufferSize = 32 << 20;

struct TScratch {
  TCompressor Compressor;
  TCompressor Storer;
  TBytes Rows;
  TBytes Compressed;
};
thread_local std::unique_ptr<TScratch> Scratch;

// Out = Row - Above, byte by byte (the compiler does not vectorise a loop of unknown length).
void SubtractRow(const std::uint8_t* row, const std::uint8_t* above, std::uint8_t* out,
                 std::size_t size) {
  std::size_t i = 0;
#ifdef HILLOGRAPH_PNG_SSE2
  for (; i + 16 <= size; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(above + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_sub_epi8(a, b));
  }
#endif
  for (; i < size; ++i)
    out[i] = static_cast<std::uint8_t>(row[i] - above[i]);
}

// Writes the rows as PNG stores them, each after its filter byte, to Out: Up-filtered when
// Filtered, otherwise as they are.
void FilterRows(std::int32_t width, std::int32_t height, std::size_t bytesPerPixel,
                const TPngRowSource& rows, bool filtered, TProgress* progress, std::uint8_t* out) {
  const std::size_t rowSize = static_cast<std::size_t>(width) * bytesPerPixel;
  // Each row is gathered beside the one above it and written filtered.
  std::vector<std::uint8_t> above(filtered ? rowSize : 0, 0);  // zeros above the first row
  std::vector<std::uint8_t> row(filtered ? rowSize : 0);
  for (std::int32_t y = 0; y < height; ++y, out += rowSize + 1) {
    if (!filtered) {
      out[0] = NoFilter;
      rows(y, out + 1);
    } else {
      rows(y, row.data());
      out[0] = UpFilter;
      SubtractRow(row.data(), above.data(), out + 1, rowSize);
      row.swap(above);
    }
    if (progress != nullptr && y % ReportEvery == 0)
      progress->Report(EncodingStage, GatheringShare * y / height);
  }
}

// What libpng's callbacks need. libpng reports errors by longjmp: no C++ exception may cross its
// frames, so a failure of the sink waits here until control is back in our code.
struct TEncoder {
  TByteSink* Sink;
  std::exception_ptr Failure;
  char Message[PngMessageSize];
};

void OnWrite(png_structp png, png_bytep data, png_size_t size) {
  auto* encoder = static_cast<TEncoder*>(png_get_io_ptr(png));
  bool failed = false;
  try {
    encoder->Sink->Write(data, size);
  } catch (...) {
    encoder->Failure = std::current_exception();
    failed = true;
  }
  // Nothing with a destructor is alive in this frame any more.
  if (failed) png_error(png, "the sink failed");
}

void OnFlush(png_structp) {}

class TPngWriteStruct {
 public:
  explicit TPngWriteStruct(TEncoder& encoder) {
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, encoder.Message, &KeepPngError,
                                   &IgnorePngWarning);
    if (png_ != nullptr) info_ = png_create_info_struct(png_);
    if (info_ == nullptr) {
      png_destroy_write_struct(&png_, nullptr);
      throw std::bad_alloc();
    }
  }
  ~TPngWriteStruct() { png_destroy_write_struct(&png_, &info_); }
  TPngWriteStruct(const TPngWriteStruct&) = delete;
  TPngWriteStruct& operator=(const TPngWriteStruct&) = delete;

  png_structp Png() const { return png_; }
  png_infop Info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

// The file around the compressed image data, between setjmp and libpng's longjmp; only plain data
// lives in this frame. Returns false when libpng failed.
bool WriteChunks(png_structp png, png_infop info, TEncoder& encoder, std::int32_t width,
                 std::int32_t height, TPngKind kind, const std::uint8_t* compressed,
                 std::size_t size, png_textp texts, int textCount) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_set_write_fn(png, &encoder, &OnWrite, &OnFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
               kind == TPngKind::Rgb8 ? 8 : 16,
               kind == TPngKind::Rgb8 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (textCount > 0) png_set_text(png, info, texts, textCount);
  png_write_info(png, info);
  for (std::size_t done = 0; done < size; done += ChunkSize) {
    png_write_chunk(png, reinterpret_cast<png_const_bytep>("IDAT"), compressed + done,
                    std::min(ChunkSize, size - done));
  }
  png_write_chunk(png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
  return true;
}

}  // namespace

void WritePng(std::int32_t Width, std::int32_t Height, TPngKind Kind, const TPngRowSource& Rows,
              TByteSink& Sink, TProgress* Progress, std::span<const TPngText> Texts,
              TPngCompression Compression) {
  if (Width < 1 || Height < 1) throw TError("A PNG picture needs at least one pixel");
  const std::size_t bytesPerPixel = Kind == TPngKind::Rgb8 ? 3 : 2;
  if (!Scratch) Scratch = std::make_unique<TScratch>();
  TScratch& scratch = *Scratch;
  const struct TTrim {
    ~TTrim() {
      if (Scratch->Rows.Capacity() + Scratch->Compressed.Capacity() > KeptBufferSize)
        Scratch.reset();
    }
  } trim;
  const bool stored = Compression == TPngCompression::Stored;
  TCompressor& compressor = stored ? scratch.Storer : scratch.Compressor;
  if (!compressor)
    compressor.reset(libdeflate_alloc_compressor(stored ? StoredLevel : CompressionLevel));
  if (!compressor) throw std::bad_alloc();
  const std::size_t rowsSize =
      (static_cast<std::size_t>(Width) * bytesPerPixel + 1) * static_cast<std::size_t>(Height);
  std::uint8_t* const rows = scratch.Rows.Get(rowsSize);
  FilterRows(Width, Height, bytesPerPixel, Rows, !stored, Progress, rows);
  const std::size_t bound = libdeflate_zlib_compress_bound(compressor.get(), rowsSize);
  std::uint8_t* const compressed = scratch.Compressed.Get(bound);
  const std::size_t size =
      libdeflate_zlib_compress(compressor.get(), rows, rowsSize, compressed, bound);
  if (size == 0) throw TError("Cannot encode the picture as PNG: the data does not fit");
  std::vector<png_text> texts(Texts.size());
  for (std::size_t i = 0; i < Texts.size(); ++i) {
    const bool ascii = std::all_of(Texts[i].Text.begin(), Texts[i].Text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    texts[i].compression = ascii ? PNG_TEXT_COMPRESSION_NONE : PNG_ITXT_COMPRESSION_NONE;
    texts[i].key = const_cast<char*>(Texts[i].Keyword.c_str());
    texts[i].text = const_cast<char*>(Texts[i].Text.c_str());
    texts[i].text_length = Texts[i].Text.size();
  }
  TEncoder encoder{&Sink, nullptr, {}};
  const TPngWriteStruct write(encoder);
  const bool done = WriteChunks(write.Png(), write.Info(), encoder, Width, Height, Kind, compressed,
                                size, texts.data(), static_cast<int>(texts.size()));
  if (encoder.Failure) std::rethrow_exception(encoder.Failure);
  if (!done) throw TError(std::string("Cannot encode the picture as PNG: ") + encoder.Message);
  if (Progress != nullptr) Progress->Report(EncodingStage, 1.0);
}

void WritePicturePng(const TPicture& Picture, TByteSink& Sink, TProgress* Progress,
                     std::span<const TPngText> Texts) {
  const std::int32_t width = Picture.Width();
  WritePng(
      width, Picture.Height(), TPngKind::Rgb8,
      [&Picture, width](std::int32_t y, std::uint8_t* out) {
        const std::uint8_t* in = Picture.ScanLine(y);
        for (std::int32_t x = 0; x < width; ++x, in += 3, out += 3) {
          out[0] = in[2];
          out[1] = in[1];
          out[2] = in[0];
        }
      },
      Sink, Progress, Texts);
}

std::string EncodePng(const TPicture& Picture) {
  TStringSink png;
  WritePicturePng(Picture, png);
  return png.Text;
}

}  // namespace hillograph
