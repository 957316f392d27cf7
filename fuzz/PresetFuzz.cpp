// Preset files: any text loads with every number inside its field's range, and writing one key
// gives that key the written value while the other keys read as before (each input checks the
// written key and the keys of a few other sections and names, which its size picks: over many
// inputs every pair is checked, and one input costs a third of reading every key again). The
// input is the file, then optionally a NUL byte and the value to write.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "parameters/MapParameters.h"
#include "parameters/Preset.h"
#include "parameters/ProfileText.h"
#include "synthesis/base/Error.h"

using namespace hillograph;

constexpr std::string_view Missing = "\x01missing";
constexpr std::size_t OthersChecked = 3;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  const std::string_view text = input.substr(0, split);
  const std::string_view value =
      split == std::string_view::npos ? std::string_view("v") : input.substr(split + 1);

  TProfileText profile(text);
  try {
    const TMapParameters params = PresetParameters(profile);
    for (const TParameterKey& key : ParameterKeys) {
      if (key.Kind != TKeyKind::Number) continue;
      const double v = params.*key.Number;
      if (!(v >= key.Range.Min && v <= key.Range.Max)) std::abort();
    }
  } catch (const TError&) {
    // Text with none of the keys is refused; it must hold none of them.
    for (const TParameterKey& key : ParameterKeys)
      if (profile.ReadString(key.Section, key.Name, Missing) != Missing) std::abort();
  }

  const std::size_t written = value.size() % ParameterKeys.size();
  std::vector<std::size_t> checked = {written};
  for (std::size_t other = 1; other <= OthersChecked; ++other)
    checked.push_back((written + other * (text.size() % 17 + 1)) % ParameterKeys.size());
  const auto readChecked = [&checked](const TProfileText& from) {
    std::vector<std::string> values;
    for (const std::size_t key : checked)
      values.push_back(
          from.ReadString(ParameterKeys[key].Section, ParameterKeys[key].Name, Missing));
    return values;
  };
  std::vector<std::string> expected = readChecked(profile);
  const TParameterKey& key = ParameterKeys[written];
  if (!profile.WriteString(key.Section, key.Name, value)) {
    if (profile.Text() != text) std::abort();
    return 0;
  }
  for (std::size_t i = 0; i < checked.size(); ++i)
    if (checked[i] == written) expected[i] = std::string(value.substr(0, ProfileValueLimit));
  if (readChecked(TProfileText(profile.Text())) != expected) std::abort();
  return 0;
}
