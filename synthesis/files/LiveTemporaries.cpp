#include "synthesis/files/LiveTemporaries.h"

#include <array>
#include <atomic>
#include <climits>
#include <cstring>
#include <memory>
#include <utility>

#include "synthesis/platform/Signals.h"

namespace hillograph {
namespace {

enum : int { Free, Filling, Listed };

// A slot's buffer is made once and kept for the life of the process, so that a handler reading
// it never reads freed memory.
struct TSlot {
  std::atomic<int> State{Free};
  std::atomic<char*> Path{nullptr};
};

std::array<TSlot, MaxLiveTemporaries> slots;
std::atomic<std::size_t> hint{0};

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<char*>::is_always_lock_free,
              "a signal handler reads the list");

}  // namespace

TLiveTemporary::TLiveTemporary(const std::string& Path) {
  if (Path.size() >= PATH_MAX) return;
  const std::size_t start = hint.fetch_add(1, std::memory_order_relaxed);
  for (std::size_t n = 0; n < slots.size(); ++n) {
    TSlot& slot = slots[(start + n) % slots.size()];
    int free = Free;
    if (!slot.State.compare_exchange_strong(free, Filling, std::memory_order_acquire)) continue;
    char* buffer = slot.Path.load(std::memory_order_relaxed);
    if (buffer == nullptr) {
      buffer = new (std::nothrow) char[PATH_MAX];
      if (buffer == nullptr) {
        slot.State.store(Free, std::memory_order_release);
        return;
      }
      slot.Path.store(buffer, std::memory_order_relaxed);
    }
    std::memcpy(buffer, Path.c_str(), Path.size() + 1);
    slot.State.store(Listed, std::memory_order_release);
    slot_ = static_cast<std::ptrdiff_t>((start + n) % slots.size());
    return;
  }
}

TLiveTemporary::TLiveTemporary(TLiveTemporary&& Other) noexcept
    : slot_(std::exchange(Other.slot_, -1)) {}

TLiveTemporary& TLiveTemporary::operator=(TLiveTemporary&& Other) noexcept {
  if (this != &Other) {
    Forget();
    slot_ = std::exchange(Other.slot_, -1);
  }
  return *this;
}

void TLiveTemporary::Forget() {
  if (slot_ < 0) return;
  slots[static_cast<std::size_t>(slot_)].State.store(Free, std::memory_order_release);
  slot_ = -1;
}

void RemoveLiveTemporaries() {
  for (TSlot& slot : slots) {
    if (slot.State.load(std::memory_order_acquire) != Listed) continue;
    if (const char* path = slot.Path.load(std::memory_order_relaxed)) platform::RemoveNow(path);
  }
}

}  // namespace hillograph
