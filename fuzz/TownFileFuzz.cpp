// Town databases: any bytes load as the render loads them, from a file, and give the same names
// however the reader is fed; the names are UTF-8 without line breaks, one per line up to the first
// Ctrl-Z; NextName hands out every name once per cycle with one draw per call, and invents
// pronounceable names when there are none.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "synthesis/base/Random.h"
#include "synthesis/base/Utf8.h"
#include "synthesis/towns/NameGen.h"
#include "synthesis/towns/TownFile.h"

namespace {

using namespace hillograph;

constexpr std::size_t MaxCalls = 4096;   // NextName calls per input
constexpr std::size_t MaxChecked = 256;  // lists up to this long are checked after every call

void Require(bool condition) {
  if (!condition) std::abort();
}

// The bytes as a file that the reader opens by name, in memory.
class TMemoryFile {
 public:
  explicit TMemoryFile(std::string_view bytes) : fd_(::memfd_create("towns", MFD_CLOEXEC)) {
    Require(fd_ >= 0);
    for (std::size_t done = 0; done < bytes.size();) {
      const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
      Require(n > 0);
      done += static_cast<std::size_t>(n);
    }
  }
  ~TMemoryFile() { ::close(fd_); }
  TMemoryFile(const TMemoryFile&) = delete;
  TMemoryFile& operator=(const TMemoryFile&) = delete;
  std::string Name() const { return "/proc/self/fd/" + std::to_string(fd_); }

 private:
  int fd_;
};

// How many lines the bytes hold: line feeds before the first Ctrl-Z, and one more for text after
// the last of them.
std::size_t LineCount(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\x1A'));
  std::size_t count = 0;
  for (const char c : bytes)
    count += c == '\n';
  return count + (!bytes.empty() && bytes.back() != '\n');
}

// Feeds the bytes in pieces whose sizes the bytes themselves decide.
std::vector<std::string> ReadInPieces(std::string_view bytes) {
  TTownLineReader reader;
  std::size_t piece = bytes.empty() ? 1 : static_cast<std::uint8_t>(bytes[0]) % 7 + 1;
  while (!bytes.empty()) {
    const std::string_view head = bytes.substr(0, piece);
    bytes.remove_prefix(head.size());
    if (!reader.Feed(head)) break;
    piece = piece * 5 % 11 + 1;
  }
  return reader.Finish();
}

void CheckInvented(const std::string& name) {
  Require(ClassifyUtf8(name) != TUtf8Kind::Invalid);
  std::size_t letters = 0;
  for (std::size_t pos = 0; pos < name.size(); ++letters)
    NextCodePoint(name, pos);
  Require(letters >= 5 && letters <= 10);
}

std::size_t HandedOut(const TNameGen& names) {
  return static_cast<std::size_t>(
      std::count(names.Marks.begin(), names.Marks.end(), !names.FreshMark));
}

// Every name once per cycle, one draw per call, UsedCount as many as handed out.
void CheckCycles(TNameGen& names, std::uint32_t seed) {
  const std::size_t n = names.Count();
  const std::size_t calls = std::min(MaxCalls, 2 * n + 1);
  std::vector<bool> usedInCycle(n, false);
  std::size_t inCycle = 0;
  RandSeed = seed;
  for (std::size_t call = 0; call < calls; ++call) {
    const std::uint32_t before = RandSeed;
    const std::string& name = names.NextName();
    const std::uint32_t after = RandSeed;
    RandSeed = before;
    Random(static_cast<std::int32_t>(n));
    Require(RandSeed == after);

    // The name is one of the list's: which one its address tells.
    const auto offset = reinterpret_cast<std::uintptr_t>(&name) -
                        reinterpret_cast<std::uintptr_t>(names.Names->data());
    Require(offset % sizeof(std::string) == 0);
    const std::size_t index = offset / sizeof(std::string);
    Require(index < n);
    Require(!usedInCycle[index]);
    usedInCycle[index] = true;
    if (++inCycle == n) {
      usedInCycle.assign(n, false);
      inCycle = 0;
    }
    Require(names.UsedCount == static_cast<std::int32_t>(inCycle));
    if (n <= MaxChecked) Require(HandedOut(names) == inCycle);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const TMemoryFile file(bytes);
  TNameGen names;
  names.FreshMark = size % 2 == 0;  // a load starts a cycle whatever the mark was
  names.LoadFromFile(file.Name());
  const std::vector<std::string> loaded = names.Names ? *names.Names : std::vector<std::string>();
  Require(names.Marks == std::vector<bool>(loaded.size(), names.FreshMark));
  Require(names.UsedCount == 0);
  Require(loaded == ReadInPieces(bytes));
  Require(loaded.size() == LineCount(bytes));
  for (const std::string& name : loaded) {
    Require(ClassifyUtf8(name) != TUtf8Kind::Invalid);
    Require(name.find_first_of("\r\n\x1A") == std::string::npos);
  }

  std::uint32_t seed = 0;
  for (std::size_t i = 0; i < std::min<std::size_t>(size, 4); ++i)
    seed = seed << 8 | data[i];
  if (loaded.empty()) {
    RandSeed = seed;
    for (int town = 0; town < 3; ++town)
      CheckInvented(names.NextName());
    return 0;
  }
  CheckCycles(names, seed);
  return 0;
}
