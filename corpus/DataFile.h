#pragma once
// The open data file: read-only, shared, addressed by 1-based byte position.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/CheckedFiles.h"

namespace vyk {

class DataFile {
public:
  DataFile() = default;
  ~DataFile();
  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;
  DataFile(DataFile&& other) noexcept;
  DataFile& operator=(DataFile&& other) noexcept;

  // Closes any file held, then opens `path` for reading raw bytes. Other
  // programs may read and write the file meanwhile (no lock is taken). Only
  // a regular file opens (a link to one counts); a FIFO or device is refused
  // at once, without waiting on it.
  bool Open(const std::string& path);
  bool IsOpen() const { return fd_ >= 0; }
  void Close();

  // Current length in bytes; -1 when no file is open.
  int64_t Length() const;

  // The file as it was when opened, and as it is now (nullopt when closed):
  // they differ once another program has rewritten it.
  const FileIdentity& OpenedIdentity() const { return opened_; }
  std::optional<FileIdentity> CurrentIdentity() const;

  // `len` bytes at 1-based `pos`. Fails (nullopt) on a closed file, pos < 1,
  // len < 0, or when the file ends before pos + len - 1; never a partial read.
  std::optional<std::string> ReadAt(int64_t pos, int64_t len) const;

  // Same as ReadAt into a caller's buffer, so a loop over records reuses one
  // allocation. On failure `out` is left empty.
  bool ReadInto(int64_t pos, int64_t len, std::string& out) const;

  // Whatever bytes exist at pos..pos+len-1, fewer (or none) near the end of
  // the file; for the index walk, whose last entry may be cut short.
  std::string ReadUpTo(int64_t pos, int64_t len) const;

private:
  int fd_ = -1;
  FileIdentity opened_;
};

}  // namespace vyk
