#include "synthesis/raster/PngText.h"

#include <png.h>

#include <array>
#include <csetjmp>
#include <exception>
#include <new>

#include "synthesis/base/Error.h"
#include "synthesis/raster/PngErrors.h"

namespace hillograph {
namespace {

// What libpng's callbacks need. libpng reports errors by longjmp: no C++ exception may cross its
// frames, so a failure of the source waits here until control is back in our code.
struct TReader {
  const TPngByteSource* Source;
  std::size_t Left;  // of the bytes it may read
  std::exception_ptr Failure;
  char Message[PngMessageSize];
};

void OnRead(png_structp png, png_bytep data, png_size_t size) {
  auto* reader = static_cast<TReader*>(png_get_io_ptr(png));
  bool ended = false;
  bool failed = false;
  if (size > reader->Left) png_error(png, "too much comes before the image data");
  reader->Left -= size;
  try {
    for (std::size_t done = 0; done < size && !ended;) {
      const std::size_t got = (*reader->Source)(data + done, size - done);
      ended = got == 0;
      done += got;
    }
  } catch (...) {
    reader->Failure = std::current_exception();
    failed = true;
  }
  // Nothing with a destructor is alive in this frame any more.
  if (failed) png_error(png, "the source failed");
  if (ended) png_error(png, "the file ends before its image data");
}

class TPngReadStruct {
 public:
  explicit TPngReadStruct(TReader& reader) {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, reader.Message, &KeepPngError,
                                  &IgnorePngWarning);
    if (png_ != nullptr) info_ = png_create_info_struct(png_);
    if (info_ == nullptr) {
      png_destroy_read_struct(&png_, nullptr, nullptr);
      throw std::bad_alloc();
    }
  }
  ~TPngReadStruct() { png_destroy_read_struct(&png_, &info_, nullptr); }
  TPngReadStruct(const TPngReadStruct&) = delete;
  TPngReadStruct& operator=(const TPngReadStruct&) = delete;

  png_structp Png() const { return png_; }
  png_infop Info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

// Reads the chunks up to the image data, between setjmp and libpng's longjmp; only plain data
// lives in this frame. Returns false when libpng failed.
bool ReadInfo(png_structp png, png_infop info, TReader& reader) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_set_read_fn(png, &reader, &OnRead);
  png_set_sig_bytes(png, PngSignatureSize);
  png_set_chunk_cache_max(png, MaxPngTextChunks);
  png_set_chunk_malloc_max(png, MaxPngChunkBytes);
  png_read_info(png, info);
  return true;
}

}  // namespace

bool IsPngSignature(const void* Bytes, std::size_t Size) {
  return Size >= PngSignatureSize &&
         png_sig_cmp(static_cast<png_const_bytep>(Bytes), 0, PngSignatureSize) == 0;
}

std::optional<std::vector<TPngText>> ReadPngText(const TPngByteSource& Source) {
  std::array<unsigned char, PngSignatureSize> signature{};
  std::size_t got = 0;
  for (std::size_t part = 1; got < signature.size() && part != 0; got += part)
    part = Source(signature.data() + got, signature.size() - got);
  if (!IsPngSignature(signature.data(), got)) return std::nullopt;
  TReader reader{&Source, MaxPngBytesBeforeImage - PngSignatureSize, nullptr, {}};
  const TPngReadStruct read(reader);
  const bool done = ReadInfo(read.Png(), read.Info(), reader);
  if (reader.Failure) std::rethrow_exception(reader.Failure);
  if (!done) throw TError(std::string("Damaged PNG file: ") + reader.Message);
  png_textp texts = nullptr;
  const int count = png_get_text(read.Png(), read.Info(), &texts, nullptr);
  std::vector<TPngText> out;
  for (int i = 0; i < count; ++i) {
    out.push_back({texts[i].key,
                   std::string(texts[i].text, texts[i].itxt_length > 0 ? texts[i].itxt_length
                                                                       : texts[i].text_length)});
  }
  return out;
}

}  // namespace hillograph
