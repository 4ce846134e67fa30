#include "corpus/Saver.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "corpus/Base255.h"
#include "corpus/CorpusState.h"
#include "corpus/SutraRecord.h"
#include "platform/CheckedFiles.h"

namespace vyk {

namespace {

std::string Cause(int error) { return std::strerror(error); }

// Where a save puts its temporary file beside the data file in the data
// folder; anywhere else it takes a name no file has.
struct TempRule {
  std::string dataFolder;  // "" when there is none: always a fresh name
  std::string sharedName;  // the data folder's own temporary file
};

// Writes a data file into a temporary file and puts it in place of the
// target only when it is complete, on disk and checked; the target is never
// opened for writing, so it is at every moment wholly old or wholly new.
// The target's folder is opened once and every later step acts through it
// and through the temporary file's own descriptor, so a name swapped by
// another program meanwhile cannot make the save check, keep or remove a
// file it did not write.
class CorpusWriter {
public:
  // `loaded`, when given, is the file the record tables were read from: the
  // target must still be that file, unchanged, or nothing is written.
  CorpusWriter(std::string targetPath, TempRule temp, std::optional<FileIdentity> loaded, const DataFile* loadedFile,
               const SaveFaultHook* hook)
      : targetPath_(std::move(targetPath)), temp_(std::move(temp)), loaded_(loaded), loadedFile_(loadedFile),
        hook_(hook) {}
  ~CorpusWriter() { Abandon(); }
  CorpusWriter(const CorpusWriter&) = delete;
  CorpusWriter& operator=(const CorpusWriter&) = delete;

  bool Begin(char headerTag, char headerByte8) {
    header_ = BuildHeader(headerTag, headerByte8);
    if (HoldsNul(targetPath_)) return Fail(MessageText("its path holds a NUL character, which no file name can hold"));
    if (!SettleTarget() || !StillTheLoadedFile() || !CreateTempFile()) return false;
    buffer_.reserve(BufferSize);
    return Write(header_);
  }

  // Appends one record text; its index entry goes to *entry when given.
  bool AddText(std::string_view text, std::string* entry) {
    auto formatted = FormatIndexEntry(position_, static_cast<int32_t>(text.size()));
    if (!formatted || text.size() > static_cast<std::size_t>(MaxBase255Num2))
      return Fail(MessageText("a record does not fit the data file format"));
    if (!Write(text)) return false;
    index_ += *formatted;
    if (entry) *entry = *formatted;
    position_ += static_cast<int32_t>(text.size());
    return true;
  }

  bool Commit() {
    auto indexStart = EncodeOffset(position_);
    if (!indexStart) return Fail(MessageText("the records do not fit the data file format"));
    if (!Write(index_) || !Flush()) return false;
    header_.replace(SutraFileHeader::IndexStartPos - 1, 3, *indexStart);
    if (!Patch(*indexStart, SutraFileHeader::IndexStartPos - 1)) return false;
    if (int error = Fault(); error != 0 || ::fsync(fd_.Get()) != 0)
      return Fail("cannot write " + PathText(TempPath()) + " to disk: " + Cause(error != 0 ? error : errno));
    // Last checks, as late as can be: what is about to replace the data file
    // is the file this save wrote, and the data file is still the one loaded.
    if (!Verify() || !StillTheLoadedFile()) return false;
    if (!NameStillNames(folder_.Get(), tempName_, fd_.Get()))
      return Fail(PathText(TempPath()) + " was replaced by another program while the save ran");
    if (int error = Fault();
        error != 0 || ::renameat(folder_.Get(), tempName_.c_str(), folder_.Get(), targetName_.c_str()) != 0)
      return Fail("cannot replace " + PathText(resolvedPath_) + " with " + PathText(TempPath()) + ": " +
                  Cause(error != 0 ? error : errno));
    created_ = false;
    struct stat written {};
    if (::fstat(fd_.Get(), &written) == 0) written_ = FileIdentity::Of(written);
    fd_.Reset();
    // Makes the rename itself durable. The new file is in place whatever
    // this yields, so a failure here does not turn the save into a failed one.
    ::fsync(folder_.Get());
    return true;
  }

  // Closes and removes the temporary file; the target is untouched.
  void Abandon() {
    if (created_ && fd_) RemoveIfStillNames(folder_.Get(), tempName_, fd_.Get());
    created_ = false;
    fd_.Reset();
  }

  int32_t Position() const { return position_; }
  const MessageText& Error() const { return error_; }
  // The new data file, once Commit has put it in place.
  const std::optional<FileIdentity>& Written() const { return written_; }

private:
  static constexpr std::size_t BufferSize = 1 << 16;

  bool Fail(MessageText message) {
    error_ = std::move(message);
    Abandon();
    return false;
  }

  int Fault() { return hook_ && *hook_ ? (*hook_)(operation_++) : 0; }

  std::string TempPath() const { return FolderOf(resolvedPath_) + "/" + tempName_; }

  // A target that is a link stays one: the file it names is what gets
  // replaced, so the temporary file goes beside that file (a rename cannot
  // cross file systems). The link is followed here once; the rest of the
  // save goes through the folder found. A target the user may not write is
  // not replaced, although the folder would let a rename do it.
  bool SettleTarget() {
    resolvedPath_ = targetPath_;
    struct stat link {};
    if (::lstat(targetPath_.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
      char* resolved = ::realpath(targetPath_.c_str(), nullptr);
      if (resolved == nullptr) return Fail("cannot follow the link " + PathText(targetPath_) + ": " + Cause(errno));
      resolvedPath_ = resolved;
      std::free(resolved);
    }
    targetName_ = NameOf(resolvedPath_);
    folder_ = OpenFolder(FolderOf(resolvedPath_));
    if (!folder_) return Fail("cannot open the folder " + PathText(FolderOf(resolvedPath_)) + ": " + Cause(errno));
    haveTarget_ = ::fstatat(folder_.Get(), targetName_.c_str(), &target_, AT_SYMLINK_NOFOLLOW) == 0;
    if (!haveTarget_ && errno != ENOENT) return Fail("cannot look at " + PathText(resolvedPath_) + ": " + Cause(errno));
    if (haveTarget_ && ::faccessat(folder_.Get(), targetName_.c_str(), W_OK, AT_EACCESS) != 0)
      return Fail(PathText(resolvedPath_) + " is write-protected: " + Cause(errno));
    return true;
  }

  // The target, and the descriptor the records are read through, must both
  // still be the file as loaded: another program may have put a new file in
  // its place (a rename) or rewritten it (the records would be read at
  // their old places from the new content).
  bool StillTheLoadedFile() {
    if (!loaded_) return true;
    struct stat now {};
    if (::fstatat(folder_.Get(), targetName_.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0)
      return Fail("cannot find " + PathText(resolvedPath_) + ": " + Cause(errno));
    bool same = S_ISREG(now.st_mode) && FileIdentity::Of(now) == *loaded_;
    if (loadedFile_ && loadedFile_->IsOpen()) same = same && loadedFile_->CurrentIdentity() == loaded_;
    if (!same)
      return Fail(MessageText("another program has replaced or changed it since it was loaded.\r"
                              "Saving now would overwrite that program's file"));
    return true;
  }

  // In the data folder the temporary file is its own sutra.tmp, as ever:
  // a file left there by an earlier run may be anything, a link to another
  // file among them, so it goes, and the new one is made here and now by
  // this save. Anywhere else (the data file is a link to another folder),
  // or when the data file itself has that name, the folder is someone
  // else's: the file gets a name no file has, and nothing there is removed.
  bool CreateTempFile() {
    struct stat home {};
    struct stat here {};
    const bool inDataFolder = !temp_.dataFolder.empty() && ::stat(temp_.dataFolder.c_str(), &home) == 0 &&
                              ::fstat(folder_.Get(), &here) == 0 && SameFile(home, here);
    if (inDataFolder && targetName_ != temp_.sharedName) {
      tempName_ = temp_.sharedName;
      if (::unlinkat(folder_.Get(), tempName_.c_str(), 0) != 0 && errno != ENOENT)
        return Fail("cannot remove the leftover " + PathText(TempPath()) + ": " + Cause(errno));
      fd_ = CreateNewFile(folder_.Get(), tempName_, NewFileMode());
    } else {
      fd_ = CreateUniqueFile(folder_.Get(), targetName_ + ".", NewFileMode(), &tempName_);
      if (!fd_) tempName_ = targetName_ + ".XXXXXX";
    }
    if (!fd_) return Fail("cannot create " + PathText(TempPath()) + ": " + Cause(errno));
    created_ = true;
    KeepOwnerAndMode();
    return true;
  }

  // Private until it has the target's owner and mode; a new data file gets
  // the usual mode less the umask.
  mode_t NewFileMode() const { return haveTarget_ ? 0600 : 0644; }

  // The new file keeps the owner, group and permissions of the one it
  // replaces, as far as this process may give them: a user cannot give a
  // file away (EPERM), and may set only a group of their own.
  void KeepOwnerAndMode() {
    if (!haveTarget_) return;
    struct stat mine {};
    if (::fstat(fd_.Get(), &mine) == 0 && (mine.st_uid != target_.st_uid || mine.st_gid != target_.st_gid)) {
      if (::fchown(fd_.Get(), target_.st_uid, target_.st_gid) != 0 && mine.st_gid != target_.st_gid)
        (void)::fchown(fd_.Get(), static_cast<uid_t>(-1), target_.st_gid);
    }
    // After the owner: a change of owner clears the set-id bits.
    (void)::fchmod(fd_.Get(), target_.st_mode & 07777);
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
    return WriteChecked(bytes.data(), bytes.size());
  }

  bool Flush() {
    if (buffer_.empty()) return true;
    const bool ok = WriteChecked(buffer_.data(), buffer_.size());
    buffer_.clear();
    return ok;
  }

  bool WriteChecked(const char* data, std::size_t size) {
    if (int error = Fault(); error != 0) return Fail("cannot write " + PathText(TempPath()) + ": " + Cause(error));
    if (!WriteAll(fd_.Get(), data, size)) return Fail("cannot write " + PathText(TempPath()) + ": " + Cause(errno));
    return true;
  }

  bool Patch(std::string_view bytes, off_t offset) {
    if (int error = Fault(); error != 0) return Fail("cannot write " + PathText(TempPath()) + ": " + Cause(error));
    if (::pwrite(fd_.Get(), bytes.data(), bytes.size(), offset) != static_cast<ssize_t>(bytes.size()))
      return Fail("cannot write " + PathText(TempPath()) + ": " + Cause(errno));
    return true;
  }

  // Reads the written file back through its own descriptor: its size,
  // header and index must be what was written, or it does not replace the
  // data file.
  bool Verify() {
    struct stat written {};
    if (::fstat(fd_.Get(), &written) != 0)
      return Fail("cannot read back " + PathText(TempPath()) + ": " + Cause(errno));
    // Header, texts and index, back to back.
    const int64_t expected = int64_t{position_} - 1 + static_cast<int64_t>(index_.size());
    if (written.st_size != expected)
      return Fail(PathText(TempPath()) + " holds " + std::to_string(written.st_size) + " bytes instead of " +
                  std::to_string(expected));
    std::string header(header_.size(), '\0');
    std::string index(index_.size(), '\0');
    if (ReadAt(fd_.Get(), header.data(), header.size(), 0) != header.size() || header != header_ ||
        ReadAt(fd_.Get(), index.data(), index.size(), position_ - 1) != index.size() || index != index_)
      return Fail(PathText(TempPath()) + " does not read back as written");
    return true;
  }

  std::string targetPath_;
  TempRule temp_;
  std::optional<FileIdentity> loaded_;
  const DataFile* loadedFile_;
  const SaveFaultHook* hook_;

  std::string resolvedPath_;
  std::string targetName_;
  FileDescriptor folder_;
  bool haveTarget_ = false;
  struct stat target_ {};
  std::string tempName_;
  FileDescriptor fd_;
  bool created_ = false;
  int operation_ = 0;
  std::string header_;
  std::string buffer_;
  std::string index_;
  int32_t position_ = SutraFileHeader::FirstTextPos;
  MessageText error_;
  std::optional<FileIdentity> written_;
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

MessageText FailureMessage(const CorpusState& state, const MessageText& cause) {
  return "Saving " + PathText(state.gDataFile) + " failed: " + cause +
         ".\rThe file is unchanged and the edits are kept.";
}

MessageText RefusalMessage(const CorpusState& state, const std::string& problem) {
  return "Cannot save " + PathText(state.gDataFile) + ": " + problem + ".\rNothing was written.";
}

// Why the save cannot even start ("" when it can).
std::string StartProblem(const CorpusState& state) {
  // The system would cut such a path at the NUL and reach another file.
  if (HoldsNul(state.gDataFile) || HoldsNul(state.gDataDir))
    return "its path holds a NUL character, which no file name can hold";
  if (!state.gDataIdentity) return "no data file was loaded, so there is nothing to save it over";
  return FormatProblem(state);
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

  if (const std::string problem = StartProblem(state); !problem.empty()) {
    host.SetHourglass(false);
    host.ReportSaveError(RefusalMessage(state, problem));
    return SaveOutcome::Refused;
  }

  CorpusWriter writer(state.gDataFile, TempRule{state.gDataDir, std::string(TempFileName)}, state.gDataIdentity,
                      &state.gDataFileNo, &options.faultHook);
  auto fail = [&](const MessageText& cause) {
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
      if (host.AskTerminate(TerminateQuestion + PathText(state.gDataFile))) {
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
  // only now that the new file is in place. The new file is the one later
  // saves may replace, should no reload follow.
  state.gDataFileNo.Close();
  state.gDataIdentity = writer.Written();
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
  CorpusWriter writer(path, TempRule{}, std::nullopt, nullptr, nullptr);
  if (!writer.Begin(DefaultHeaderTag, headerByte8)) return fail(writer.Error().text);
  for (const auto& text : texts)
    if (!writer.AddText(text, nullptr)) return fail(writer.Error().text);
  if (!writer.Commit()) return fail(writer.Error().text);
  return true;
}

}  // namespace vyk
