#include "synthesis/files/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <system_error>

namespace hillograph {
namespace {

constexpr mode_t NewFileMode = 0666;  // narrowed by the umask, like any newly created file
constexpr int MaxLinkHops = 40;       // as many links as the system follows in one path

[[noreturn]] void ThrowError(int error) {
  throw std::system_error(error, std::generic_category());
}

mode_t CurrentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

// The links of the last component are followed, also to a file that does not exist yet, so that
// the file a link points to is replaced or created and the link stays.
std::string FollowLinks(std::string path) {
  for (int hop = 0; hop < MaxLinkHops; ++hop) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    std::string link(static_cast<std::size_t>(status.st_size) + PATH_MAX, '\0');
    const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
    if (length < 0) return path;
    link.resize(static_cast<std::size_t>(length));
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    path = link.starts_with('/') || folder.empty() ? link : (folder / link).string();
  }
  ThrowError(ELOOP);
}

}  // namespace

TAtomicFile::TWriteFunction TAtomicFile::WriteFunction = nullptr;

TAtomicFile::TAtomicFile(const std::string& Target) {
  struct stat existing {};
  mode_t mode = NewFileMode & ~CurrentUmask();
  if (::stat(Target.c_str(), &existing) == 0) {
    if (S_ISDIR(existing.st_mode)) ThrowError(EISDIR);
    if (!S_ISREG(existing.st_mode)) {
      OpenInPlace(Target);
      return;
    }
    target_ = FollowLinks(Target);
    // A file nobody may write stays as it is, also for a privileged user.
    if ((existing.st_mode & 0222) == 0 || ::access(target_.c_str(), W_OK) != 0) {
      ThrowError(EACCES);
    }
    mode = existing.st_mode & 07777;
  } else {
    target_ = FollowLinks(Target);
  }
  std::string pattern = target_ + ".XXXXXX";
  fd_ = ::mkstemp(pattern.data());
  if (fd_ < 0) ThrowError(errno);
  temporary_ = pattern;
  if (::fchmod(fd_, mode) != 0) Fail(errno);
}

// A device, a pipe or a socket cannot be replaced without losing it: the bytes go into it. Opening
// does not wait for a pipe's reader; writing does.
void TAtomicFile::OpenInPlace(const std::string& Target) {
  fd_ = ::open(Target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) ThrowError(errno);
  const int flags = ::fcntl(fd_, F_GETFL);
  if (flags < 0 || ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) != 0) Fail(errno);
  inPlace_ = true;
}

TAtomicFile::~TAtomicFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void TAtomicFile::Fail(int error) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
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
  if (inPlace_) {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) ThrowError(errno);
    return;
  }
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
