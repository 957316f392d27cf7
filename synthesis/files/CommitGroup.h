// Many files made durable with one sync: while a group is open on a thread, TAtomicFile::Commit
// on that thread hands its written, still unsynced temporary file to the group; Flush forces
// them all to the disk with one sync of the file system, checks each file's writes, and only then
// renames each over its target and syncs each folder once. A file still replaces its target only
// after it has reached the disk; forcing every file of a batch out one by one costs far more.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace hillograph {

class TCommitGroup {
 public:
  struct TFailure {
    std::size_t Tag;
    std::string Message;  // Cannot create file "<full path>". <system's reason>
  };

  // Opens the group on this thread; groups do not nest.
  TCommitGroup();
  // Removes the temporary files not flushed: their targets stay as they were.
  ~TCommitGroup();
  TCommitGroup(const TCommitGroup&) = delete;
  TCommitGroup& operator=(const TCommitGroup&) = delete;

  // The group open on this thread, or nullptr.
  static TCommitGroup* Current();

  // Files adopted from now on carry Tag (a batch's map), so that failures name it.
  void SetTag(std::size_t Tag) { tag_ = Tag; }
  std::size_t Pending() const { return pending_.size(); }

  // Takes the open descriptor of a written temporary file that is to replace Target.
  void Adopt(int Fd, std::string Temporary, std::string Target);

  // Syncs, checks and renames every adopted file; returns those that failed (their targets are
  // as they were).
  std::vector<TFailure> Flush();

 private:
  struct TPending {
    int Fd;
    std::string Temporary;
    std::string Target;
    std::size_t Tag;
  };

  std::vector<TPending> pending_;
  std::size_t tag_ = 0;
};

}  // namespace hillograph
