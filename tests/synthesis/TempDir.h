// A folder of its own for a test, removed with everything in it afterwards.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace hillograph::testing {

class TTempDir {
 public:
  TTempDir() {
    static int counter = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("hillograph-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~TTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  std::string Path(const std::string& name) const { return (path_ / name).string(); }

  // Writes Bytes to the file name in this folder and returns its path.
  std::string Write(const std::string& name, std::string_view Bytes) const {
    const std::string path = Path(name);
    std::ofstream out(path, std::ios::binary);
    out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    return path;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace hillograph::testing
