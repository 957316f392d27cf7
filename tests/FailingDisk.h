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
    TAtomicFile::WriteFunction = [](int, const iovec* pieces, int count) -> long {
      if (budget <= 0) {
        errno = error;
        return -1;
      }
      long size = 0;
      for (int i = 0; i < count; ++i)
        size += static_cast<long>(pieces[i].iov_len);
      const long taken = std::min(budget, size);
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
