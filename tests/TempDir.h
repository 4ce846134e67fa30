#pragma once
// A temporary folder per test or benchmark, and plain file helpers.

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace vyk::test {

// A fresh folder, removed with its contents. It lies under the system's
// temporary folder unless a parent is given (the benchmarks write on the build
// folder's disk, so that fsync costs what it costs for a user).
class TempDir {
public:
  explicit TempDir(const std::string& parent = {}) {
    const std::filesystem::path under =
        parent.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(parent);
    std::string pattern = (under / "vyk-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(std::string_view name) const { return path_ + "/" + std::string(name); }

  // Writes `bytes` as the file `name` in the folder; returns its path.
  std::string Write(std::string_view name, std::string_view bytes) const;

private:
  std::string path_;
};

inline void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

inline std::string TempDir::Write(std::string_view name, std::string_view bytes) const {
  std::string file = File(name);
  WriteBytes(file, bytes);
  return file;
}

}  // namespace vyk::test
