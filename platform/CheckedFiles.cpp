#include "platform/CheckedFiles.h"

#include <fcntl.h>
#include <sys/random.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <deque>
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

bool MayFollowLink(uid_t follower, const struct stat& link, const struct stat& folder) {
    if (link.st_uid == follower) return true;
    if (follower == 0) return false;
    const bool sharedSticky = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return !sharedSticky || folder.st_uid == link.st_uid;
}

namespace {

// As many as the kernel follows in one path.
constexpr int MaxLinks = 40;

// A name still to walk, and whether a missing folder of that name may be
// made: not when it comes from a link's target.
struct PathStep {
    std::string name;
    bool mayMake;
};

// Puts the names of `path` in front of the steps still to walk; "" and "."
// name no step.
void PushSteps(std::deque<PathStep>& steps, std::string_view path, bool mayMake) {
    std::deque<PathStep> names;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        const std::string_view name = path.substr(start, slash - start);
        if (!name.empty() && name != ".") names.push_back({std::string(name), mayMake});
        start = slash + 1;
    }
    steps.insert(steps.begin(), names.begin(), names.end());
}

// The text of the link open as `link` (O_PATH | O_NOFOLLOW), read from the
// same link whose owner was checked.
std::optional<std::string> LinkText(int link, off_t size) {
    std::string text(static_cast<std::size_t>(size > 0 ? size : 255) + 1, '\0');
    for (;;) {
        const ssize_t length = ::readlinkat(link, "", text.data(), text.size());
        if (length < 0) return std::nullopt;
        if (static_cast<std::size_t>(length) < text.size()) {
            text.resize(static_cast<std::size_t>(length));
            return text;
        }
        text.resize(text.size() * 2);
    }
}

enum class WalkTo { LastName, MadeFolder };

// The walk behind ReachName and MakeFolders. To a last name, it stops at
// that name once no link is left to follow; to a made folder, every name is a
// folder, made when missing and the path (not a link) names it, and the walk
// ends in the folder itself, named ".".
std::optional<ReachedName> Walk(const std::string& path, WalkTo goal) {
    if (path.empty() || HoldsNul(path)) {
        errno = path.empty() ? ENOENT : EINVAL;
        return std::nullopt;
    }
    const auto start = [](bool atRoot) {
        return FileDescriptor(OpenRetrying(AT_FDCWD, atRoot ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    };
    FileDescriptor at = start(path.front() == '/');
    std::deque<PathStep> steps;
    PushSteps(steps, path, goal == WalkTo::MadeFolder);
    int hops = 0;
    while (at && !steps.empty()) {
        const PathStep step = std::move(steps.front());
        steps.pop_front();
        const bool last = steps.empty() && goal == WalkTo::LastName;
        FileDescriptor next(OpenRetrying(at.Get(), step.name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        if (!next) {
            if (errno != ENOENT) return std::nullopt;
            if (last) return ReachedName{std::move(at), step.name};
            if (!step.mayMake) return std::nullopt;
            if (::mkdirat(at.Get(), step.name.c_str(), 0700) != 0) {
                if (errno != EEXIST || ++hops > MaxLinks) return std::nullopt;
                steps.push_front(step);  // another program made it: look again
                continue;
            }
            // Given away only as the folder just made, never a link put in its place.
            next = FileDescriptor(
                OpenRetrying(at.Get(), step.name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (next) GiveToFolderOwner(next.Get(), at.Get());
            at = std::move(next);
            continue;
        }
        struct stat status {};
        if (::fstat(next.Get(), &status) != 0) return std::nullopt;
        if (S_ISLNK(status.st_mode)) {
            struct stat folder {};
            if (::fstat(at.Get(), &folder) != 0) return std::nullopt;
            if (!MayFollowLink(::geteuid(), status, folder)) {
                errno = EACCES;
                return std::nullopt;
            }
            if (++hops > MaxLinks) {
                errno = ELOOP;
                return std::nullopt;
            }
            const std::optional<std::string> target = LinkText(next.Get(), status.st_size);
            if (!target) return std::nullopt;
            if (target->empty()) {
                errno = ENOENT;
                return std::nullopt;
            }
            if (target->front() == '/') at = start(true);
            PushSteps(steps, *target, false);
            continue;
        }
        if (last) return ReachedName{std::move(at), step.name};
        if (!S_ISDIR(status.st_mode)) {
            errno = ENOTDIR;
            return std::nullopt;
        }
        at = std::move(next);
    }
    if (!at) return std::nullopt;
    return ReachedName{std::move(at), "."};
}

}  // namespace

std::optional<ReachedName> ReachName(const std::string& path) { return Walk(path, WalkTo::LastName); }

OpenedFile OpenRegularFile(const std::string& path, std::int64_t maxSize, Links links) {
    OpenedFile opened;
    auto fail = [&](OpenFailure failure) {
        opened.fd.Reset();
        opened.failure = failure;
        return std::move(opened);
    };
    if (path.empty()) return fail(OpenFailure::Missing);
    if (HoldsNul(path)) return fail(OpenFailure::Refused);
    // Where the last name is looked at and opened: as the kernel finds it, or
    // in the folder a guarded walk reached, without following it again.
    std::optional<ReachedName> reached;
    if (links == Links::Guarded && !(reached = ReachName(path))) return fail(FailureOf(errno));
    const int folder = reached ? reached->folder.Get() : AT_FDCWD;
    const char* name = reached ? reached->name.c_str() : path.c_str();
    const int noFollow = reached ? O_NOFOLLOW : 0;
    struct stat named {};
    if (::fstatat(folder, name, &named, reached ? AT_SYMLINK_NOFOLLOW : 0) != 0) return fail(FailureOf(errno));
    if (!S_ISREG(named.st_mode)) return fail(OpenFailure::NotRegular);
    // O_NONBLOCK: a FIFO put in the file's place since the look would hold
    // the open until a writer came; on a regular file it changes nothing.
    opened.fd = FileDescriptor(OpenRetrying(folder, name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | noFollow));
    if (!opened.fd) return fail(FailureOf(errno));
    if (::fstat(opened.fd.Get(), &opened.status) != 0) return fail(OpenFailure::System);
    if (!S_ISREG(opened.status.st_mode)) return fail(OpenFailure::NotRegular);
    if (maxSize >= 0 && opened.status.st_size > maxSize) return fail(OpenFailure::TooLarge);
    return opened;
}

FileContent ReadRegularFile(const std::string& path, std::int64_t maxSize, Links links) {
    FileContent content;
    const OpenedFile file = OpenRegularFile(path, maxSize, links);
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

FileDescriptor OpenFolder(const std::string& path, Links links) {
    constexpr int Flags = O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC;
    if (HoldsNul(path)) {
        errno = EINVAL;
        return FileDescriptor();
    }
    if (links == Links::ByKernel) return FileDescriptor(OpenRetrying(AT_FDCWD, path.c_str(), Flags));
    const std::optional<ReachedName> reached = ReachName(path);
    if (!reached) return FileDescriptor();
    return FileDescriptor(OpenRetrying(reached->folder.Get(), reached->name.c_str(), Flags | O_NOFOLLOW));
}

void GiveToFolderOwner(int fd, int folder) {
    struct stat parent {};
    if (::geteuid() != 0 || ::fstat(folder, &parent) != 0) return;
    (void)::fchown(fd, parent.st_uid, parent.st_gid);
}

bool MakeFolders(const std::string& path) {
    return Walk(path, WalkTo::MadeFolder).has_value();
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
