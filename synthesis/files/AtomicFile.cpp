#include "synthesis/files/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>
#include <filesystem>
#include <memory>
#include <random>
#include <system_error>
#include <utility>

#include "synthesis/files/CommitGroup.h"
#include "synthesis/files/FileDescriptor.h"

namespace hillograph {
namespace {

constexpr mode_t NewFileMode = 0666;  // narrowed by the umask, like any newly created file
constexpr int MaxLinkHops = 40;       // as many links as the system follows in one path
constexpr int MaxNameAttempts = 100;  // unique names tried before giving up
constexpr std::time_t StaleSeconds = 60;
constexpr std::size_t MaxPiecesPerCall = IOV_MAX;  // more and writev refuses the call
constexpr std::string_view SuffixLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

[[noreturn]] void ThrowError(int error) {
  throw std::system_error(error, std::generic_category());
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

std::string FolderOf(const std::string& path) {
  const std::string folder = std::filesystem::path(path).parent_path().string();
  return folder.empty() ? "." : folder;
}

std::string_view LastComponent(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The stem cut to Size bytes, not inside a UTF-8 sequence, so that the name stays readable.
std::string_view CutStem(std::string_view stem, std::size_t size) {
  if (stem.size() <= size) return stem;
  while (size > 0 && (static_cast<unsigned char>(stem[size]) & 0xC0) == 0x80)
    --size;
  return stem.substr(0, size);
}

std::string RandomSuffix() {
  thread_local std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, SuffixLetters.size() - 1);
  std::string suffix(TemporarySuffixLength, '?');
  for (char& c : suffix)
    c = SuffixLetters[pick(generator)];
  return suffix;
}

bool IsTemporaryOf(std::string_view entry, std::string_view prefix) {
  return entry.size() == prefix.size() + TemporarySuffixLength + TemporaryEnd.size() &&
         entry.starts_with(prefix) && entry.ends_with(TemporaryEnd) &&
         entry.substr(prefix.size(), TemporarySuffixLength).find_first_not_of(SuffixLetters) ==
             std::string_view::npos;
}

}  // namespace

int SyncFolder(const std::string& Folder) {
  const int fd = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  const TFileDescriptor file(fd);
  return ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
}

std::string TemporaryPrefix(std::string_view Target, long NameMax) {
  const std::string_view name = LastComponent(Target);
  const std::size_t fixed = 1 + TemporaryMark.size() + TemporarySuffixLength + TemporaryEnd.size();
  const std::size_t room = NameMax > static_cast<long>(fixed) ? NameMax - fixed : 0;
  return std::string(Target.substr(0, Target.size() - name.size())) + "." +
         std::string(CutStem(name, room)) + std::string(TemporaryMark);
}

TAtomicFile::TWriteFunction TAtomicFile::WriteFunction = nullptr;

TAtomicFile::TAtomicFile(const std::string& Target) {
  struct stat existing {};
  bool keepMode = false;
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
    keepMode = true;
  } else {
    target_ = FollowLinks(Target);
  }
  long nameMax = ::pathconf(FolderOf(target_).c_str(), _PC_NAME_MAX);
  if (nameMax <= 0) nameMax = NAME_MAX;
  prefix_ = TemporaryPrefix(target_, nameMax);
  // The kernel narrows the mode by the umask, as for any new file: nothing process-wide changes.
  for (int attempt = 0; fd_ < 0; ++attempt) {
    std::string name = prefix_ + RandomSuffix() + std::string(TemporaryEnd);
    fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, NewFileMode);
    if (fd_ >= 0) {
      live_ = TLiveTemporary(name);
      temporary_ = std::move(name);
    } else if (errno != EEXIST || attempt + 1 == MaxNameAttempts) {
      ThrowError(errno);
    }
  }
  if (keepMode && ::fchmod(fd_, existing.st_mode & 07777) != 0) Fail(errno);
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
  live_.Forget();
}

void TAtomicFile::Fail(int error) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
  ThrowError(error);
}

void TAtomicFile::Write(const void* Data, std::size_t Size) {
  iovec piece{const_cast<void*>(Data), Size};
  Write(std::span(&piece, 1));
}

void TAtomicFile::Write(std::span<iovec> Pieces) {
  std::size_t next = 0;
  const auto skipDone = [&] {
    while (next < Pieces.size() && Pieces[next].iov_len == 0)
      ++next;
  };
  for (skipDone(); next < Pieces.size(); skipDone()) {
    const int count =
        static_cast<int>(std::min<std::size_t>(Pieces.size() - next, MaxPiecesPerCall));
    const long written = WriteFunction != nullptr
                             ? WriteFunction(fd_, &Pieces[next], count)
                             : static_cast<long>(::writev(fd_, &Pieces[next], count));
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail(errno);
    }
    if (written == 0) Fail(ENOSPC);
    // A short write ends inside some piece: the rest of it goes first next time.
    for (auto left = static_cast<std::size_t>(written); left > 0; ++next) {
      iovec& piece = Pieces[next];
      if (left < piece.iov_len) {
        piece.iov_base = static_cast<char*>(piece.iov_base) + left;
        piece.iov_len -= left;
        break;
      }
      left -= piece.iov_len;
      piece.iov_len = 0;
    }
  }
}

void TAtomicFile::Commit() {
  if (inPlace_) {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) ThrowError(errno);
    return;
  }
  if (TCommitGroup* group = TCommitGroup::Current()) {
    group->Adopt(std::exchange(fd_, -1), std::exchange(temporary_, {}), target_);
    return;
  }
  if (::fsync(fd_) != 0) Fail(errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 || ::rename(temporary_.c_str(), target_.c_str()) != 0) Fail(errno);
  live_.Forget();
  temporary_.clear();
  if (const int error = SyncFolder(FolderOf(target_)); error != 0) ThrowError(error);
  RemoveStaleTemporaries();
}

// Files of this kind for the same target that a killed writer left behind. Only old ones go: a
// young one may belong to a write still running in another process.
void TAtomicFile::RemoveStaleTemporaries() const {
  const std::string folder = FolderOf(prefix_);
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
  if (!dir) return;
  const std::string_view prefix = LastComponent(prefix_);
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = ::readdir(dir.get())) {
    if (!IsTemporaryOf(entry->d_name, prefix)) continue;
    struct stat status {};
    if (::fstatat(::dirfd(dir.get()), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISREG(status.st_mode) && now - status.st_mtime > StaleSeconds) {
      ::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
    }
  }
}

void WriteFileAtomically(const std::string& Target, std::string_view Data) {
  TAtomicFile file(Target);
  file.Write(Data);
  file.Commit();
}

}  // namespace hillograph
