#include "corpus/Saver.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "corpus/Base255.h"
#include "corpus/CorpusState.h"
#include "corpus/SutraRecord.h"

namespace vyk {

namespace {

std::string Cause(int error) { return std::strerror(error); }

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Writes a data file into a temporary file and puts it in place of the
// target only when it is complete, on disk and checked; the target is never
// opened for writing, so it is at every moment wholly old or wholly new.
class CorpusWriter {
public:
  CorpusWriter(std::string targetPath, std::string tempPath, const SaveFaultHook* hook)
      : targetPath_(std::move(targetPath)), tempPath_(std::move(tempPath)), hook_(hook) {}
  ~CorpusWriter() { Abandon(); }
  CorpusWriter(const CorpusWriter&) = delete;
  CorpusWriter& operator=(const CorpusWriter&) = delete;

  bool Begin(char headerTag, char headerByte8) {
    header_ = BuildHeader(headerTag, headerByte8);
    if (!SettleTarget()) return false;
    // The new file keeps the permissions of the one it replaces.
    struct stat target {};
    const mode_t mode = ::stat(targetPath_.c_str(), &target) == 0 ? (target.st_mode & 07777) : 0644;
    // A temporary file left by an earlier run may be anything, a link to
    // another file among them: it goes, and the new one is made here and now
    // by this save, never opened through a link.
    if (::unlink(tempPath_.c_str()) != 0 && errno != ENOENT)
      return Fail("cannot remove the leftover " + tempPath_ + ": " + Cause(errno));
    do {
      fd_ = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) return Fail("cannot create " + tempPath_ + ": " + Cause(errno));
    created_ = true;
    if (::fchmod(fd_, mode) != 0) { /* best effort: a foreign owner keeps the umask's mode */ }
    buffer_.reserve(BufferSize);
    return Write(header_);
  }

  // Appends one record text; its index entry goes to *entry when given.
  bool AddText(std::string_view text, std::string* entry) {
    auto formatted = FormatIndexEntry(position_, static_cast<int32_t>(text.size()));
    if (!formatted || text.size() > static_cast<std::size_t>(MaxBase255Num2))
      return Fail("a record does not fit the data file format");
    if (!Write(text)) return false;
    index_ += *formatted;
    if (entry) *entry = *formatted;
    position_ += static_cast<int32_t>(text.size());
    return true;
  }

  bool Commit() {
    auto indexStart = EncodeOffset(position_);
    if (!indexStart) return Fail("the records do not fit the data file format");
    if (!Write(index_) || !Flush()) return false;
    header_.replace(SutraFileHeader::IndexStartPos - 1, 3, *indexStart);
    if (!Patch(*indexStart, SutraFileHeader::IndexStartPos - 1)) return false;
    if (int error = Fault(); error != 0 || ::fsync(fd_) != 0)
      return Fail("cannot write " + tempPath_ + " to disk: " + Cause(error != 0 ? error : errno));
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return Fail("cannot write " + tempPath_ + ": " + Cause(errno));
    if (!Verify()) return false;
    if (int error = Fault(); error != 0 || ::rename(tempPath_.c_str(), targetPath_.c_str()) != 0)
      return Fail("cannot replace " + targetPath_ + " with " + tempPath_ + ": " + Cause(error != 0 ? error : errno));
    created_ = false;
    SyncFolder();
    return true;
  }

  // Closes and removes the temporary file; the target is untouched.
  void Abandon() {
    if (fd_ >= 0) {
      ::close(fd_);
      fd_ = -1;
    }
    if (created_) {
      ::unlink(tempPath_.c_str());
      created_ = false;
    }
  }

  int32_t Position() const { return position_; }
  const std::string& Error() const { return error_; }

private:
  static constexpr std::size_t BufferSize = 1 << 16;

  bool Fail(std::string message) {
    error_ = std::move(message);
    Abandon();
    return false;
  }

  int Fault() { return hook_ && *hook_ ? (*hook_)(operation_++) : 0; }

  // A target that is a link stays one: the file it names is what gets
  // replaced, so the temporary file goes beside that file (a rename cannot
  // cross file systems). A target the user may not write is not replaced,
  // although the folder would let a rename do it.
  bool SettleTarget() {
    struct stat link {};
    if (::lstat(targetPath_.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
      char* resolved = ::realpath(targetPath_.c_str(), nullptr);
      if (resolved == nullptr) return Fail("cannot follow the link " + targetPath_ + ": " + Cause(errno));
      targetPath_ = resolved;
      std::free(resolved);
      tempPath_ = FolderOf(targetPath_) + "/" + NameOf(tempPath_);
    }
    if (::faccessat(AT_FDCWD, targetPath_.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)
      return Fail(targetPath_ + " is write-protected: " + Cause(errno));
    return true;
  }

  bool Write(std::string_view bytes) {
    if (buffer_.size() + bytes.size() <= BufferSize) {
      buffer_ += bytes;
      return true;
    }
    if (!Flush()) return false;
    if (bytes.size() < BufferSize) {
      buffer_ += bytes;
      return true;
    }
    return WriteAll(bytes.data(), bytes.size());
  }

  bool Flush() {
    if (buffer_.empty()) return true;
    const bool ok = WriteAll(buffer_.data(), buffer_.size());
    buffer_.clear();
    return ok;
  }

  bool WriteAll(const char* data, std::size_t size) {
    while (size > 0) {
      if (int error = Fault(); error != 0) return Fail("cannot write " + tempPath_ + ": " + Cause(error));
      const ssize_t put = ::write(fd_, data, size);
      if (put < 0) {
        if (errno == EINTR) continue;
        return Fail("cannot write " + tempPath_ + ": " + Cause(errno));
      }
      data += put;
      size -= static_cast<std::size_t>(put);
    }
    return true;
  }

  bool Patch(std::string_view bytes, off_t offset) {
    if (int error = Fault(); error != 0) return Fail("cannot write " + tempPath_ + ": " + Cause(error));
    if (::pwrite(fd_, bytes.data(), bytes.size(), offset) != static_cast<ssize_t>(bytes.size()))
      return Fail("cannot write " + tempPath_ + ": " + Cause(errno));
    return true;
  }

  // Reads the closed file back: its size, header and index must be what was
  // written, or it does not replace the data file.
  bool Verify() {
    DataFile check;
    if (!check.Open(tempPath_)) return Fail("cannot read back " + tempPath_ + ": " + Cause(errno));
    // Header, texts and index, back to back.
    const int64_t expected = int64_t{position_} - 1 + static_cast<int64_t>(index_.size());
    if (check.Length() != expected)
      return Fail(tempPath_ + " holds " + std::to_string(check.Length()) + " bytes instead of " +
                  std::to_string(expected));
    if (check.ReadAt(1, SutraFileHeader::Size) != header_ ||
        check.ReadAt(position_, static_cast<int64_t>(index_.size())) != index_)
      return Fail(tempPath_ + " does not read back as written");
    return true;
  }

  // Makes the rename itself durable. The new file is in place whatever this
  // yields, so a failure here does not turn the save into a failed one.
  void SyncFolder() {
    const int folder = ::open(FolderOf(targetPath_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return;
    ::fsync(folder);
    ::close(folder);
  }

  std::string targetPath_;
  std::string tempPath_;
  const SaveFaultHook* hook_;
  int fd_ = -1;
  bool created_ = false;
  int operation_ = 0;
  std::string header_;
  std::string buffer_;
  std::string index_;
  int32_t position_ = SutraFileHeader::FirstTextPos;
  std::string error_;
};

// A count for a message, with thousands separated: "32,768".
std::string NumberText(int64_t value) {
  const std::string digits = std::to_string(value);
  const std::size_t lead = digits[0] == '-' ? 1 : 0;
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > lead && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

// The length of record i's current text, or -1 when the save passes it over.
int64_t CurrentLength(const CorpusState& state, int i) {
  if (!state.gEditedText[i].empty()) return static_cast<int64_t>(state.gEditedText[i].size());
  if (state.gTextPos[i] > 0) return state.gTextLen[i];
  return -1;
}

// Why records of these lengths cannot be laid out in the data file's format
// ("" when they can): the loader would read such a file differently, so
// nothing is written. lengthOf(i) is record i's length, or -1 for a record
// that is passed over.
template <typename LengthOf>
std::string LayoutProblem(int count, LengthOf lengthOf) {
  int64_t position = SutraFileHeader::FirstTextPos;
  for (int i = 1; i <= count; ++i) {
    const int64_t length = lengthOf(i);
    if (length < 0) continue;
    if (length > MaxBase255Num2)
      return "record " + std::to_string(i) + " is " + NumberText(length) + " bytes long; a record holds at most " +
             NumberText(MaxBase255Num2) + " bytes";
    if (position > MaxBase255Num3)
      return "record " + std::to_string(i) + " would start at byte " + NumberText(position) +
             ", beyond the last position " + NumberText(MaxBase255Num3) + " the data file can address";
    position += length;
  }
  // The index starts at the position after the last record, so it too must
  // be addressable.
  if (position > MaxBase255Num3)
    return "the records end at byte " + NumberText(position - 1) + ", beyond the last position " +
           NumberText(MaxBase255Num3) + " the data file can address";
  return {};
}

// Why the corpus cannot be saved as it stands ("" when it can).
std::string FormatProblem(const CorpusState& state) {
  if (state.gExcessRecords > 0)
    return "the data file held " + NumberText(state.gExcessRecords) + " records beyond the " +
           NumberText(MaxSutras) + " this program keeps; saving would lose them";
  return LayoutProblem(MaxSutras, [&](int i) { return CurrentLength(state, i); });
}

std::string ReadProblem(const CorpusState& state, int i) {
  if (!state.gDataFileNo.IsOpen()) return "record " + std::to_string(i) + " cannot be read: the data file is not open";
  return "record " + std::to_string(i) + " cannot be read from the data file (bytes " +
         NumberText(state.gTextPos[i]) + " to " + NumberText(int64_t{state.gTextPos[i]} + state.gTextLen[i] - 1) + ")";
}

std::string FailureMessage(const CorpusState& state, const std::string& cause) {
  return "Saving " + state.gDataFile + " failed: " + cause +
         ".\rThe file is unchanged and the edits are kept.";
}

// Holds gSaving for the duration of one save, whichever way it ends.
class SavingFlag {
public:
  explicit SavingFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~SavingFlag() { flag_ = false; }
  SavingFlag(const SavingFlag&) = delete;
  SavingFlag& operator=(const SavingFlag&) = delete;

private:
  bool& flag_;
};

}  // namespace

SaveOutcome SaveSutraFile(CorpusState& state, SaverHost& host, const SaveOptions& options) {
  // A second save from a handler run by this save's DoEvents must not start.
  if (state.gSaving) return SaveOutcome::Refused;
  std::optional<SavingFlag> saving(std::in_place, state.gSaving);

  host.SetHourglass(true);
  // Typing still pending in the window belongs in the file being written.
  host.CommitEdit();

  // A terminate request left over from an earlier save must not stop this one.
  state.gTerminateSave = false;
  for (auto& entry : state.gSaveIndex) entry.clear();

  if (const std::string problem = FormatProblem(state); !problem.empty()) {
    host.SetHourglass(false);
    host.ReportSaveError("Cannot save " + state.gDataFile + ": " + problem + ".\rNothing was written.");
    return SaveOutcome::Refused;
  }

  const std::string tempPath = state.gDataDir + "/" + std::string(TempFileName);
  CorpusWriter writer(state.gDataFile, tempPath, &options.faultHook);
  auto fail = [&](const std::string& cause) {
    writer.Abandon();
    host.SetHourglass(false);
    host.ReportSaveError(FailureMessage(state, cause));
    return SaveOutcome::Failed;
  };

  if (!writer.Begin(state.gHeaderTag, state.gHeaderByte8)) return fail(writer.Error());

  std::string fileText;
  for (int i = 1; i <= MaxSutras; ++i) {
    std::string_view text;
    if (!state.gEditedText[i].empty()) {
      text = state.gEditedText[i];
    } else if (state.gTextPos[i] > 0) {
      if (!state.gDataFileNo.ReadInto(state.gTextPos[i], state.gTextLen[i], fileText)) return fail(ReadProblem(state, i));
      text = fileText;
    } else {
      continue;
    }
    if (!writer.AddText(text, &state.gSaveIndex[i])) return fail(writer.Error());

    host.DoEvents();
    if (state.gTerminateSave) {
      if (host.AskTerminate(std::string(TerminateQuestion) + state.gDataFile)) {
        writer.Abandon();
        host.SaveTerminated();
        host.SetHourglass(false);
        return SaveOutcome::Terminated;
      }
      state.gTerminateSave = false;
    }
  }

  if (!writer.Commit()) return fail(writer.Error());

  // On Linux the old handle stays valid across the rename, so it is closed
  // only now that the new file is in place.
  state.gDataFileNo.Close();
  host.DoEvents();
  state.gDataModified = false;
  host.DoEvents();
  host.SetHourglass(false);
  saving.reset();
  host.SaveCompleted();
  return SaveOutcome::Saved;
}

bool WriteCorpusFile(const std::string& path, const std::vector<std::string>& texts, char headerByte8,
                     std::string* error) {
  auto fail = [&](const std::string& cause) {
    if (error) *error = cause;
    return false;
  };
  if (texts.size() > static_cast<std::size_t>(MaxSutras))
    return fail(NumberText(static_cast<int64_t>(texts.size())) + " records are more than the " + NumberText(MaxSutras) +
                " a data file holds");
  const std::string problem = LayoutProblem(static_cast<int>(texts.size()), [&](int i) {
    return static_cast<int64_t>(texts[static_cast<std::size_t>(i) - 1].size());
  });
  if (!problem.empty()) return fail(problem);
  CorpusWriter writer(path, path + ".tmp", nullptr);
  if (!writer.Begin(DefaultHeaderTag, headerByte8)) return fail(writer.Error());
  for (const auto& text : texts)
    if (!writer.AddText(text, nullptr)) return fail(writer.Error());
  if (!writer.Commit()) return fail(writer.Error());
  return true;
}

}  // namespace vyk
