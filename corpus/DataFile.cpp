#include "corpus/DataFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstring>

#include "corpus/Base255.h"
#include "corpus/CorpusState.h"
#include "corpus/SutraRecord.h"

namespace vyk {

namespace {

// A 64-bit digest in four lanes of 8 bytes: fast enough to read the whole
// corpus back in a fraction of a save. It tells apart contents, not
// attackers: a program out to fool it could as well write into the file
// after the check.
class ContentDigest {
public:
  static constexpr std::size_t Stripe = 32;

  // Every piece but the last must be a whole number of stripes.
  void Add(const char* data, std::size_t size) {
    length_ += size;
    // The lanes in locals: the bytes read might alias them for all the
    // compiler knows, and it would store them after every round.
    uint64_t a = lanes_[0], b = lanes_[1], c = lanes_[2], d = lanes_[3];
    std::size_t at = 0;
    for (; at + Stripe <= size; at += Stripe) {
      a = Round(a, Word(data + at));
      b = Round(b, Word(data + at + 8));
      c = Round(c, Word(data + at + 16));
      d = Round(d, Word(data + at + 24));
    }
    lanes_[0] = a, lanes_[1] = b, lanes_[2] = c, lanes_[3] = d;
    tail_.assign(data + at, size - at);
  }

  uint64_t Finish() const {
    uint64_t hash = std::rotl(lanes_[0], 1) + std::rotl(lanes_[1], 7) + std::rotl(lanes_[2], 12) +
                    std::rotl(lanes_[3], 18) + length_;
    for (char byte : tail_) hash = Round(hash, static_cast<unsigned char>(byte));
    hash ^= hash >> 33;
    hash *= Prime2;
    hash ^= hash >> 29;
    return hash;
  }

private:
  static constexpr uint64_t Prime1 = 0x9E3779B185EBCA87ull;
  static constexpr uint64_t Prime2 = 0xC2B2AE3D27D4EB4Full;

  static uint64_t Word(const char* at) {
    uint64_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
  }
  static uint64_t Round(uint64_t lane, uint64_t word) { return std::rotl(lane + word * Prime2, 31) * Prime1; }

  uint64_t lanes_[4] = {Prime1 + Prime2, Prime2, 0, 0 - Prime1};
  uint64_t length_ = 0;
  std::string tail_;
};

// The file system stamps a change with the clock as of its last tick, so a
// change made after a look at the file gets a later change time than the
// one seen, unless the one seen is of the running tick: then a change
// within the same tick would leave the file looking as it was.
timespec LastTick() {
  timespec tick{};
  ::clock_gettime(CLOCK_REALTIME_COARSE, &tick);
  return tick;
}

bool WithinTick(const struct stat& status, const timespec& tick) {
  const timespec& changed = status.st_ctim;
  return changed.tv_sec > tick.tv_sec || (changed.tv_sec == tick.tv_sec && changed.tv_nsec >= tick.tv_nsec);
}

}  // namespace

bool HoldsWholeCorpus(int folder, const std::string& name) {
  FileDescriptor fd(::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat status {};
  if (!fd || ::fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  std::string header(SutraFileHeader::Size, '\0');
  if (ReadAt(fd.Get(), header.data(), header.size(), 0) != header.size() ||
      !header.starts_with(SutraFileHeader::Signature))
    return false;
  const int64_t indexStart = DecodeBase255Num3(header, SutraFileHeader::IndexStartPos - 1);
  const int64_t indexSize = static_cast<int64_t>(status.st_size) - (indexStart - 1);
  // A save writes one entry per record, and never more records than the
  // tables hold.
  if (indexStart < SutraFileHeader::FirstTextPos || indexSize < 0 || indexSize % IndexEntry::Size != 0 ||
      indexSize > int64_t{MaxSutras} * IndexEntry::Size)
    return false;
  std::string index(static_cast<std::size_t>(indexSize), '\0');
  if (ReadAt(fd.Get(), index.data(), index.size(), indexStart - 1) != index.size()) return false;
  int64_t next = SutraFileHeader::FirstTextPos;
  for (std::size_t at = 0; at < index.size(); at += IndexEntry::Size) {
    const IndexEntry entry = ParseIndexEntry(index, at);
    if (entry.kind != IndexEntry::RecordKind || entry.pos != next) return false;
    next += entry.len;
  }
  return next == indexStart;
}

bool DataFile::Open(const std::string& path) {
  Close();
  OpenedFile file = OpenRegularFile(path);
  if (!file) return false;
  opened_ = FileIdentity::Of(file.status);
  fd_ = std::move(file.fd);
  return true;
}

bool DataFile::Lock() {
  if (!fd_) {
    errno = EBADF;
    return false;
  }
  int result;
  do {
    result = ::flock(fd_.Get(), LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  return result == 0;
}

void DataFile::Unlock() {
  if (fd_) ::flock(fd_.Get(), LOCK_UN);
}

void DataFile::Close() {
  fd_.Reset();
  digest_.reset();
}

std::optional<struct stat> DataFile::CurrentStatus() const {
  struct stat info {};
  if (!fd_ || ::fstat(fd_.Get(), &info) != 0) return std::nullopt;
  return info;
}

int64_t DataFile::Length() const {
  const auto status = CurrentStatus();
  return status ? static_cast<int64_t>(status->st_size) : -1;
}

std::optional<uint64_t> DataFile::Digest() const {
  static constexpr std::size_t BlockSize = std::size_t{1} << 18;
  static_assert(BlockSize % ContentDigest::Stripe == 0);
  std::string block(BlockSize, '\0');
  ContentDigest digest;
  int64_t total = 0;
  for (;;) {
    const std::size_t got = vyk::ReadAt(fd_.Get(), block.data(), block.size(), total);
    digest.Add(block.data(), got);
    total += static_cast<int64_t>(got);
    if (got < block.size()) break;
  }
  // ReadAt stops at an error as at the end: the size tells them apart (and
  // a file that grew or shrank while read gives no digest).
  const auto status = CurrentStatus();
  if (!status || status->st_size != total) return std::nullopt;
  return digest.Finish();
}

// The status is taken before the bytes are read, so a change while they
// are read shows at the next check.
bool DataFile::NoteContent() {
  digest_.reset();
  const timespec tick = LastTick();
  const auto before = CurrentStatus();
  if (!before) return false;
  digest_ = Digest();
  noted_ = FileIdentity::Of(*before);
  racy_ = WithinTick(*before, tick);
  return digest_.has_value();
}

HeldContent DataFile::CheckContent() {
  const timespec tick = LastTick();
  const auto now = CurrentStatus();
  if (!now || !digest_) return HeldContent::Unknown;
  if (!racy_ && FileIdentity::Of(*now) == noted_) return HeldContent::Intact;
  const std::optional<uint64_t> digest = Digest();
  if (!digest) return HeldContent::Unknown;
  if (*digest != *digest_) return HeldContent::Rewritten;
  noted_ = FileIdentity::Of(*now);
  racy_ = WithinTick(*now, tick);
  return HeldContent::Intact;
}

std::optional<std::string> DataFile::ReadAt(int64_t pos, int64_t len) const {
  std::string out;
  if (!ReadInto(pos, len, out)) return std::nullopt;
  return out;
}

bool DataFile::ReadInto(int64_t pos, int64_t len, std::string& out) const {
  out.clear();
  if (!fd_ || pos < 1 || len < 0) return false;
  out.resize(static_cast<std::size_t>(len));
  if (vyk::ReadAt(fd_.Get(), out.data(), out.size(), pos - 1) != out.size()) {
    out.clear();
    return false;
  }
  return true;
}

std::string DataFile::ReadUpTo(int64_t pos, int64_t len) const {
  std::string out;
  if (!fd_ || pos < 1 || len <= 0) return out;
  out.resize(static_cast<std::size_t>(len));
  const std::size_t have = vyk::ReadAt(fd_.Get(), out.data(), out.size(), pos - 1);
  out.resize(have);
  return out;
}

}  // namespace vyk
