// The POSIX implementation of the platform file layer. A Windows build compiles its own
// implementation of the same names instead of this file.
#if !defined(_WIN32)
#include "base/PlatformFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <utility>
#include <vector>

#include "base/PlatformFileShared.h"

namespace platform {

namespace {

using shared::injectedFailure;
using shared::inputKindError;

FileKind kindOf(mode_t mode) {
    if (S_ISREG(mode)) return FileKind::Regular;
    if (S_ISDIR(mode)) return FileKind::Directory;
    if (S_ISLNK(mode)) return FileKind::Link;
    if (S_ISFIFO(mode)) return FileKind::Pipe;
    if (S_ISCHR(mode) || S_ISBLK(mode)) return FileKind::Device;
    return FileKind::Other;
}

void fillStatus(const struct stat& info, FileStatus& out) {
    out.kind = kindOf(info.st_mode);
    out.permissions = static_cast<unsigned>(info.st_mode & 07777);
    out.owner = static_cast<long long>(info.st_uid);
    out.group = static_cast<long long>(info.st_gid);
    out.device = static_cast<unsigned long long>(info.st_dev);
    out.inode = static_cast<unsigned long long>(info.st_ino);
}

int openFlags(OpenMode mode) {
    switch (mode) {
        case OpenMode::Read:
            return O_RDONLY;
        case OpenMode::ReadWrite:
            return O_RDWR;
        case OpenMode::Write:
            return O_WRONLY | O_CREAT | O_TRUNC;
        case OpenMode::Append:
            return O_WRONLY | O_CREAT | O_APPEND;
        case OpenMode::ReadWriteNew:
            return O_RDWR | O_CREAT | O_TRUNC;
        case OpenMode::ReadAppend:
            return O_RDWR | O_CREAT | O_APPEND;
    }
    return O_RDONLY;
}

// Takes O_NONBLOCK off again once a file opened unblocked turned out to be a regular file.
void clearNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
}

std::string joinName(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

std::string parentOf(const std::string& path) {
    const std::size_t cut = path.find_last_of('/');
    if (cut == std::string::npos) return ".";
    return cut == 0 ? "/" : path.substr(0, cut);
}

}  // namespace

int fileStatus(const std::string& path, bool followLinks, FileStatus& out) {
    out = FileStatus();
    struct stat info {};
    const int r = followLinks ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info);
    if (r != 0) return errno;
    fillStatus(info, out);
    return 0;
}

namespace shared {

void closeHandle(int handle) {
    ::close(handle);
}

}  // namespace shared

// File

long long File::read(void* buffer, std::size_t size) {
    if (handle_ < 0) {
        fail(EBADF);
        return -1;
    }
    for (;;) {
        const ssize_t n = ::read(handle_, buffer, size);
        if (n >= 0) return n;
        if (errno != EINTR) {
            fail(errno);
            return -1;
        }
    }
}

bool File::write(const void* data, std::size_t size) {
    if (handle_ < 0) return fail(EBADF);
    int injected = 0;
    if (injectedFailure(injected)) return fail(injected);
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(handle_, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        if (n == 0) return fail(EIO);
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

long long File::seek(long long offset, int origin) {
    const int whence = origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET;
    const off_t at = handle_ < 0 ? -1 : ::lseek(handle_, static_cast<off_t>(offset), whence);
    if (at < 0) {
        fail(handle_ < 0 ? EBADF : errno);
        return -1;
    }
    return static_cast<long long>(at);
}

bool File::sync() {
    if (handle_ < 0) return fail(EBADF);
    int injected = 0;
    if (injectedFailure(injected)) return fail(injected);
    while (::fsync(handle_) != 0) {
        if (errno != EINTR) return fail(errno);
    }
    return true;
}

bool File::close() {
    if (handle_ < 0) return true;
    const int fd = std::exchange(handle_, -1);
    int injected = 0;
    if (injectedFailure(injected)) {
        ::close(fd);
        return fail(injected);
    }
    // After an interrupted close the descriptor is gone on Linux; it is not closed twice.
    if (::close(fd) != 0 && errno != EINTR) return fail(errno);
    return true;
}

int File::status(FileStatus& out) const {
    out = FileStatus();
    struct stat info {};
    if (handle_ < 0) return EBADF;
    if (::fstat(handle_, &info) != 0) return errno;
    fillStatus(info, out);
    return 0;
}

bool File::takePermissionsOf(const FileStatus& like) {
    if (handle_ < 0) return fail(EBADF);
    // Owner and group where the process may set them (the owner only as the superuser); a
    // refusal keeps what the file was created with. The permission bits come last, since a
    // change of owner clears the set-user and set-group bits.
    if (::fchown(handle_, static_cast<uid_t>(like.owner), static_cast<gid_t>(like.group)) != 0)
        (void)::fchown(handle_, static_cast<uid_t>(-1), static_cast<gid_t>(like.group));
    if (::fchmod(handle_, static_cast<mode_t>(like.permissions & 07777)) != 0) return fail(errno);
    return true;
}

File openFile(const std::string& path, OpenMode mode, int options, int& error) {
    int flags = openFlags(mode) | O_CLOEXEC | O_NOCTTY;
    if (options & kOpenNoFollow) flags |= O_NOFOLLOW;
    if (options & kOpenRegularOnly) flags |= O_NONBLOCK;
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) {
        error = errno;
        return File();
    }
    File file(fd);
    if (options & kOpenRegularOnly) {
        FileStatus st;
        if (const int e = file.status(st); e != 0 || st.kind != FileKind::Regular) {
            error = e != 0 ? e : st.kind == FileKind::Directory ? EISDIR : kErrorNotAFile;
            return File();
        }
        clearNonBlocking(fd);
    }
    error = 0;
    return file;
}

int checkInput(const std::string& path, bool allowPipe) {
    FileStatus st;
    if (const int e = fileStatus(path, true, st); e != 0) return e;
    if (const int e = inputKindError(st.kind, allowPipe); e != 0) return e;
    return ::access(path.c_str(), R_OK) == 0 ? 0 : errno;
}

File openInput(const std::string& path, bool allowPipe, int& error) {
    // The kind is checked before opening: opening a device may have effects of its own, and
    // opening a pipe waits for a writer.
    FileStatus st;
    int e = fileStatus(path, true, st);
    if (e == 0) e = inputKindError(st.kind, allowPipe);
    if (e != 0) {
        error = e;
        return File();
    }
    int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY;
    if (st.kind != FileKind::Pipe) flags |= O_NONBLOCK;
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0) {
        error = errno;
        return File();
    }
    File file(fd);
    // The path may have changed between the check and the open: check what was opened.
    if ((e = file.status(st)) == 0) e = inputKindError(st.kind, allowPipe);
    if (e != 0) {
        error = e;
        return File();
    }
    clearNonBlocking(fd);
    error = 0;
    return file;
}

// Directory

int Directory::open(const std::string& path, bool noFollow) {
    if (handle_ >= 0) ::close(handle_);
    path_ = path;
    int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    if (noFollow) flags |= O_NOFOLLOW;
    handle_ = ::open(path.empty() ? "." : path.c_str(), flags);
    return handle_ < 0 ? errno : 0;
}

int Directory::status(const std::string& name, FileStatus& out) const {
    out = FileStatus();
    struct stat info {};
    if (handle_ < 0) return EBADF;
    if (::fstatat(handle_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return errno;
    fillStatus(info, out);
    return 0;
}

int Directory::createExclusive(const std::string& name, File& out) {
    out = File();
    if (handle_ < 0) return EBADF;
    // O_EXCL never follows a link: a link in the name's place makes the creation fail.
    const int fd = ::openat(handle_, name.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) return errno;
    out = File(fd);
    return 0;
}

int Directory::rename(const std::string& from, const std::string& to) {
    if (handle_ < 0) return EBADF;
    int injected = 0;
    if (injectedFailure(injected)) return injected;
    if (::renameat(handle_, from.c_str(), handle_, to.c_str()) != 0) return errno;
    return 0;
}

int Directory::remove(const std::string& name, bool directory) {
    if (handle_ < 0) return EBADF;
    if (::unlinkat(handle_, name.c_str(), directory ? AT_REMOVEDIR : 0) != 0) return errno;
    return 0;
}

int Directory::sync() {
    if (handle_ < 0) return EBADF;
    int injected = 0;
    if (injectedFailure(injected)) return injected;
    while (::fsync(handle_) != 0) {
        if (errno != EINTR) return errno;
    }
    return 0;
}

// Links

int resolveLinks(const std::string& path, std::string& target) {
    // The limit of the kernel's own path walk.
    constexpr int kMaxLinks = 40;
    std::string current = path;
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0) {
            // The path as given may be a file still to be made; a link's target must exist.
            if (hops > 0) return errno;
            target = current;
            return 0;
        }
        if (!S_ISLNK(info.st_mode)) {
            target = current;
            return 0;
        }
        std::vector<char> buffer(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) +
                                 1);
        const ssize_t n = ::readlink(current.c_str(), buffer.data(), buffer.size());
        if (n < 0) return errno;
        if (static_cast<std::size_t>(n) >= buffer.size()) return ENAMETOOLONG;
        const std::string link(buffer.data(), static_cast<std::size_t>(n));
        current = !link.empty() && link[0] == '/' ? link : joinName(parentOf(current), link);
    }
    return ELOOP;
}

// Locks

int FileLock::acquire(const std::string& path, std::chrono::milliseconds wait) {
    release();
    shared::RetryPause pause(wait);
    for (;;) {
        // Read access is enough for the lock, so any user who can read the file can lock it.
        // Unblocked, so that a pipe planted in the file's place does not hold the run.
        const int fd =
            ::open(path.c_str(),
                   O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd < 0) return errno;
        struct stat mine {};
        if (::fstat(fd, &mine) != 0 || !S_ISREG(mine.st_mode)) {
            ::close(fd);
            return kErrorNotAFile;
        }
        // Whoever made it, every user who may write beside the output may lock it too.
        if ((mine.st_mode & 0444) != 0444) (void)::fchmod(fd, (mine.st_mode & 07777) | 0444);
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // The holder before removed the file as it let go, and another run may have made a
            // new one since: the lock counts only when the path still names the file locked.
            struct stat now {};
            if (::lstat(path.c_str(), &now) == 0 && now.st_dev == mine.st_dev &&
                now.st_ino == mine.st_ino) {
                handle_ = fd;
                path_ = path;
                return 0;
            }
            ::close(fd);
            continue;
        }
        const int e = errno;
        ::close(fd);
        if (e != EWOULDBLOCK && e != EINTR) return e;
        if (!pause.wait()) return kErrorInUse;
    }
}

// Plain path operations

int makeDirectory(const std::string& path) {
    return ::mkdir(path.c_str(), 0777) == 0 ? 0 : errno;
}

int removeFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

int renamePath(const std::string& from, const std::string& to) {
    int injected = 0;
    if (injectedFailure(injected)) return injected;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int checkAccess(const std::string& path, int mode) {
    int bits = F_OK;
    if (mode & 2) bits |= W_OK;
    if (mode & 4) bits |= R_OK;
    if (mode & 1) bits |= X_OK;
    return ::access(path.c_str(), bits) == 0 ? 0 : errno;
}

int changeMode(const std::string& path, unsigned permissions) {
    return ::chmod(path.c_str(), static_cast<mode_t>(permissions & 07777)) == 0 ? 0 : errno;
}

std::string currentDirectory() {
    std::vector<char> buffer(256);
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size())) return std::string(buffer.data());
        if (errno != ERANGE || buffer.size() >= (1u << 20)) return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::string systemErrorText(int error) {
    if (const char* own = shared::ownErrorText(error)) return own;
    // The program stays in the "C" locale for messages, so the texts are the system's English.
    return std::strerror(error);
}

void ignoreFileSizeLimitSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace platform

#endif  // !_WIN32
