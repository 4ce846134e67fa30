#pragma once
// A temporary folder per test or benchmark, and plain file helpers.

#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

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

// The names in a folder, sorted, hidden ones included.
inline std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// A FIFO that no process ever opens for writing: opening it for reading the
// usual way waits forever.
inline std::string MakeFifo(const std::string& path) {
  if (::mkfifo(path.c_str(), 0600) != 0) std::abort();
  return path;
}

// Runs `body` in a child process that an alarm ends after `seconds`, so a
// call that waits on a FIFO fails the test instead of holding it forever.
// "" when body returned true, else what happened.
inline std::string RunInChild(const std::function<bool()>& body, unsigned seconds = 10) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::alarm(seconds);
    ::_exit(body() ? 0 : 1);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child) return "the child did not run";
  if (WIFSIGNALED(status))
    return WTERMSIG(status) == SIGALRM ? "still waiting after " + std::to_string(seconds) + " s" : "killed by a signal";
  return WEXITSTATUS(status) == 0 ? "" : "returned false";
}

inline std::string TempDir::Write(std::string_view name, std::string_view bytes) const {
  std::string file = File(name);
  WriteBytes(file, bytes);
  return file;
}

}  // namespace vyk::test
