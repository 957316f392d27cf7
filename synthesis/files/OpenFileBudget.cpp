#include "synthesis/files/OpenFileBudget.h"

#include <algorithm>

#include "synthesis/base/Error.h"
#include "synthesis/platform/Files.h"

namespace hillograph {

TOpenFileBudget::TOpenFileBudget(std::size_t Files) : total_(Files), left_(Files) {
  if (Files < 1) throw TError("An open-file budget holds at least one file");
}

std::size_t TOpenFileBudget::ForThisProcess() {
  const std::size_t limit = platform::OpenFileLimit();
  return limit > Reserve + 1 ? limit - Reserve : 1;
}

bool TOpenFileBudget::TryTake(std::size_t Count) {
  Count = std::min(Count, total_);
  const std::lock_guard lock(mutex_);
  if (left_ < Count) return false;
  left_ -= Count;
  return true;
}

void TOpenFileBudget::Take(std::size_t Count) {
  Count = std::min(Count, total_);
  std::unique_lock lock(mutex_);
  returned_.wait(lock, [&] { return left_ >= Count; });
  left_ -= Count;
}

void TOpenFileBudget::Give(std::size_t Count) {
  {
    const std::lock_guard lock(mutex_);
    left_ = std::min(total_, left_ + Count);
  }
  returned_.notify_all();
}

}  // namespace hillograph
