// A disk that takes a given number of bytes and then fails with a given error, for the files
// written through TAtomicFile while the scope lives.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstddef>

#include "synthesis/files/AtomicFile.h"

namespace hillograph::testing {

class TFailingDiskScope {
 public:
  TFailingDiskScope(long Budget, int Error) {
    budget = Budget;
    error = Error;
    TAtomicFile::WriteFunction = [](int, const void*, std::size_t size) -> long {
      if (budget <= 0) {
        errno = error;
        return -1;
      }
      const long taken = std::min<long>(budget, static_cast<long>(size));
      budget -= taken;
      return taken;
    };
  }
  ~TFailingDiskScope() { TAtomicFile::WriteFunction = nullptr; }

 private:
  static inline long budget = 0;
  static inline int error = 0;
};

}  // namespace hillograph::testing
