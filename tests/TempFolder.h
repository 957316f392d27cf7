// A fresh folder for the files a test writes, removed with everything in it afterwards.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace hillograph::testing {

class TTempFolder {
 public:
  explicit TTempFolder(
      const std::filesystem::path& parent = std::filesystem::temp_directory_path()) {
    static int count = 0;
    dir_ =
        parent / ("hillograph-test-" + std::to_string(::getpid()) + "-" + std::to_string(++count));
    std::filesystem::create_directories(dir_);
  }
  ~TTempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(dir_, ignored);
  }

  const std::filesystem::path& Dir() const { return dir_; }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Read(const std::string& name) const {
    std::stringstream bytes;
    bytes << std::ifstream(dir_ / name, std::ios::binary).rdbuf();
    return bytes.str();
  }
  // Returns the file's path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
    return Path(name);
  }
  // How many entries the folder holds: stray temporary files show here.
  long Entries() const { return std::distance(std::filesystem::directory_iterator(dir_), {}); }

 private:
  std::filesystem::path dir_;
};

}  // namespace hillograph::testing
