// KEY=VALUE settings of the command line: anything either fails with a message or leaves every
// number inside its field's range.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "parameters/MapParameters.h"
#include "parameters/Settings.h"
#include "synthesis/base/Error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace hillograph;
  TMapParameters params;
  try {
    ApplySetting(params, std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const TError&) {
    return 0;
  }
  for (const TParameterKey& key : ParameterKeys) {
    if (key.Kind != TKeyKind::Number) continue;
    const double v = params.*key.Number;
    if (!(v >= key.Range.Min && v <= key.Range.Max)) std::abort();
  }
  return 0;
}
