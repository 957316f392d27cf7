// PNG files read with a second library, independent of the program's encoder.
#pragma once

#include <spng.h>

#include <string>

namespace hillograph::testing {

// Decodes a PNG file's bytes to the format asked for; empty when the decoder refuses them.
inline std::string DecodePng(const std::string& png, spng_format format, spng_ihdr& header) {
  spng_ctx* ctx = spng_ctx_new(0);
  std::string out;
  std::size_t size = 0;
  if (spng_set_png_buffer(ctx, png.data(), png.size()) == 0 && spng_get_ihdr(ctx, &header) == 0 &&
      spng_decoded_image_size(ctx, format, &size) == 0) {
    out.resize(size);
    if (spng_decode_image(ctx, out.data(), size, format, 0) != 0) out.clear();
  }
  spng_ctx_free(ctx);
  return out;
}

}  // namespace hillograph::testing
