#include "platform/CheckedFiles.h"

#include <fcntl.h>
#include <sys/random.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <utility>

namespace vyk {

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        Reset();
        fd_ = other.Release();
    }
    return *this;
}

int FileDescriptor::Release() { return std::exchange(fd_, -1); }

void FileDescriptor::Reset() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
}

FileIdentity FileIdentity::Of(const struct stat& status) {
    return {status.st_dev, status.st_ino, status.st_size, status.st_mtim, status.st_ctim};
}

namespace {

bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

}  // namespace

bool FileIdentity::operator==(const FileIdentity& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           SameTime(modified, other.modified) && SameTime(changed, other.changed);
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

bool HoldsNul(std::string_view path) { return path.find('\0') != std::string_view::npos; }

namespace {

int OpenRetrying(int folder, const char* name, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::openat(folder, name, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

OpenFailure FailureOf(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return OpenFailure::Missing;
    case ELOOP:
        return OpenFailure::Refused;
    default:
        return OpenFailure::System;
    }
}

}  // namespace

OpenedFile OpenRegularFile(const std::string& path, std::int64_t maxSize) {
    OpenedFile opened;
    auto fail = [&](OpenFailure failure) {
        opened.fd.Reset();
        opened.failure = failure;
        return std::move(opened);
    };
    if (path.empty()) return fail(OpenFailure::Missing);
    if (HoldsNul(path)) return fail(OpenFailure::Refused);
    struct stat named {};
    if (::stat(path.c_str(), &named) != 0) return fail(FailureOf(errno));
    if (!S_ISREG(named.st_mode)) return fail(OpenFailure::NotRegular);
    // O_NONBLOCK: a FIFO put in the file's place since the look would hold
    // the open until a writer came; on a regular file it changes nothing.
    opened.fd = FileDescriptor(OpenRetrying(AT_FDCWD, path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!opened.fd) return fail(FailureOf(errno));
    if (::fstat(opened.fd.Get(), &opened.status) != 0) return fail(OpenFailure::System);
    if (!S_ISREG(opened.status.st_mode)) return fail(OpenFailure::NotRegular);
    if (maxSize >= 0 && opened.status.st_size > maxSize) return fail(OpenFailure::TooLarge);
    return opened;
}

FileContent ReadRegularFile(const std::string& path, std::int64_t maxSize) {
    FileContent content;
    const OpenedFile file = OpenRegularFile(path, maxSize);
    if (!file) {
        content.status = file.failure == OpenFailure::Missing ? ReadStatus::Missing : ReadStatus::Unreadable;
        return content;
    }
    // One byte beyond the cap tells a file that grew since the check.
    const std::size_t limit =
        maxSize < 0 ? std::numeric_limits<std::size_t>::max() : static_cast<std::size_t>(maxSize) + 1;
    content.bytes.resize(std::min(limit, static_cast<std::size_t>(file.status.st_size) + 1));
    std::size_t have = 0;
    bool failed = false;
    while (have < limit) {
        if (have == content.bytes.size()) content.bytes.resize(std::min(limit, have * 2));
        const ssize_t got = ::read(file.fd.Get(), content.bytes.data() + have, content.bytes.size() - have);
        if (got < 0 && errno == EINTR) continue;
        failed = got < 0;
        if (got <= 0) break;
        have += static_cast<std::size_t>(got);
    }
    if (failed || have >= limit) {
        content.status = ReadStatus::Unreadable;
        content.bytes.clear();
        return content;
    }
    content.bytes.resize(have);
    content.status = ReadStatus::Read;
    content.file = file.status;
    return content;
}

std::size_t ReadAt(int fd, char* buffer, std::size_t size, std::int64_t offset) {
    std::size_t have = 0;
    while (have < size) {
        const auto at = static_cast<off_t>(offset + static_cast<std::int64_t>(have));
        const ssize_t got = ::pread(fd, buffer + have, size - have, at);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        have += static_cast<std::size_t>(got);
    }
    return have;
}

namespace {

// `offset` < 0 writes at the file position.
bool WriteLoop(int fd, const char* data, std::size_t size, std::int64_t offset) {
    while (size > 0) {
        const ssize_t put = offset < 0 ? ::write(fd, data, size) : ::pwrite(fd, data, size, static_cast<off_t>(offset));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            // A write that took nothing may leave errno from an older call.
            if (put == 0) errno = EIO;
            return false;
        }
        data += put;
        size -= static_cast<std::size_t>(put);
        if (offset >= 0) offset += put;
    }
    return true;
}

}  // namespace

bool WriteAll(int fd, const char* data, std::size_t size) { return WriteLoop(fd, data, size, -1); }

bool KeepOwnerAndMode(int fd, const struct stat& old) {
    struct stat mine {};
    if (::fstat(fd, &mine) == 0 && (mine.st_uid != old.st_uid || mine.st_gid != old.st_gid)) {
        if (::fchown(fd, old.st_uid, old.st_gid) != 0 && mine.st_gid != old.st_gid)
            (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    // After the owner: a change of owner clears the set-id bits.
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

bool WriteAllAt(int fd, const char* data, std::size_t size, std::int64_t offset) {
    if (offset < 0) {
        errno = EINVAL;
        return false;
    }
    return WriteLoop(fd, data, size, offset);
}

FileDescriptor OpenFolder(const std::string& path) {
    if (HoldsNul(path)) {
        errno = EINVAL;
        return FileDescriptor();
    }
    return FileDescriptor(OpenRetrying(AT_FDCWD, path.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC));
}

FileDescriptor CreateNewFile(int folder, const std::string& name, mode_t mode) {
    if (HoldsNul(name) || name.find('/') != std::string::npos) {
        errno = EINVAL;
        return FileDescriptor();
    }
    return FileDescriptor(
        OpenRetrying(folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, mode));
}

FileDescriptor CreateUniqueFile(int folder, const std::string& stem, mode_t mode, std::string* name) {
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[6];
        if (::getrandom(random, sizeof random, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof random)) {
            // No entropy to be had: the clock and a counter still give a name
            // that O_EXCL proves unused.
            timespec now{};
            ::clock_gettime(CLOCK_REALTIME, &now);
            unsigned long long mix = static_cast<unsigned long long>(now.tv_nsec) ^
                                     (static_cast<unsigned long long>(::getpid()) << 20) ^ (++counter * 2654435761u);
            for (unsigned char& byte : random) {
                byte = static_cast<unsigned char>(mix);
                mix = mix * 6364136223846793005ull + 1442695040888963407ull;
            }
        }
        std::string candidate = stem;
        for (unsigned char byte : random) candidate += Letters[byte % (sizeof Letters - 1)];
        FileDescriptor fd = CreateNewFile(folder, candidate, mode);
        if (fd) {
            if (name) *name = std::move(candidate);
            return fd;
        }
        if (errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return FileDescriptor();
}

bool NameStillNames(int folder, const std::string& name, int fd) {
    struct stat named {};
    struct stat open {};
    return ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(fd, &open) == 0 &&
           SameFile(named, open);
}

void RemoveIfStillNames(int folder, const std::string& name, int fd) {
    if (NameStillNames(folder, name, fd)) ::unlinkat(folder, name.c_str(), 0);
}

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

}  // namespace vyk
