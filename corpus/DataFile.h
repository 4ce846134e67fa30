#pragma once
// The open data file: read-only, shared, addressed by 1-based byte position.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/CheckedFiles.h"

namespace vyk {

// The save's temporary file in the data folder. A write over the data file
// in place works from it, so after a crash it may hold the only whole copy
// of the new corpus.
inline constexpr std::string_view TempFileName = "sutra.tmp";

// Whether `name` in the folder, a regular file and not a link, is a whole
// data file as a save writes one: the signature, then texts back to back
// from the first text position, then an index of record entries that
// accounts for every text byte and ends the file. A save cut off while it
// wrote the file leaves none such. False too when it cannot be read.
bool HoldsWholeCorpus(int folder, const std::string& name);

// Whether the bytes a load read are still what the open file holds.
enum class HeldContent {
  Intact,     // the same bytes; the name may have gone or moved meanwhile
  Rewritten,  // another program wrote into the file: its records are not what was loaded
  Unknown,    // no file is open, or it could not be read through
};

class DataFile {
public:
  DataFile() = default;
  DataFile(DataFile&& other) noexcept = default;
  DataFile& operator=(DataFile&& other) noexcept = default;

  // Closes any file held, then opens `path` for reading raw bytes. Other
  // programs may read and write the file meanwhile (no lock is taken). Only
  // a regular file opens (a link to one counts); a FIFO or device is refused
  // at once, without waiting on it.
  bool Open(const std::string& path);
  bool IsOpen() const { return static_cast<bool>(fd_); }
  void Close();

  // Current length in bytes; -1 when no file is open.
  int64_t Length() const;

  // The file as it was when opened (its device and inode name it).
  const FileIdentity& OpenedIdentity() const { return opened_; }
  // The open file as it is now; nullopt when closed.
  std::optional<struct stat> CurrentStatus() const;

  // A lock on the open file itself, whatever name led to it, so that two
  // copies of the program that loaded one file under two names do not save
  // it at once. Fails at once, with EWOULDBLOCK, while another holds it;
  // closing the file gives it up.
  bool Lock();
  void Unlock();

  // Takes a digest of the whole file as it is now, the content that later
  // checks compare with. False when it cannot be read through.
  bool NoteContent();

  // Compares the open file with the noted content. While its size and
  // times are as noted, it is taken as it was; else its bytes are read
  // again: a touch, a chmod or a rename leaves it Intact, a rewrite does not,
  // even one that put the modification time back.
  HeldContent CheckContent();

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
  std::optional<uint64_t> Digest() const;

  FileDescriptor fd_;
  FileIdentity opened_;
  // The noted content: its digest, and the status at which the file was
  // last known to hold it.
  std::optional<uint64_t> digest_;
  FileIdentity noted_;
  // The noted status is of the clock's running tick: a further write within
  // that tick would leave it as it is.
  bool racy_ = false;
};

}  // namespace vyk
