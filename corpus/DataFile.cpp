#include "corpus/DataFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace vyk {

namespace {

// Reads up to len bytes at offset, retrying interrupted reads; returns how
// many arrived before the end of the file or an error.
std::size_t ReadAtMost(int fd, char* buffer, std::size_t len, int64_t offset) {
  std::size_t have = 0;
  while (have < len) {
    const ssize_t got = ::pread(fd, buffer + have, len - have,
                                static_cast<off_t>(offset + static_cast<int64_t>(have)));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    have += static_cast<std::size_t>(got);
  }
  return have;
}

}  // namespace

DataFile::~DataFile() { Close(); }

DataFile::DataFile(DataFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

DataFile& DataFile::operator=(DataFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

bool DataFile::Open(const std::string& path) {
  Close();
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;
  struct stat info {};
  // A folder opens for reading on Linux but is no data file.
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void DataFile::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

int64_t DataFile::Length() const {
  if (fd_ < 0) return -1;
  struct stat info {};
  if (::fstat(fd_, &info) != 0) return -1;
  return static_cast<int64_t>(info.st_size);
}

std::optional<std::string> DataFile::ReadAt(int64_t pos, int64_t len) const {
  std::string out;
  if (!ReadInto(pos, len, out)) return std::nullopt;
  return out;
}

bool DataFile::ReadInto(int64_t pos, int64_t len, std::string& out) const {
  out.clear();
  if (fd_ < 0 || pos < 1 || len < 0) return false;
  out.resize(static_cast<std::size_t>(len));
  if (ReadAtMost(fd_, out.data(), out.size(), pos - 1) != out.size()) {
    out.clear();
    return false;
  }
  return true;
}

std::string DataFile::ReadUpTo(int64_t pos, int64_t len) const {
  std::string out;
  if (fd_ < 0 || pos < 1 || len <= 0) return out;
  out.resize(static_cast<std::size_t>(len));
  const std::size_t have = ReadAtMost(fd_, out.data(), out.size(), pos - 1);
  out.resize(have);
  return out;
}

}  // namespace vyk
