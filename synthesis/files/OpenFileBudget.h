// The files that threads writing many files may hold open together, shared out so that all of
// them stay within the system's limit of open files.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace hillograph {

class TOpenFileBudget {
 public:
  // Left of the process's limit for everything else it does: its standard streams, the files it
  // reads, the folders it lists.
  static constexpr std::size_t Reserve = 10;

  // Files: 1 or more.
  explicit TOpenFileBudget(std::size_t Files);
  // The process's limit less Reserve, at least 1.
  static std::size_t ForThisProcess();

  std::size_t Total() const { return total_; }
  // Takes Count (at most Total()) if that many are left.
  bool TryTake(std::size_t Count);
  // Takes Count (at most Total()), waiting until others give back enough.
  void Take(std::size_t Count);
  void Give(std::size_t Count);

 private:
  const std::size_t total_;
  std::size_t left_;
  std::mutex mutex_;
  std::condition_variable returned_;
};

}  // namespace hillograph
