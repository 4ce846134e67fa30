#include "corpus/DataFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace vyk {

DataFile::~DataFile() { Close(); }

DataFile::DataFile(DataFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)), opened_(other.opened_) {}

DataFile& DataFile::operator=(DataFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    opened_ = other.opened_;
  }
  return *this;
}

bool DataFile::Open(const std::string& path) {
  Close();
  OpenedFile file = OpenRegularFile(path);
  if (!file) return false;
  opened_ = FileIdentity::Of(file.status);
  fd_ = file.fd.Release();
  return true;
}

std::optional<FileIdentity> DataFile::CurrentIdentity() const {
  struct stat info {};
  if (fd_ < 0 || ::fstat(fd_, &info) != 0) return std::nullopt;
  return FileIdentity::Of(info);
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
  if (vyk::ReadAt(fd_, out.data(), out.size(), pos - 1) != out.size()) {
    out.clear();
    return false;
  }
  return true;
}

std::string DataFile::ReadUpTo(int64_t pos, int64_t len) const {
  std::string out;
  if (fd_ < 0 || pos < 1 || len <= 0) return out;
  out.resize(static_cast<std::size_t>(len));
  const std::size_t have = vyk::ReadAt(fd_, out.data(), out.size(), pos - 1);
  out.resize(have);
  return out;
}

}  // namespace vyk
