#include "synthesis/platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <memory>

// What a system has beyond the common POSIX calls.
#if defined(__linux__) && !defined(__EMSCRIPTEN__)
#define HILLOGRAPH_HAS_SYNCFS 1
#define HILLOGRAPH_HAS_SYNC_FILE_RANGE 1
#define HILLOGRAPH_HAS_NANOSECOND_TIMES 1
#endif
#if __has_include(<sys/resource.h>) && !defined(__EMSCRIPTEN__)
#include <sys/resource.h>
#define HILLOGRAPH_HAS_RLIMIT 1
#endif

namespace hillograph::platform {
namespace {

constexpr mode_t NewFileMode = 0666;  // narrowed by the umask, like any newly created file
// Where the system does not say how many files may be open: as many as a small system allows.
constexpr std::size_t AssumedOpenFileLimit = 256;
#ifdef IOV_MAX
constexpr int MaxRangesPerWrite = IOV_MAX;
#else
constexpr int MaxRangesPerWrite = 16;  // the least POSIX allows
#endif

int Error(int result) {
  return result == 0 ? 0 : errno;
}

void Fill(const struct stat& from, TFileStatus& to) {
  to.Kind = S_ISREG(from.st_mode)   ? TFileKind::Regular
            : S_ISDIR(from.st_mode) ? TFileKind::Folder
            : S_ISLNK(from.st_mode) ? TFileKind::Link
                                    : TFileKind::Other;
  to.Permissions = static_cast<unsigned>(from.st_mode & 07777);
  to.Device = static_cast<std::uint64_t>(from.st_dev);
  to.Inode = static_cast<std::uint64_t>(from.st_ino);
  to.Size = static_cast<std::uint64_t>(from.st_size);
  to.ModifiedSeconds = static_cast<std::int64_t>(from.st_mtime);
#ifdef HILLOGRAPH_HAS_NANOSECOND_TIMES
  to.ModifiedNanoseconds = static_cast<std::int64_t>(from.st_mtim.tv_nsec);
#else
  to.ModifiedNanoseconds = 0;
#endif
}

long SystemWrite(int fd, const TByteRange* ranges, int count) {
  std::array<iovec, MaxRangesPerWrite> pieces;
  count = std::min(count, MaxRangesPerWrite);
  for (int i = 0; i < count; ++i)
    pieces[i] = {const_cast<std::uint8_t*>(ranges[i].data()), ranges[i].size()};
  const ssize_t written = ::writev(fd, pieces.data(), count);
  return written >= 0 ? static_cast<long>(written) : -errno;
}

int SystemSyncFile(int fd) {
  return Error(::fsync(fd));
}

int SystemSyncFileSystem([[maybe_unused]] int fd) {
#ifdef HILLOGRAPH_HAS_SYNCFS
  return Error(::syncfs(fd));
#else
  return ENOSYS;
#endif
}

int SystemCheckWritten(int fd) {
#ifdef HILLOGRAPH_HAS_SYNC_FILE_RANGE
  const unsigned flags =
      SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;
  return Error(::sync_file_range(fd, 0, 0, flags));
#else
  return Error(::fsync(fd));
#endif
}

constexpr TDiskCalls SystemCalls{&SystemWrite, &SystemSyncFile, &SystemSyncFileSystem,
                                 &SystemCheckWritten};
TDiskCalls calls = SystemCalls;

}  // namespace

int StatusOf(const std::string& Path, TFileStatus& Status, bool FollowLinks) {
  struct stat status {};
  const int result = FollowLinks ? ::stat(Path.c_str(), &status) : ::lstat(Path.c_str(), &status);
  if (result != 0) return errno;
  Fill(status, Status);
  return 0;
}

int StatusOf(int Fd, TFileStatus& Status) {
  struct stat status {};
  if (::fstat(Fd, &status) != 0) return errno;
  Fill(status, Status);
  return 0;
}

int ReadLink(const std::string& Path, std::string& Target) {
  struct stat status {};
  if (::lstat(Path.c_str(), &status) != 0) return errno;
  Target.assign(static_cast<std::size_t>(status.st_size) + PATH_MAX, '\0');
  const ssize_t length = ::readlink(Path.c_str(), Target.data(), Target.size());
  if (length < 0) return errno;
  Target.resize(static_cast<std::size_t>(length));
  return 0;
}

long LongestName(const std::string& Folder) {
  const long longest = ::pathconf(Folder.c_str(), _PC_NAME_MAX);
  return longest > 0 ? longest : NAME_MAX;
}

bool MayWrite(const std::string& Path) {
  struct stat status {};
  // A file nobody may write stays as it is, also for a privileged user.
  return ::stat(Path.c_str(), &status) == 0 && (status.st_mode & 0222) != 0 &&
         ::access(Path.c_str(), W_OK) == 0;
}

int ListFolder(const std::string& Folder, std::vector<std::string>& Names) {
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(Folder.c_str()), &::closedir);
  if (!dir) return errno;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") Names.emplace_back(name);
  }
  return 0;
}

int OpenForReading(const std::string& Path, int& Fd) {
  Fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  return Fd >= 0 ? 0 : errno;
}

int SetBlocking(int Fd) {
  const int flags = ::fcntl(Fd, F_GETFL);
  return flags < 0 || ::fcntl(Fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ? errno : 0;
}

long Read(int Fd, void* Buffer, std::size_t Size) {
  const ssize_t count = ::read(Fd, Buffer, Size);
  return count >= 0 ? static_cast<long>(count) : -errno;
}

long ReadAt(int Fd, void* Buffer, std::size_t Size, std::uint64_t Offset) {
  const ssize_t count = ::pread(Fd, Buffer, Size, static_cast<off_t>(Offset));
  return count >= 0 ? static_cast<long>(count) : -errno;
}

int CreateNewFile(const std::string& Path, int& Fd) {
  // The kernel narrows the mode by the umask: nothing process-wide changes.
  Fd = ::open(Path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, NewFileMode);
  return Fd >= 0 ? 0 : errno;
}

int OpenForWriting(const std::string& Path, int& Fd) {
  Fd = ::open(Path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (Fd < 0) return errno;
  // Opening did not wait for a pipe's reader; writing does.
  if (const int error = SetBlocking(Fd)) {
    ::close(Fd);
    Fd = -1;
    return error;
  }
  return 0;
}

int SetPermissions(int Fd, unsigned Permissions) {
  return Error(::fchmod(Fd, static_cast<mode_t>(Permissions)));
}

int Close(int Fd) {
  return Error(::close(Fd));
}

int Rename(const std::string& From, const std::string& To) {
  return Error(::rename(From.c_str(), To.c_str()));
}

int Remove(const std::string& Path) {
  return Error(::unlink(Path.c_str()));
}

int SyncFolder(const std::string& Folder) {
  const int fd = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int error = Error(::fsync(fd));
  ::close(fd);
  return error == EINVAL ? 0 : error;
}

std::size_t OpenFileLimit() {
#ifdef HILLOGRAPH_HAS_RLIMIT
  // Where the limit is unlimited: more than any batch keeps open.
  constexpr std::size_t LargestOpenFileLimit = 1 << 20;
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) == 0) {
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > LargestOpenFileLimit)
      return LargestOpenFileLimit;
    return static_cast<std::size_t>(limit.rlim_cur);
  }
#endif
  return AssumedOpenFileLimit;
}

int MostRangesPerWrite() {
  return MaxRangesPerWrite;
}

TDiskCalls& DiskCalls() {
  return calls;
}

const TDiskCalls& SystemDiskCalls() {
  return SystemCalls;
}

}  // namespace hillograph::platform
