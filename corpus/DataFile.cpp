#include "corpus/DataFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace vyk {

namespace {

// Reads exactly len bytes at offset; false on error or an early end of file.
bool ReadFully(int fd, char* buffer, int64_t len, int64_t offset) {
  while (len > 0) {
    const ssize_t got = ::pread(fd, buffer, static_cast<size_t>(len), static_cast<off_t>(offset));
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) return false;
    buffer += got;
    len -= got;
    offset += got;
  }
  return true;
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
  if (!ReadFully(fd_, out.data(), len, pos - 1)) {
    out.clear();
    return false;
  }
  return true;
}

std::string DataFile::ReadUpTo(int64_t pos, int64_t len) const {
  std::string out;
  if (fd_ < 0 || pos < 1 || len <= 0) return out;
  out.resize(static_cast<std::size_t>(len));
  std::size_t have = 0;
  while (have < out.size()) {
    const ssize_t got = ::pread(fd_, out.data() + have, out.size() - have,
                                static_cast<off_t>(pos - 1 + static_cast<int64_t>(have)));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    have += static_cast<std::size_t>(got);
  }
  out.resize(have);
  return out;
}

}  // namespace vyk
