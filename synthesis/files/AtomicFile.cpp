#include "synthesis/files/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

#include "synthesis/files/StagedFiles.h"
#include "synthesis/platform/Files.h"

namespace hillograph {
namespace {

constexpr int MaxLinkHops = 40;       // as many links as the system follows in one path
constexpr int MaxNameAttempts = 100;  // unique names tried before giving up
constexpr std::string_view SuffixLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

[[noreturn]] void ThrowError(int error) {
  throw std::system_error(error, std::generic_category());
}

// The links of the last component are followed, also to a file that does not exist yet, so that
// the file a link points to is replaced or created and the link stays.
std::string FollowLinks(std::string path) {
  for (int hop = 0; hop < MaxLinkHops; ++hop) {
    std::string link;
    if (platform::ReadLink(path, link) != 0) return path;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    path = link.starts_with('/') || folder.empty() ? link : (folder / link).string();
  }
  ThrowError(ELOOP);
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

}  // namespace

std::string FolderOf(const std::string& Path) {
  const std::string folder = std::filesystem::path(Path).parent_path().string();
  return folder.empty() ? "." : folder;
}

std::string TemporaryPrefix(std::string_view Target, long NameMax) {
  const std::string_view name = LastComponent(Target);
  const std::size_t fixed = 1 + TemporaryMark.size() + TemporarySuffixLength + TemporaryEnd.size();
  const std::size_t room = NameMax > static_cast<long>(fixed) ? NameMax - fixed : 0;
  return std::string(Target.substr(0, Target.size() - name.size())) + "." +
         std::string(CutStem(name, room)) + std::string(TemporaryMark);
}

TAtomicFile::TAtomicFile(const std::string& Target) {
  platform::TFileStatus existing;
  const bool exists = platform::StatusOf(Target, existing) == 0;
  if (exists) {
    if (existing.Kind == platform::TFileKind::Folder) ThrowError(EISDIR);
    if (existing.Kind != platform::TFileKind::Regular) {
      OpenInPlace(Target);
      return;
    }
  }
  target_ = FollowLinks(Target);
  if (exists && !platform::MayWrite(target_)) ThrowError(EACCES);
  prefix_ = TemporaryPrefix(target_, platform::LongestName(FolderOf(target_)));
  for (int attempt = 0; fd_ < 0; ++attempt) {
    std::string name = prefix_ + RandomSuffix() + std::string(TemporaryEnd);
    const int error = platform::CreateNewFile(name, fd_);
    if (error == 0) {
      live_ = TLiveTemporary(name);
      temporary_ = std::move(name);
    } else if (error != EEXIST || attempt + 1 == MaxNameAttempts) {
      ThrowError(error);
    }
  }
  if (exists) {
    if (const int error = platform::SetPermissions(fd_, existing.Permissions)) Fail(error);
  }
}

// A device, a pipe or a socket cannot be replaced without losing it: the bytes go into it.
void TAtomicFile::OpenInPlace(const std::string& Target) {
  if (const int error = platform::OpenForWriting(Target, fd_)) ThrowError(error);
  inPlace_ = true;
}

TAtomicFile::~TAtomicFile() {
  if (fd_ >= 0) platform::Close(fd_);
  if (!temporary_.empty()) platform::Remove(temporary_);
}

void TAtomicFile::Fail(int error) {
  if (fd_ >= 0) platform::Close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) platform::Remove(temporary_);
  temporary_.clear();
  ThrowError(error);
}

void TAtomicFile::Write(TByteRange Bytes) {
  WriteRanges(std::span(&Bytes, 1));
}

void TAtomicFile::WriteRanges(std::span<TByteRange> Ranges) {
  const platform::TDiskCalls& disk = platform::DiskCalls();
  std::size_t next = 0;
  const auto skipDone = [&] {
    while (next < Ranges.size() && Ranges[next].empty())
      ++next;
  };
  for (skipDone(); next < Ranges.size(); skipDone()) {
    const int count = static_cast<int>(std::min<std::size_t>(
        Ranges.size() - next, static_cast<std::size_t>(platform::MostRangesPerWrite())));
    const long written = disk.Write(fd_, &Ranges[next], count);
    if (written == -EINTR) continue;
    if (written < 0) Fail(static_cast<int>(-written));
    if (written == 0) Fail(ENOSPC);
    // A short write ends inside some range: the rest of it goes first next time.
    for (auto left = static_cast<std::size_t>(written); left > 0; ++next) {
      TByteRange& range = Ranges[next];
      if (left < range.size()) {
        range = range.subspan(left);
        break;
      }
      left -= range.size();
      range = {};
    }
  }
}

void TAtomicFile::Commit() {
  if (inPlace_) {
    if (const int error = platform::Close(std::exchange(fd_, -1))) ThrowError(error);
    return;
  }
  TStagedFile file(std::exchange(fd_, -1), std::exchange(temporary_, {}), target_, prefix_);
  live_.Forget();  // listed by the staged file now
  if (TStagedFiles* set = TStagedFiles::Current()) {
    set->Stage(std::move(file));
    return;
  }
  TStagedFiles one(0, true);
  one.Stage(std::move(file));
  TStagedFiles* const sets[] = {&one};
  const std::vector<TCommitFailure> failures = CommitTogether(sets);
  if (!failures.empty()) ThrowError(failures.front().Error);
}

void WriteFileAtomically(const std::string& Target, std::string_view Data) {
  TAtomicFile file(Target);
  file.Write(Data);
  file.Commit();
}

}  // namespace hillograph
