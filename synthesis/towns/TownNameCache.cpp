#include "synthesis/towns/TownNameCache.h"

#include <time.h>

#include <cstdint>
#include <mutex>
#include <tuple>

namespace hillograph {
namespace {

struct TTownFileKey {
  std::string Path;
  dev_t Device = 0;
  ino_t Inode = 0;
  off_t Size = 0;
  timespec Modified{};

  bool operator==(const TTownFileKey& Other) const {
    return std::tie(Path, Device, Inode, Size, Modified.tv_sec, Modified.tv_nsec) ==
           std::tie(Other.Path, Other.Device, Other.Inode, Other.Size, Other.Modified.tv_sec,
                    Other.Modified.tv_nsec);
  }
};

// A file changed within this long before it was read may change again without its size or time
// showing it, within one tick of the file system's clock: its names are not kept.
constexpr std::int64_t SettledNanoseconds = 1'000'000'000;

std::int64_t Nanoseconds(const timespec& Time) {
  return static_cast<std::int64_t>(Time.tv_sec) * 1'000'000'000 + Time.tv_nsec;
}

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
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const TTownFile file(FileName);
  if (!file.IsRegular()) return std::make_shared<const TTownNames>();
  const struct stat& status = file.Status();
  TTownFileKey key{FileName, status.st_dev, status.st_ino, status.st_size, status.st_mtim};
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
  if (Nanoseconds(now) - Nanoseconds(key.Modified) < SettledNanoseconds) return names;
  const std::lock_guard<std::mutex> lock(cache.Lock);
  cache.Key = std::move(key);
  cache.Names = names;
  return names;
}

}  // namespace hillograph
