#include "corpus/Saver.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "corpus/Base255.h"
#include "corpus/CorpusState.h"
#include "corpus/SutraRecord.h"
#include "platform/CheckedFiles.h"
#include "platform/FlagWhile.h"

namespace vyk {

namespace {

std::string Cause(int error) { return std::strerror(error); }

// What stands at the data file's name, against the file the corpus was
// loaded from.
enum class AtName {
  Loaded,   // that file (or, with nothing loaded, whatever file is there)
  Missing,  // nothing: another program removed it or moved it away
  Other,    // a file another program put there
};

// The same folder or file, opened twice.
bool SameOpenFile(int a, int b) {
  struct stat first {};
  struct stat second {};
  return ::fstat(a, &first) == 0 && ::fstat(b, &second) == 0 && SameFile(first, second);
}

bool Names(const struct stat& status, const FileIdentity& file) {
  return status.st_dev == file.device && status.st_ino == file.inode;
}

// Writes a data file into a temporary file and puts it in place of the
// target only when it is complete, on disk and checked: by a rename, so the
// target is at every moment wholly old or wholly new; or, where a rename
// would lose the target's other names or is not allowed, by a write over it
// from that complete copy, which stays until the target holds it on disk.
// The target's folder and the data folder are opened once, when the save
// settles on them, and every later step acts through them, through the
// temporary file's own descriptor and through the loaded file's, so a name
// swapped by another program meanwhile cannot make the save check, keep or
// remove a file it did not write.
class CorpusWriter {
public:
  // `loaded`, when given, is the file the record tables point into, and
  // `held` that file open: its bytes must still be the ones loaded, and the
  // file at the name is replaced only when it is the loaded one, none, or
  // one the user agreed to replace.
  CorpusWriter(std::string targetPath, std::string dataFolder, std::optional<FileIdentity> loaded, DataFile* held,
               const SaveFaultHook* hook)
      : targetPath_(std::move(targetPath)), dataFolder_(std::move(dataFolder)), loaded_(loaded), held_(held),
        hook_(hook) {}
  ~CorpusWriter() { Abandon(); }
  CorpusWriter(const CorpusWriter&) = delete;
  CorpusWriter& operator=(const CorpusWriter&) = delete;

  // Finds the file to write and checks, before anything is written, that
  // the loaded bytes are still there to copy from. From here until the new
  // corpus is in place the loaded file is locked, so that no other copy of
  // the program saves it meanwhile, whatever name it reached it by.
  bool Settle() {
    if (!SettleTarget()) return false;
    if (held_ && held_->IsOpen() && !LockHeld()) return false;
    if (!KeepsRecoveryCopy()) return false;
    if (held_ && held_->IsOpen()) {
      switch (held_->CheckContent()) {
      case HeldContent::Intact:
        break;
      case HeldContent::Rewritten:
        refused_ = true;
        return Fail(MessageText("another program has rewritten the file since it was loaded, so the records "
                                "that were not edited can no longer be read as they were loaded"));
      case HeldContent::Unknown:
        return Fail(MessageText("the file it was loaded from can no longer be read through"));
      }
    }
    return LookAtTarget();
  }

  AtName At() const { return at_; }
  // The user has agreed to replace the other file now at the name.
  void AllowReplacing() { allowed_ = target_; }

  bool Begin(char headerTag, char headerByte8) {
    header_ = BuildHeader(headerTag, headerByte8);
    if (!CreateTempFile() || !KeepOwnerModeAndAttributes()) return false;
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
    int error = Fault();
    if (error == 0 && ::fsync(fd_.Get()) != 0) error = errno;
    if (error != 0) return Fail("cannot write " + PathText(TempPath()) + " to disk: " + Cause(error));
    // Last checks, as late as can be: what is about to take the data file's
    // place is the file this save wrote, and the name still stands for what
    // the save settled on.
    if (!Verify() || !StillAsSettled()) return false;
    if (!NameStillNames(tempFolder_.Get(), tempName_, fd_.Get()))
      return Fail(PathText(TempPath()) + " was replaced by another program while the save ran");
    // Another name of the file would keep the old corpus after a rename.
    if (at_ != AtName::Missing && target_.st_nlink > 1) inPlace_ = true;
    if (!inPlace_) {
      error = Rename();
      if (error == 0) return Done();
      // A folder with the sticky bit lets the user write another's file but
      // not replace it; so does a folder the user may not write.
      if (at_ == AtName::Missing || (error != EPERM && error != EACCES))
        return Fail("cannot replace " + PathText(resolvedPath_) + " with " + PathText(TempPath()) + ": " +
                    Cause(error));
    }
    return WriteInPlace();
  }

  // Closes and removes the temporary file, unless it holds the only whole
  // copy of the new corpus, and gives up the locks.
  void Abandon() {
    if (created_ && fd_) RemoveIfStillNames(tempFolder_.Get(), tempName_, fd_.Get());
    created_ = false;
    fd_.Reset();
    tempFolder_.Reset();  // and with it the folder's lock
    if (heldLocked_) held_->Unlock();
    heldLocked_ = false;
  }

  int32_t Position() const { return position_; }
  const MessageText& Error() const { return error_; }
  // The failure is a refusal: the loaded corpus cannot be saved at all.
  bool Refused() const { return refused_; }
  // The data file was partly written over when the save failed.
  bool Damaged() const { return damaged_; }
  // The new data file, once Commit has put it in place.
  const std::optional<FileIdentity>& Written() const { return written_; }

private:
  static constexpr std::size_t BufferSize = 1 << 16;
  static constexpr int64_t KickSize = int64_t{1} << 20;
  // What a write in place puts over the data file's signature first.
  static constexpr std::string_view BrokenSignature{"\0\0\0\0\0", SutraFileHeader::Signature.size()};

  bool Fail(MessageText message) {
    error_ = std::move(message);
    Abandon();
    return false;
  }

  int Fault() { return hook_ && *hook_ ? (*hook_)(operation_++) : 0; }

  std::string TempPath() const { return tempFolderPath_ + "/" + tempName_; }
  std::string RecoveryPath() const { return dataFolder_ + "/" + std::string(TempFileName); }
  // Header, texts and index, back to back.
  int64_t FileSize() const { return int64_t{position_} - 1 + static_cast<int64_t>(index_.size()); }

  // A target that is a link stays one: the file it names is what gets
  // written, so the temporary file goes beside that file (a rename cannot
  // cross file systems). The link is followed here once; the rest of the
  // save goes through the folders found.
  bool SettleTarget() {
    resolvedPath_ = targetPath_;
    struct stat link {};
    if (::lstat(targetPath_.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
      char* resolved = ::realpath(targetPath_.c_str(), nullptr);
      const int error = errno;
      if (resolved != nullptr) {
        resolvedPath_ = resolved;
        std::free(resolved);
      } else if (error != ENOENT || !FollowDanglingLink()) {
        return Fail("cannot follow the link " + PathText(targetPath_) + ": " + Cause(error));
      }
    }
    targetName_ = NameOf(resolvedPath_);
    folder_ = OpenFolder(FolderOf(resolvedPath_));
    if (!folder_) {
      const int error = errno;
      return Fail("cannot open the folder " + PathText(FolderOf(resolvedPath_)) + ": " + Cause(error));
    }
    // Without its data folder a save has no sutra.tmp: it makes its
    // temporary file beside the target under a new name.
    if (!dataFolder_.empty()) dataFolderFd_ = OpenFolder(dataFolder_);
    return true;
  }

  // The file a link names is gone: it is written anew where the link points,
  // so that the link names the corpus again.
  bool FollowDanglingLink() {
    std::string pointed(4096, '\0');
    const ssize_t length = ::readlink(targetPath_.c_str(), pointed.data(), pointed.size());
    if (length <= 0 || static_cast<std::size_t>(length) == pointed.size()) return false;
    pointed.resize(static_cast<std::size_t>(length));
    resolvedPath_ = pointed.front() == '/' ? pointed : FolderOf(targetPath_) + "/" + pointed;
    return true;
  }

  bool LockHeld() {
    if (held_->Lock()) {
      heldLocked_ = true;
      return true;
    }
    const int error = errno;
    if (error == EWOULDBLOCK)
      return Fail(MessageText("another copy of the program is saving this file just now, under this name or "
                              "another; save again when it has finished"));
    return Fail("cannot lock " + PathText(resolvedPath_) + ": " + Cause(error));
  }

  // Whether the target begins as a data file does. A file that cannot be
  // read (or is not there) is not judged here.
  bool TargetReadsAsCorpus() const {
    FileDescriptor file(
        ::openat(folder_.Get(), targetName_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status {};
    if (!file || ::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) return true;
    std::string signature(SutraFileHeader::Signature.size(), '\0');
    signature.resize(ReadAt(file.Get(), signature.data(), signature.size(), 0));
    return signature == SutraFileHeader::Signature;
  }

  // A write in place that was cut off leaves a data file that no longer
  // reads as one, and the whole new corpus in the data folder's sutra.tmp.
  // That copy may be the only whole corpus left: no save may take it for a
  // leftover, so none starts until the user has put it back.
  bool KeepsRecoveryCopy() {
    if (!dataFolderFd_ || TargetReadsAsCorpus() || !HoldsWholeCorpus(dataFolderFd_.Get(), std::string(TempFileName)))
      return true;
    refused_ = true;
    return Fail("it does not read as a corpus file, as a save cut off while writing over it leaves it, and " +
                PathText(RecoveryPath()) +
                " holds a whole corpus, perhaps the only copy of that save: copy it over the data file first");
  }

  // What stands at the name now. A file the user may not write is not
  // replaced, although the folder would let a rename do it.
  bool LookAtTarget() {
    haveTarget_ = ::fstatat(folder_.Get(), targetName_.c_str(), &target_, AT_SYMLINK_NOFOLLOW) == 0;
    if (!haveTarget_) {
      const int error = errno;
      if (error != ENOENT) return Fail("cannot look at " + PathText(resolvedPath_) + ": " + Cause(error));
      at_ = AtName::Missing;
      return true;
    }
    at_ = !loaded_ || Names(target_, *loaded_) ? AtName::Loaded : AtName::Other;
    if (!S_ISREG(target_.st_mode)) return Fail(PathText(resolvedPath_) + " is no regular file");
    if (::faccessat(folder_.Get(), targetName_.c_str(), W_OK, AT_EACCESS) != 0) {
      const int error = errno;
      return Fail(PathText(resolvedPath_) + " is write-protected: " + Cause(error));
    }
    return true;
  }

  // The loaded bytes and the name, once more before the data file is
  // written: another program may have been at work while the save ran. The
  // loaded file gone from the name meanwhile is written anew, as it would
  // have been at the start.
  bool StillAsSettled() {
    if (held_ && held_->IsOpen() && held_->CheckContent() != HeldContent::Intact)
      return Fail(MessageText("another program has rewritten the file while the save ran"));
    struct stat now {};
    const bool there = ::fstatat(folder_.Get(), targetName_.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0;
    if (!there) {
      const int error = errno;
      if (error != ENOENT) return Fail("cannot look at " + PathText(resolvedPath_) + ": " + Cause(error));
      at_ = AtName::Missing;
      return true;
    }
    const bool expected = at_ == AtName::Loaded ? SameFile(now, target_)
                          : at_ == AtName::Other ? allowed_ && SameFile(now, *allowed_)
                                                 : false;
    if (!expected || !S_ISREG(now.st_mode))
      return Fail(MessageText("another program has put a new file at its name while the save ran"));
    target_ = now;
    return true;
  }

  // A save holds a lock on the folder of its temporary file from before it
  // makes the file until the file is gone or in place, so that no other
  // copy of the program takes that file for a leftover. The lock goes with
  // the process: a save that was killed leaves none.
  bool LockFolder(int folder, const std::string& path) {
    if (::flock(folder, LOCK_EX | LOCK_NB) == 0) return true;
    const int error = errno;
    if (error == EWOULDBLOCK)
      return Fail("another copy of the program is saving into " + PathText(path) +
                  " just now; save again when it has finished");
    return Fail("cannot lock the folder " + PathText(path) + ": " + Cause(error));
  }

  // A descriptor of its own for a folder already open, since a folder's lock
  // is held through the descriptor that took it.
  bool OpenFolderAgain(int folder, const std::string& path, FileDescriptor& into) {
    into = FileDescriptor(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (into) return true;
    const int error = errno;
    return Fail("cannot open the folder " + PathText(path) + ": " + Cause(error));
  }

  // The temporary file goes beside the target, whence a rename can put it
  // in place; where that folder takes no new file (the data file is a link
  // into a folder the user may not write), it goes into the data folder,
  // and the target is written over from it.
  bool CreateTempFile() {
    tempFolderPath_ = FolderOf(resolvedPath_);
    if (!OpenFolderAgain(folder_.Get(), tempFolderPath_, tempFolder_)) return false;
    if (!LockFolder(tempFolder_.Get(), tempFolderPath_)) return false;
    if (MakeTempFileHere()) return true;
    const int error = errno;
    if (haveTarget_ && (error == EACCES || error == EPERM || error == EROFS) && dataFolderFd_ &&
        !SameOpenFile(dataFolderFd_.Get(), folder_.Get())) {
      tempFolderPath_ = dataFolder_;
      if (!OpenFolderAgain(dataFolderFd_.Get(), tempFolderPath_, tempFolder_)) return false;
      if (!LockFolder(tempFolder_.Get(), tempFolderPath_)) return false;
      if (MakeTempFileHere()) {
        inPlace_ = true;
        return true;
      }
      const int dataError = errno;
      return Fail("cannot create " + PathText(TempPath()) + ": " + Cause(dataError));
    }
    return Fail("cannot create " + PathText(TempPath()) + ": " + Cause(error));
  }

  // The data folder's sutra.tmp, made anew in `folder` (the data folder,
  // locked): under the lock any file of that name is a leftover of a save
  // that was killed, and it goes (a link among them: it is removed, never
  // written through). Not when the data file itself has that name.
  FileDescriptor MakeSharedTempFile(int folder) {
    const std::string shared(TempFileName);
    if (targetName_ == shared && SameOpenFile(folder, folder_.Get())) {
      errno = EEXIST;
      return FileDescriptor();
    }
    if (::unlinkat(folder, shared.c_str(), 0) != 0 && errno != ENOENT) return FileDescriptor();
    return CreateNewFile(folder, shared, NewFileMode());
  }

  // In the data folder the temporary file is sutra.tmp. What cannot go (a
  // folder, another user's file in a sticky folder) is left, and so is
  // everything in any other folder: the file then gets a name no file has.
  bool MakeTempFileHere() {
    if (dataFolderFd_ && SameOpenFile(dataFolderFd_.Get(), tempFolder_.Get())) {
      fd_ = MakeSharedTempFile(tempFolder_.Get());
      if (fd_) tempName_ = TempFileName;
    }
    if (!fd_) {
      fd_ = CreateUniqueFile(tempFolder_.Get(), targetName_ + ".", NewFileMode(), &tempName_);
      if (!fd_) tempName_ = targetName_ + ".XXXXXX";
    }
    created_ = static_cast<bool>(fd_);
    return created_;
  }

  // Private until it has the target's owner and mode; a new data file gets
  // the usual mode less the umask.
  mode_t NewFileMode() const { return haveTarget_ ? 0600 : 0644; }

  // The new file keeps the owner, group, permissions and extended
  // attributes of the one it replaces, as far as this process may give
  // them: a user cannot give a file away (EPERM), and may set only a group
  // of their own and only attributes of the user's namespace.
  bool KeepOwnerModeAndAttributes() {
    if (!haveTarget_) return true;
    int error = Fault();
    if (error == 0 && !KeepOwnerAndMode(fd_.Get(), target_)) error = errno;
    if (error != 0)
      return Fail("cannot give " + PathText(TempPath()) + " the permissions of " + PathText(resolvedPath_) + ": " +
                  Cause(error));
    // After the mode: an access ACL sets the group bits of the mode to its mask.
    return KeepAttributes();
  }

  // Read through the target opened once: a file the user may not read has
  // none to give that the user could read.
  bool KeepAttributes() {
    if (inPlace_) return true;  // the data file keeps its own
    FileDescriptor source(
        ::openat(folder_.Get(), targetName_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat opened {};
    if (!source || ::fstat(source.Get(), &opened) != 0) return true;
    if (!SameFile(opened, target_))
      return Fail(MessageText("another program has put a new file at its name while the save ran"));
    ssize_t size = ::flistxattr(source.Get(), nullptr, 0);
    if (size <= 0) return true;  // none, or a file system without them
    std::string names(static_cast<std::size_t>(size), '\0');
    size = ::flistxattr(source.Get(), names.data(), names.size());
    if (size <= 0) return true;
    names.resize(static_cast<std::size_t>(size));
    if (names.back() != '\0') names.push_back('\0');
    std::string value;
    for (std::size_t at = 0; at < names.size(); at = names.find('\0', at) + 1) {
      const std::string name = names.c_str() + at;
      const ssize_t length = ::fgetxattr(source.Get(), name.c_str(), nullptr, 0);
      if (length < 0) continue;
      value.resize(static_cast<std::size_t>(length));
      const ssize_t got = ::fgetxattr(source.Get(), name.c_str(), value.data(), value.size());
      if (got < 0) continue;
      value.resize(static_cast<std::size_t>(got));
      if (::fsetxattr(fd_.Get(), name.c_str(), value.data(), value.size(), 0) == 0) continue;
      const int error = errno;
      // Attributes of other namespaces may be the system's to set.
      if (name.rfind("user.", 0) == 0)
        return Fail("cannot give " + PathText(TempPath()) + " the attribute " + name + " of " +
                    PathText(resolvedPath_) + ": " + Cause(error));
    }
    return true;
  }

  // Into a name found empty, nothing another program put there since is
  // replaced.
  int Rename() {
    if (int error = Fault(); error != 0) return error;
    const char* from = tempName_.c_str();
    const char* to = targetName_.c_str();
    if (at_ == AtName::Missing) {
      if (::renameat2(tempFolder_.Get(), from, folder_.Get(), to, RENAME_NOREPLACE) == 0) return 0;
      if (errno != EINVAL) return errno;  // EINVAL: the file system has no such rename
    }
    return ::renameat(tempFolder_.Get(), from, folder_.Get(), to) == 0 ? 0 : errno;
  }

  bool Done() {
    created_ = false;
    struct stat written {};
    if (::fstat(fd_.Get(), &written) == 0) written_ = FileIdentity::Of(written);
    // Makes the rename itself durable. The new file is in place whatever
    // this yields, so a failure here does not turn the save into a failed one.
    ::fsync(folder_.Get());
    Abandon();
    return true;
  }

  // Reads `size` bytes of the temporary file at `offset`; on failure *cause
  // says why.
  bool ReadBack(char* data, std::size_t size, int64_t offset, std::string* cause) const {
    errno = 0;
    if (ReadAt(fd_.Get(), data, size, offset) == size) return true;
    const int error = errno;
    *cause = error != 0 ? Cause(error) : "it has become shorter than when it was checked";
    return false;
  }

  // A write in place that is cut off leaves the data file unreadable as a
  // corpus, and the next start then names the data folder's sutra.tmp as
  // the whole new corpus: a temporary file made elsewhere (beside a link's
  // target) is first copied there, on disk and checked.
  bool PutCopyInDataFolder() {
    if (!dataFolderFd_ || (tempName_ == TempFileName && SameOpenFile(dataFolderFd_.Get(), tempFolder_.Get())))
      return true;
    FileDescriptor folder;
    if (!OpenFolderAgain(dataFolderFd_.Get(), dataFolder_, folder)) return false;
    if (!SameOpenFile(folder.Get(), tempFolder_.Get()) && !LockFolder(folder.Get(), dataFolder_)) return false;
    FileDescriptor copy = MakeSharedTempFile(folder.Get());
    if (!copy) {
      const int error = errno;
      return Fail("cannot create " + PathText(RecoveryPath()) + " to write " + PathText(resolvedPath_) +
                  " over from it: " + Cause(error));
    }
    const int64_t size = FileSize();
    std::string block(BufferSize, '\0');
    std::string cause;
    for (int64_t at = 0; at < size && cause.empty(); at += static_cast<int64_t>(BufferSize)) {
      const auto want = static_cast<std::size_t>(std::min<int64_t>(size - at, BufferSize));
      if (!ReadBack(block.data(), want, at, &cause)) break;
      int error = Fault();
      if (error == 0 && !WriteAllAt(copy.Get(), block.data(), want, at)) error = errno;
      if (error != 0) cause = Cause(error);
    }
    if (cause.empty()) {
      int error = Fault();
      if (error == 0 && ::fsync(copy.Get()) != 0) error = errno;
      if (error != 0) cause = Cause(error);
    }
    if (!cause.empty()) {
      RemoveIfStillNames(folder.Get(), std::string(TempFileName), copy.Get());
      return Fail("cannot copy " + PathText(TempPath()) + " to " + PathText(RecoveryPath()) + ": " + cause);
    }
    RemoveIfStillNames(tempFolder_.Get(), tempName_, fd_.Get());
    fd_ = std::move(copy);
    tempFolder_ = std::move(folder);  // the old folder's lock goes with it
    tempFolderPath_ = dataFolder_;
    tempName_ = TempFileName;
    return Verify();
  }

  // Writes the complete, verified temporary file over the target, which so
  // keeps its other names, owner, mode and attributes. The copy and its
  // name are on disk before the target changes; the target's signature is
  // broken first and its header, with the signature, written last, each
  // after a sync, so that a crash at any point leaves the old corpus, the
  // new one, or a file the next start refuses, naming the copy. The copy
  // is removed only once the target holds the new corpus on disk.
  bool WriteInPlace() {
    if (!PutCopyInDataFolder()) return false;
    int error = Fault();
    if (error == 0 && ::fsync(tempFolder_.Get()) != 0) error = errno;
    if (error != 0) return Fail("cannot write the folder " + PathText(tempFolderPath_) + " to disk: " + Cause(error));

    FileDescriptor out(::openat(folder_.Get(), targetName_.c_str(),
                                O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat opened {};
    if (!out || ::fstat(out.Get(), &opened) != 0) {
      error = errno;
      return Fail("cannot write " + PathText(resolvedPath_) + ": " + Cause(error));
    }
    if (!S_ISREG(opened.st_mode) || !SameFile(opened, target_))
      return Fail(MessageText("another program has put a new file at its name while the save ran"));

    auto step = [&](const auto& call) {
      if (error == 0) error = Fault();
      if (error == 0 && !call()) error = errno;
    };
    const int fd = out.Get();
    step([&] {
      damaged_ = true;
      return WriteAllAt(fd, BrokenSignature.data(), BrokenSignature.size(), 0);
    });
    step([&] { return ::fdatasync(fd) == 0; });
    const int64_t size = FileSize();
    std::string block(BufferSize, '\0');
    std::string readCause;
    for (int64_t at = SutraFileHeader::Size; at < size && error == 0; at += static_cast<int64_t>(BufferSize)) {
      const auto want = static_cast<std::size_t>(std::min<int64_t>(size - at, BufferSize));
      if (!ReadBack(block.data(), want, at, &readCause)) break;
      step([&] { return WriteAllAt(fd, block.data(), want, at); });
    }
    if (readCause.empty()) {
      step([&] { return ::ftruncate(fd, static_cast<off_t>(size)) == 0; });
      step([&] { return ::fdatasync(fd) == 0; });
      step([&] { return WriteAllAt(fd, header_.data(), header_.size(), 0); });
      step([&] { return ::fsync(fd) == 0; });
    }
    if (error != 0 || !readCause.empty()) {
      if (!damaged_) return Fail("cannot write " + PathText(resolvedPath_) + ": " + Cause(error));
      // The temporary file is now the one whole copy of the new corpus.
      created_ = false;
      if (!readCause.empty())
        return Fail("cannot read back " + PathText(TempPath()) + " while writing it over " +
                    PathText(resolvedPath_) + ": " + readCause + ".\r" + PathText(resolvedPath_) +
                    " is left part written; " + PathText(TempPath()) + ", whole when checked, is kept");
      return Fail("writing over " + PathText(resolvedPath_) + " failed part way: " + Cause(error) +
                  ".\rThe whole new corpus is in " + PathText(TempPath()) + "; copy it over " +
                  PathText(resolvedPath_) + " before anything else");
    }
    if (::fstat(fd, &opened) == 0) written_ = FileIdentity::Of(opened);
    RemoveIfStillNames(tempFolder_.Get(), tempName_, fd_.Get());
    created_ = false;
    Abandon();
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
    return WriteChecked(bytes.data(), bytes.size());
  }

  bool Flush() {
    if (buffer_.empty()) return true;
    const bool ok = WriteChecked(buffer_.data(), buffer_.size());
    buffer_.clear();
    return ok;
  }

  bool WriteChecked(const char* data, std::size_t size) {
    int error = Fault();
    if (error == 0 && !WriteAll(fd_.Get(), data, size)) error = errno;
    if (error != 0) return Fail("cannot write " + PathText(TempPath()) + ": " + Cause(error));
    written_bytes_ += static_cast<int64_t>(size);
    // Sets the disk writing what is written so far while the save goes on,
    // rather than all of it at the sync; the sync still reports a failure.
    if (written_bytes_ - kicked_ >= KickSize) {
      (void)::sync_file_range(fd_.Get(), kicked_, written_bytes_ - kicked_, SYNC_FILE_RANGE_WRITE);
      kicked_ = written_bytes_;
    }
    return true;
  }

  bool Patch(std::string_view bytes, off_t offset) {
    int error = Fault();
    if (error == 0 && !WriteAllAt(fd_.Get(), bytes.data(), bytes.size(), offset)) error = errno;
    if (error != 0) return Fail("cannot write " + PathText(TempPath()) + ": " + Cause(error));
    return true;
  }

  // Reads the written file back through its own descriptor: its size,
  // header and index must be what was written, or it does not replace the
  // data file.
  bool Verify() {
    struct stat written {};
    if (::fstat(fd_.Get(), &written) != 0) {
      const int error = errno;
      return Fail("cannot read back " + PathText(TempPath()) + ": " + Cause(error));
    }
    const int64_t expected = FileSize();
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
  std::string dataFolder_;
  std::optional<FileIdentity> loaded_;
  DataFile* held_;
  const SaveFaultHook* hook_;

  std::string resolvedPath_;
  std::string targetName_;
  FileDescriptor folder_;
  FileDescriptor dataFolderFd_;  // none without a data folder, or when it cannot be opened
  bool heldLocked_ = false;
  bool haveTarget_ = false;
  struct stat target_ {};
  AtName at_ = AtName::Missing;
  std::optional<struct stat> allowed_;  // the other file the user agreed to replace
  std::string tempFolderPath_;
  FileDescriptor tempFolder_;  // locked while the save has a temporary file
  std::string tempName_;
  FileDescriptor fd_;
  bool created_ = false;
  bool inPlace_ = false;
  bool refused_ = false;
  bool damaged_ = false;
  int operation_ = 0;
  int64_t written_bytes_ = 0;
  int64_t kicked_ = 0;  // the bytes handed to the disk ahead of the sync
  std::string header_;
  std::string buffer_;
  std::string index_;
  int32_t position_ = SutraFileHeader::FirstTextPos;
  MessageText error_;
  std::optional<FileIdentity> written_;
};

// Reads record texts from the loaded file through a window of consecutive
// bytes: the texts lie mostly back to back, so a few large reads serve them
// all where one read per record would cost more than the rest of the save.
// The window is all of the file that is held in memory.
class RecordReader {
public:
  explicit RecordReader(const DataFile& file) : file_(file) {}

  std::optional<std::string_view> Read(int64_t pos, int64_t len) {
    if (pos < 1 || len < 0) return std::nullopt;
    if (pos < start_ || pos + len > start_ + static_cast<int64_t>(window_.size())) {
      window_ = file_.ReadUpTo(pos, std::max(len, WindowSize));
      start_ = pos;
      if (static_cast<int64_t>(window_.size()) < len) return std::nullopt;
    }
    return std::string_view(window_).substr(static_cast<std::size_t>(pos - start_), static_cast<std::size_t>(len));
  }

private:
  static constexpr int64_t WindowSize = int64_t{1} << 18;

  const DataFile& file_;
  std::string window_;
  int64_t start_ = 0;
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
    return "the index would start at byte " + NumberText(position) + ", beyond the last position " +
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

// What the failed save left is said of the file only while one is there:
// another program may have taken it away.
MessageText FailureMessage(const CorpusState& state, const MessageText& cause, bool damaged) {
  struct stat there {};
  const char* left = damaged                                      ? ".\rThe edits are kept."
                     : ::lstat(state.gDataFile.c_str(), &there) == 0 ? ".\rThe file is unchanged and the edits are kept."
                                                                   : ".\rNo file was written; the edits are kept.";
  return "Saving " + PathText(state.gDataFile) + " failed: " + cause + left;
}

MessageText RefusalMessage(const CorpusState& state, const MessageText& problem) {
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


SaveOutcome RunSave(CorpusState& state, SaverHost& host, const SaveOptions& options) {
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

  CorpusWriter writer(state.gDataFile, state.gDataDir, state.gDataIdentity, &state.gDataFileNo, &options.faultHook);
  auto fail = [&](const MessageText& cause) {
    writer.Abandon();
    host.SetHourglass(false);
    if (writer.Refused()) {
      host.ReportSaveError(RefusalMessage(state, cause));
      return SaveOutcome::Refused;
    }
    host.ReportSaveError(FailureMessage(state, cause, writer.Damaged()));
    return SaveOutcome::Failed;
  };

  if (!writer.Settle()) return fail(writer.Error());
  if (writer.At() == AtName::Other) {
    host.SetHourglass(false);
    if (!host.AskReplace(PathText(state.gDataFile) + ReplaceQuestionTail)) return SaveOutcome::Declined;
    host.SetHourglass(true);
    writer.AllowReplacing();
  }
  if (!writer.Begin(state.gHeaderTag, state.gHeaderByte8)) return fail(writer.Error());

  RecordReader loaded(state.gDataFileNo);
  for (int i = 1; i <= MaxSutras; ++i) {
    std::string_view text;
    if (!state.gEditedText[i].empty()) {
      text = state.gEditedText[i];
    } else if (state.gTextPos[i] > 0) {
      const auto read = loaded.Read(state.gTextPos[i], state.gTextLen[i]);
      if (!read) return fail(ReadProblem(state, i));
      text = *read;
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
  return SaveOutcome::Saved;
}

}  // namespace

SaveOutcome SaveSutraFile(CorpusState& state, SaverHost& host, const SaveOptions& options) {
  // A second save from a handler run by this save's DoEvents must not start.
  if (state.gSaving) return SaveOutcome::Refused;
  const SaveOutcome outcome = [&] {
    const FlagWhile saving(state.gSaving);
    return RunSave(state, host, options);
  }();
  // The reload that follows is no longer part of the save.
  if (outcome == SaveOutcome::Saved) host.SaveCompleted();
  return outcome;
}

bool WriteCorpusFile(const std::string& path, const std::vector<std::string>& texts, char headerByte8,
                     std::string* error) {
  auto fail = [&](const std::string& cause) {
    if (error) *error = cause;
    return false;
  };
  if (HoldsNul(path)) return fail("its path holds a NUL character, which no file name can hold");
  if (texts.size() > static_cast<std::size_t>(MaxSutras))
    return fail(NumberText(static_cast<int64_t>(texts.size())) + " records are more than the " + NumberText(MaxSutras) +
                " a data file holds");
  const std::string problem = LayoutProblem(static_cast<int>(texts.size()), [&](int i) {
    return static_cast<int64_t>(texts[static_cast<std::size_t>(i) - 1].size());
  });
  if (!problem.empty()) return fail(problem);
  CorpusWriter writer(path, {}, std::nullopt, nullptr, nullptr);
  if (!writer.Settle() || !writer.Begin(DefaultHeaderTag, headerByte8)) return fail(writer.Error().text);
  for (const auto& text : texts)
    if (!writer.AddText(text, nullptr)) return fail(writer.Error().text);
  if (!writer.Commit()) return fail(writer.Error().text);
  return true;
}

}  // namespace vyk
