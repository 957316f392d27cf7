// A disk for the files written through TAtomicFile while the scope lives: it takes a given number
// of bytes and then fails with a given error, its syncs fail on a given device, and every sync
// is counted.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "synthesis/platform/Files.h"

namespace hillograph::testing {

struct TDiskSyncs {
  int Files = 0;        // syncs of one file
  int FileSystems = 0;  // syncs of a whole file system, answered or not
  int Checks = 0;       // checks of a file after its file system's sync
};

class TFailingDiskScope {
 public:
  static constexpr std::uint64_t NoDevice = UINT64_MAX;

  // A disk that takes Budget bytes (all when negative), then fails writes with Error.
  explicit TFailingDiskScope(long Budget = -1, int Error = 0) {
    budget = Budget, error = Error, syncs = {};
    syncDevice = fileSystemDevice = NoDevice;
    platform::DiskCalls() = {&Write, &SyncFile, &SyncFileSystem, &CheckWritten};
  }
  ~TFailingDiskScope() { platform::DiskCalls() = platform::SystemDiskCalls(); }
  TFailingDiskScope(const TFailingDiskScope&) = delete;
  TFailingDiskScope& operator=(const TFailingDiskScope&) = delete;

  // Syncs of a file on Device, and checks after its file system's sync, fail with Error.
  void FailSyncs(std::uint64_t Device, int Error) { syncDevice = Device, syncError = Error; }
  // Syncs of Device's whole file system fail with Error (ENOSYS: the system has none).
  void FailFileSystemSyncs(std::uint64_t Device, int Error) {
    fileSystemDevice = Device, fileSystemError = Error;
  }
  static TDiskSyncs Syncs() { return syncs; }

 private:
  static bool On(int fd, std::uint64_t device) {
    platform::TFileStatus status;
    return device != NoDevice && platform::StatusOf(fd, status) == 0 && status.Device == device;
  }
  static long Write(int fd, const platform::TByteRange* ranges, int count) {
    if (budget < 0) return platform::SystemDiskCalls().Write(fd, ranges, count);
    if (budget == 0) return -error;
    long size = 0;
    for (int i = 0; i < count; ++i)
      size += static_cast<long>(ranges[i].size());
    const long taken = std::min(budget, size);
    budget -= taken;
    return taken;
  }
  static int SyncFile(int fd) {
    ++syncs.Files;
    return On(fd, syncDevice) ? syncError : platform::SystemDiskCalls().SyncFile(fd);
  }
  static int SyncFileSystem(int fd) {
    ++syncs.FileSystems;
    return On(fd, fileSystemDevice) ? fileSystemError
                                    : platform::SystemDiskCalls().SyncFileSystem(fd);
  }
  static int CheckWritten(int fd) {
    ++syncs.Checks;
    return On(fd, syncDevice) ? syncError : platform::SystemDiskCalls().CheckWritten(fd);
  }

  static inline long budget = -1;
  static inline int error = 0, syncError = 0, fileSystemError = 0;
  static inline TDiskSyncs syncs;
  static inline std::uint64_t syncDevice = NoDevice, fileSystemDevice = NoDevice;
};

}  // namespace hillograph::testing
