#include "synthesis/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <system_error>

namespace hillograph {
namespace {

constexpr mode_t NewFileMode = 0666;  // narrowed by the umask, like any newly created file

[[noreturn]] void ThrowError(int error) {
  throw std::system_error(error, std::generic_category());
}

mode_t CurrentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

// A link is followed, so that the file it points to is replaced and the link stays.
std::string ResolveTarget(const std::string& target) {
  const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(target.c_str(), nullptr),
                                                             &std::free);
  return resolved ? std::string(resolved.get()) : target;
}

}  // namespace

TAtomicFile::TWriteFunction TAtomicFile::WriteFunction = nullptr;

TAtomicFile::TAtomicFile(const std::string& Target) : target_(ResolveTarget(Target)) {
  struct stat existing {};
  mode_t mode = NewFileMode & ~CurrentUmask();
  if (::stat(target_.c_str(), &existing) == 0) {
    if (S_ISDIR(existing.st_mode)) ThrowError(EISDIR);
    // A file nobody may write stays as it is, also for a privileged user.
    if ((existing.st_mode & 0222) == 0 || ::access(target_.c_str(), W_OK) != 0) {
      ThrowError(EACCES);
    }
    mode = existing.st_mode & 07777;
  }
  std::string pattern = target_ + ".XXXXXX";
  fd_ = ::mkstemp(pattern.data());
  if (fd_ < 0) ThrowError(errno);
  temporary_ = pattern;
  if (::fchmod(fd_, mode) != 0) Fail(errno);
}

TAtomicFile::~TAtomicFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void TAtomicFile::Fail(int error) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  ::unlink(temporary_.c_str());
  temporary_.clear();
  ThrowError(error);
}

void TAtomicFile::Write(const void* Data, std::size_t Size) {
  const char* p = static_cast<const char*>(Data);
  while (Size > 0) {
    const long written = WriteFunction != nullptr ? WriteFunction(fd_, p, Size)
                                                  : static_cast<long>(::write(fd_, p, Size));
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail(errno);
    }
    if (written == 0) Fail(ENOSPC);
    p += written;
    Size -= static_cast<std::size_t>(written);
  }
}

void TAtomicFile::Commit() {
  if (::fsync(fd_) != 0) Fail(errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 || ::rename(temporary_.c_str(), target_.c_str()) != 0) Fail(errno);
  temporary_.clear();
}

void WriteFileAtomically(const std::string& Target, std::string_view Data) {
  TAtomicFile file(Target);
  file.Write(Data);
  file.Commit();
}

}  // namespace hillograph
