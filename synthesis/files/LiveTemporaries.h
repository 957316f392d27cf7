// The temporary files being written right now, listed so that a process told to quit at once
// (a second Ctrl+C) can remove them from a signal handler before it ends: the handler may not
// allocate, lock or throw, and only reads this list and removes files.
#pragma once

#include <cstddef>
#include <string>

namespace hillograph {

// The most temporaries listed at once; more are written as well, but a quick exit leaves them.
inline constexpr std::size_t MaxLiveTemporaries = 16384;

// Lists Path while it lives: from construction until Forget or destruction.
class TLiveTemporary {
 public:
  TLiveTemporary() = default;
  explicit TLiveTemporary(const std::string& Path);
  ~TLiveTemporary() { Forget(); }
  TLiveTemporary(const TLiveTemporary&) = delete;
  TLiveTemporary& operator=(const TLiveTemporary&) = delete;
  TLiveTemporary(TLiveTemporary&& Other) noexcept;
  TLiveTemporary& operator=(TLiveTemporary&& Other) noexcept;

  // The file was renamed over its target or removed: it is no longer listed.
  void Forget();

 private:
  std::ptrdiff_t slot_ = -1;
};

// Removes every listed file. Safe to call from a signal handler.
void RemoveLiveTemporaries();

}  // namespace hillograph
