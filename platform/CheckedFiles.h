#pragma once
// Files opened by name may be anything: a link to another file, a FIFO that
// waits for a writer, a device that never ends, or a name another program
// swaps under us. The program opens and makes its files through these, the
// corpus save and the settings write (a new file made with O_EXCL, synced,
// then renamed over the old) alike: never waiting, taking only regular
// files, reading no more than a cap, and acting on the descriptor once it
// has one. Plain C++, so that the corpus store uses them too.

#include <sys/stat.h>

#include <cstdint>
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
// is followed: what it names is what is checked.
OpenedFile OpenRegularFile(const std::string& path, std::int64_t maxSize = -1);

enum class ReadStatus { Read, Missing, Unreadable };

struct FileContent {
    ReadStatus status = ReadStatus::Missing;
    std::string bytes;
    struct stat file {};  // of the descriptor read, when Read
};

// The whole of a regular file of at most maxSize bytes (-1: no cap). A file
// that is no regular file, is larger, or grows past the cap while read is
// Unreadable.
FileContent ReadRegularFile(const std::string& path, std::int64_t maxSize);

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

// A folder open for acting on its entries by name, through the *at calls.
FileDescriptor OpenFolder(const std::string& path);

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
