#pragma once
// Files opened by name may be anything: a link to another file, a FIFO that
// waits for a writer, a device that never ends, or a name another program
// swaps under us. The program opens and makes its files through these, the
// corpus save and the settings write (a new file made with O_EXCL, synced,
// then renamed over the old) alike: never waiting, taking only regular
// files, reading no more than a cap, and acting on the descriptor once it
// has one. Plain C++, so that the corpus store uses them too.

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vyk {

// An owned file descriptor, closed when it goes.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { Reset(); }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.Release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int Release();
    void Reset();

private:
    int fd_ = -1;
};

// Which file a name stood for, and a cheap sign of its content: another
// file put in its place has another device or inode, and a rewrite in place
// shows in its size or times. A program may set the modification time back
// (cp -p, rsync -t); the change time it cannot, though a touch or a chmod
// moves it too.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    static FileIdentity Of(const struct stat& status);
    bool operator==(const FileIdentity& other) const;
};

// The same file (device and inode), whatever its content.
bool SameFile(const struct stat& a, const struct stat& b);

// No file name can hold a NUL: the system would cut the name there and
// reach another file.
bool HoldsNul(std::string_view path);

enum class OpenFailure {
    None,
    Missing,     // nothing has that name (or a folder on the way is missing)
    NotRegular,  // a folder, FIFO, device or socket
    TooLarge,    // larger than the cap
    Refused,     // a NUL in the name, or a loop of links
    System,      // anything else
};

// Whether a process running as `follower` follows `link`, a link in
// `folder`. Root follows only links of its own: run with a user's home (sudo
// keeps HOME), a link the user made would send root's reads and writes into
// any file of the system. Anyone else follows what the kernel's
// protected_symlinks lets them follow: any link, but in a sticky folder that
// all may write (/tmp) only their own or the folder owner's.
bool MayFollowLink(uid_t follower, const struct stat& link, const struct stat& folder);

// How a path's links are followed: by the kernel, or one name at a time and
// only where MayFollowLink lets this process follow them (Guarded). The
// program's files in the user's home (the settings file, the fonts folder)
// are reached guarded.
enum class Links { ByKernel, Guarded };

// A path's last name and the folder that holds it, reached one name at a
// time from the path's start, following a link (on the way or as the last
// name) only where MayFollowLink allows it. `name` is never a link, unless
// another program put one there since: it names what the path ends in, or
// nothing yet (a file to make, what a dangling link points at). The folder is
// open with O_PATH, as the kernel needs only to search a folder on the way.
struct ReachedName {
    FileDescriptor folder;
    std::string name;
};

// Nothing, with errno, when a folder on the way is missing (ENOENT) or no
// folder (ENOTDIR), a link may not be followed (EACCES, as the kernel says),
// or more than 40 links are followed (ELOOP).
std::optional<ReachedName> ReachName(const std::string& path);

// A regular file open for reading, with the status of the descriptor itself.
struct OpenedFile {
    FileDescriptor fd;
    struct stat status {};
    OpenFailure failure = OpenFailure::None;

    explicit operator bool() const { return static_cast<bool>(fd); }
};

// Opens without waiting (a FIFO with no writer) and keeps the descriptor only
// when it is a regular file of at most maxSize bytes (-1: no cap). What the
// name stands for is looked at before it is opened, since opening some
// devices does something of its own, and the descriptor again after. A link
// is followed as `links` says: what it names is what is checked.
OpenedFile OpenRegularFile(const std::string& path, std::int64_t maxSize = -1, Links links = Links::ByKernel);

enum class ReadStatus { Read, Missing, Unreadable };

struct FileContent {
    ReadStatus status = ReadStatus::Missing;
    std::string bytes;
    struct stat file {};  // of the descriptor read, when Read
};

// The whole of a regular file of at most maxSize bytes (-1: no cap). A file
// that is no regular file, is larger, or grows past the cap while read is
// Unreadable.
FileContent ReadRegularFile(const std::string& path, std::int64_t maxSize, Links links = Links::ByKernel);

// Reads up to `size` bytes at `offset`; how many arrived before the end of
// the file or an error.
std::size_t ReadAt(int fd, char* buffer, std::size_t size, std::int64_t offset);

// Write all of it, at the file position or at `offset`, going on after a
// short or interrupted write; errno tells a failure (EIO for a write that
// took nothing and gave no cause).
bool WriteAll(int fd, const char* data, std::size_t size);
bool WriteAllAt(int fd, const char* data, std::size_t size, std::int64_t offset);

// Gives the file open as `fd` the owner, group and permissions in `old`, as
// far as this process may: only root gives a file away, and a user may set
// only a group of their own. False, with errno, when the permissions could
// not be set.
bool KeepOwnerAndMode(int fd, const struct stat& old);

// A folder open for acting on its entries by name, through the *at calls,
// its links followed as `links` says.
FileDescriptor OpenFolder(const std::string& path, Links links = Links::ByKernel);

// Run as root with a user's home (sudo keeps HOME), what the program makes
// there must stay the user's: the file or folder open as `fd`, just made in
// `folder`, takes that folder's owner and group. For anyone but root it is
// theirs already, and nothing happens.
void GiveToFolderOwner(int fd, int folder);

// Makes the folder and any missing folder on the way to it, as "mkdir -p"
// does but private to the user (0700, as the XDG rules ask of the folders
// they name), with the bytes of the path as they are, each given to its
// folder's owner as above. Links on the way are followed guarded, and a
// folder that a link points into is not made: where a link leads is its
// maker's business. True when the folder exists afterwards.
bool MakeFolders(const std::string& path);

// A new regular file `name` in the folder, made by this call: fails with
// EEXIST when anything has that name, a link or a FIFO among them.
FileDescriptor CreateNewFile(int folder, const std::string& name, mode_t mode);

// A new regular file whose name is `stem` and six random letters and
// digits, a name no file had; *name receives it.
FileDescriptor CreateUniqueFile(int folder, const std::string& stem, mode_t mode, std::string* name);

// True while `name` in the folder is, itself and not through a link, the
// file open as `fd`: another program may have put something else there.
bool NameStillNames(int folder, const std::string& name, int fd);

// Removes `name` from the folder only while it still names the file open as
// `fd`, so that nothing but the file the caller made is removed.
void RemoveIfStillNames(int folder, const std::string& name, int fd);

// Splits a path into its folder ("." for a bare name, "/" at the root) and
// its last name.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

}  // namespace vyk
