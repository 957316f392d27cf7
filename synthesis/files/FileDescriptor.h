// An open file descriptor, closed on every exit.
#pragma once

#include "synthesis/platform/Files.h"

namespace hillograph {

class TFileDescriptor {
 public:
  explicit TFileDescriptor(int Fd) : fd_(Fd) {}
  ~TFileDescriptor() {
    if (fd_ >= 0) platform::Close(fd_);
  }
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace hillograph
