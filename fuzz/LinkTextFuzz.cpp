// Link text from anywhere: every number ends inside its range, no file is ever named, and the
// text written for what was read reads back, without a problem, to the same text.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "parameters/LinkText.h"
#include "synthesis/Generator.h"
#include "synthesis/RenderExtras.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace hillograph;
  const TLinkReading reading =
      ReadLinkText(std::string_view(reinterpret_cast<const char*>(data), size));
  const TMapParameters& params = reading.Map.Params;
  for (const TParameterKey& key : ParameterKeys) {
    if (key.Kind != TKeyKind::Number) continue;
    const double v = params.*key.Number;
    const bool side = key.Number == &TMapParameters::Width || key.Number == &TMapParameters::Height;
    const double max = side ? MaxMapSide : key.Range.Max;
    if (!(v >= key.Range.Min && v <= max)) std::abort();
  }
  if (!params.TownDB.empty() || !params.AutoRefresh) std::abort();
  if (reading.Map.LabelScale < 1 || reading.Map.LabelScale > MaxLabelScale) std::abort();
  const std::string text = WriteLinkText(reading.Map);
  const TLinkReading again = ReadLinkText(text);
  if (!again.Problems.empty() || WriteLinkText(again.Map) != text) std::abort();
  return 0;
}
