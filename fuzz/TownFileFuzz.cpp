// Town databases: any bytes give the same names however the reader is fed; the names are UTF-8
// without line breaks, one per line up to the first Ctrl-Z; NextName hands out every name once per
// cycle with one draw per call, and invents pronounceable names when there are none.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "synthesis/base/Utf8.h"
#include "synthesis/random/Random.h"
#include "synthesis/towns/NameGen.h"
#include "synthesis/towns/TownFile.h"

namespace {

using namespace hillograph;

constexpr std::size_t MaxCalls = 4096;  // NextName calls per input
constexpr std::size_t MaxChecked = 16;  // lists up to this long are checked after every call

void Require(bool condition) {
  if (!condition) std::abort();
}

// Feeds the bytes in three pieces, cut where the first and the last byte say: over many inputs
// every kind of byte falls at a cut.
std::vector<std::string> ReadInPieces(std::string_view bytes) {
  TTownLineReader reader;
  const std::size_t size = bytes.size();
  const std::size_t first = size == 0 ? 0 : static_cast<std::uint8_t>(bytes.front()) % (size + 1);
  const std::size_t second =
      size == 0 ? 0 : first + static_cast<std::uint8_t>(bytes.back()) % (size - first + 1);
  if (reader.Feed(bytes.substr(0, first)) && reader.Feed(bytes.substr(first, second - first)))
    reader.Feed(bytes.substr(second));
  return reader.Finish();
}

std::size_t HandedOut(const TNameGen& names) {
  return std::count(names.Marks.begin(), names.Marks.end(), !names.FreshMark);
}

// Every name once per cycle, one draw per call, UsedCount as many as handed out; a whole cycle,
// then the first two calls of the next.
void CheckCycles(TNameGen& names) {
  const std::size_t n = names.Count();
  std::vector<bool> usedInCycle(n, false);
  std::size_t inCycle = 0;
  for (std::size_t call = 0; call < std::min(MaxCalls, n + 2); ++call) {
    const std::uint32_t before = RandSeed;
    const std::string& name = names.NextName();
    const std::uint32_t after = RandSeed;
    RandSeed = before;
    Random(static_cast<std::int32_t>(n));
    Require(RandSeed == after);
    // The name is one of the list's: which one its address tells.
    const auto offset = reinterpret_cast<std::uintptr_t>(&name) -
                        reinterpret_cast<std::uintptr_t>(names.Names->data());
    const std::size_t index = offset / sizeof(std::string);
    Require(offset % sizeof(std::string) == 0 && index < n && !usedInCycle[index]);
    usedInCycle[index] = true;
    if (++inCycle == n) {
      usedInCycle.assign(n, false);
      inCycle = 0;
    }
    Require(names.UsedCount == static_cast<std::int32_t>(inCycle));
    if (n <= MaxChecked) Require(HandedOut(names) == inCycle);
  }
  Require(HandedOut(names) == inCycle);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  TNameGen names;
  names.FreshMark = size % 2 == 0;  // a load starts a cycle whatever the mark was
  names.UsedCount = 1;
  names.SetNames(TownNamesFromBytes(bytes));
  const std::vector<std::string>& loaded = *names.Names;
  Require(names.Marks.size() == loaded.size() && HandedOut(names) == 0 && names.UsedCount == 0);
  Require(loaded == ReadInPieces(bytes));
  // One name a line: line feeds before the first Ctrl-Z, and one more for text after the last.
  const std::string_view text = bytes.substr(0, bytes.find('\x1A'));
  Require(loaded.size() == std::size_t(std::count(text.begin(), text.end(), '\n')) +
                               (!text.empty() && text.back() != '\n'));
  for (const std::string& name : loaded) {
    Require(ClassifyUtf8(name) != TUtf8Kind::Invalid &&
            name.find_first_of("\r\n\x1A") == std::string::npos);
  }

  RandSeed = 0;
  for (std::size_t i = 0; i < std::min<std::size_t>(size, 4); ++i)
    RandSeed = RandSeed << 8 | data[i];
  if (!loaded.empty()) {
    CheckCycles(names);
    return 0;
  }
  for (int town = 0; town < 3; ++town) {  // invented: valid UTF-8, five to ten letters
    const std::string name = names.NextName();
    Require(ClassifyUtf8(name) != TUtf8Kind::Invalid);
    std::size_t letters = 0;
    for (std::size_t pos = 0; pos < name.size(); ++letters)
      NextCodePoint(name, pos);
    Require(letters >= 5 && letters <= 10);
  }
  return 0;
}
