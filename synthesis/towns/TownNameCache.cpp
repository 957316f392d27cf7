#include "synthesis/towns/TownNameCache.h"

#include <chrono>
#include <cstdint>
#include <mutex>

namespace hillograph {
namespace {

struct TTownFileKey {
  std::string Path;
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  std::uint64_t Size = 0;
  std::int64_t Modified = 0;  // nanoseconds since 1970

  bool operator==(const TTownFileKey& Other) const = default;
};

// A file changed within this long before it was read may change again without its size or time
// showing it, within one tick of the file system's clock: its names are not kept.
constexpr std::int64_t SettledNanoseconds = 1'000'000'000;

constexpr std::int64_t NanosecondsPerSecond = 1'000'000'000;

struct TCache {
  std::mutex Lock;
  TTownFileKey Key;
  std::shared_ptr<const TTownNames> Names;  // null: nothing kept
};

TCache& Cache() {
  static TCache cache;
  return cache;
}

}  // namespace

std::shared_ptr<const TTownNames> CachedTownNames(const std::string& FileName) {
  const std::int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                               std::chrono::system_clock::now().time_since_epoch())
                               .count();
  const TTownFile file(FileName);
  if (!file.IsRegular()) return std::make_shared<const TTownNames>();
  const platform::TFileStatus& status = file.Status();
  TTownFileKey key{FileName, status.Device, status.Inode, status.Size,
                   status.ModifiedSeconds * NanosecondsPerSecond + status.ModifiedNanoseconds};
  TCache& cache = Cache();
  std::shared_ptr<const TTownNames> kept;
  {
    const std::lock_guard<std::mutex> lock(cache.Lock);
    if (cache.Key == key) kept = cache.Names;
  }
  if (kept) {
    file.Probe();
    return kept;
  }
  // Read outside the lock: a render of another file need not wait for this one.
  auto names = std::make_shared<const TTownNames>(file.ReadNames());
  if (now - key.Modified < SettledNanoseconds) return names;
  const std::lock_guard<std::mutex> lock(cache.Lock);
  cache.Key = std::move(key);
  cache.Names = names;
  return names;
}

}  // namespace hillograph
