#include "cli/OptionValues.h"

#include <charconv>

#include "parameters/MapParameters.h"
#include "synthesis/Generator.h"
#include "synthesis/base/ArgumentCheck.h"
#include "synthesis/base/Error.h"

namespace hillograph {
namespace {

// A whole decimal number, nothing before or after it; false when Text is anything else.
bool ParseWhole(std::string_view text, std::int64_t& value) {
  if (text.empty() || text.size() > 12) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

std::int32_t ParseSeed(std::string_view text, std::string_view whole) {
  std::int64_t seed = 0;
  if (!ParseWhole(text, seed) || seed < RandSeedRange.Min || seed > RandSeedRange.Max) {
    throw TError("--seeds: \"" + std::string(whole) +
                 "\" is not FROM..TO or A,B,C with seeds 0 .. 2147483647");
  }
  return static_cast<std::int32_t>(seed);
}

}  // namespace

TMapSize ParseMapSize(std::string_view Text) {
  const std::optional<TMapSize> size = ReadMapSize(Text);
  if (!size) {
    throw TError("--size: \"" + std::string(Text) + "\" is not WIDTHxHEIGHT with sides 1 .. " +
                 std::to_string(MaxMapSide));
  }
  return *size;
}

TSeedList TSeedList::Parse(std::string_view Text) {
  TSeedList seeds;
  const std::size_t dots = Text.find("..");
  if (dots != std::string_view::npos) {
    const std::int32_t from = ParseSeed(Text.substr(0, dots), Text);
    const std::int32_t to = ParseSeed(Text.substr(dots + 2), Text);
    if (from > to) {
      throw TError("--seeds: the range \"" + std::string(Text) + "\" runs backwards");
    }
    seeds.from_ = from;
    seeds.rangeCount_ = static_cast<std::size_t>(to - from) + 1;
    return seeds;
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = Text.find(',', start);
    seeds.list_.push_back(ParseSeed(Text.substr(start, comma - start), Text));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return seeds;
}

TSeedList TSeedList::Share(std::size_t Index, std::size_t Count) const {
  CheckArgument("Share count", static_cast<std::int64_t>(Count), 1, MaxShareCount);
  CheckArgument("Share index", static_cast<std::int64_t>(Index), 0,
                static_cast<std::int64_t>(Count) - 1);
  const std::size_t total = this->Count();
  const std::size_t taken = Index < total ? (total - Index + Count - 1) / Count : 0;
  TSeedList share;
  if (list_.empty()) {
    share.from_ = from_ + step_ * static_cast<std::int64_t>(Index);
    share.step_ = step_ * static_cast<std::int64_t>(Count);
    share.rangeCount_ = taken;
    return share;
  }
  share.list_.reserve(taken);
  for (std::size_t i = Index; i < total; i += Count)
    share.list_.push_back(list_[i]);
  return share;
}

std::string ExpandSeed(std::string_view Name, std::int32_t Seed) {
  const std::string seed = std::to_string(Seed);
  std::string out;
  std::size_t start = 0;
  for (std::size_t at = Name.find(SeedPlaceholder); at != std::string_view::npos;
       at = Name.find(SeedPlaceholder, start)) {
    out.append(Name.substr(start, at - start));
    out += seed;
    start = at + SeedPlaceholder.size();
  }
  out.append(Name.substr(start));
  return out;
}

}  // namespace hillograph
