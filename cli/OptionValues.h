// The values of hillograph-render's options that need more than a number: the map size and the
// seed list of a batch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "parameters/MapSize.h"

namespace hillograph {

// "WIDTHxHEIGHT" (also "X"), each side 1 .. MaxMapSide. Throws TError naming the allowed range.
TMapSize ParseMapSize(std::string_view Text);

// The seeds of a batch, in the order they were given.
class TSeedList {
 public:
  // "FROM..TO" (inclusive, FROM <= TO) or "A,B,C"; every seed 0 .. 2147483647. Throws TError.
  static TSeedList Parse(std::string_view Text);

  std::size_t Count() const { return list_.empty() ? rangeCount_ : list_.size(); }
  std::int32_t At(std::size_t Index) const {
    return list_.empty()
               ? static_cast<std::int32_t>(from_ + step_ * static_cast<std::int64_t>(Index))
               : list_[Index];
  }

  static constexpr std::int64_t MaxShareCount = 1 << 30;
  // Every Count-th seed from the Index-th on (Index < Count): one of Count interleaved shares, so
  // that the shares together hold each seed once and each share is spread over the whole list.
  TSeedList Share(std::size_t Index, std::size_t Count) const;

 private:
  std::vector<std::int32_t> list_;
  std::int64_t from_ = 0;  // a range: from_, from_ + step_, ...
  std::int64_t step_ = 1;
  std::size_t rangeCount_ = 0;
};

// The placeholder a batch's file names hold.
inline constexpr std::string_view SeedPlaceholder = "{seed}";

// Name with every SeedPlaceholder replaced by the seed in decimal.
std::string ExpandSeed(std::string_view Name, std::int32_t Seed);

}  // namespace hillograph
