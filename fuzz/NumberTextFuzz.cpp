// The number field's text: any text parses to nothing or to a number, and the normal form of a
// number is stable: formatting what its own text parses to gives the same text again.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "parameters/NumberText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const std::string_view separator : {".", ","}) {
    const auto value = hillograph::ParseNumberText(text, separator);
    if (!value) continue;
    if (!std::isfinite(*value)) std::abort();
    const std::string normal = hillograph::FormatNumberText(*value, separator);
    const auto again = hillograph::ParseNumberText(normal, separator);
    if (!again || hillograph::FormatNumberText(*again, separator) != normal) std::abort();
  }
  return 0;
}
