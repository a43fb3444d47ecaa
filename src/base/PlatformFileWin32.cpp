// The Windows implementation of the platform file layer. Files are opened with CreateFileA and
// held as C runtime file numbers (_open_osfhandle), so that File and Directory keep one int as
// on POSIX, a file can be handed to a C stream (_fdopen) and a text file gets the runtime's
// CR LF line ends. Where POSIX refuses a symbolic link, this side refuses every reparse point
// (symbolic links, junctions, mount points).
//
// Error numbers: a system error code with an errno value of the same meaning is handed up as that
// value, so the callers' checks (ENOENT, EEXIST, EACCES, ...) work unchanged; any other code as
// kSystemErrorBase + code. systemErrorText turns either back into the system's own text.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "base/PlatformFile.h"
#include "base/PlatformFileShared.h"

namespace platform {

namespace {

using shared::injectedFailure;
using shared::inputKindError;

// Error numbers above this carry a system error code that no errno value stands for.
constexpr int kSystemErrorBase = 0x10000;

struct ErrorPair {
    DWORD code;
    int error;
};

// System error codes and their errno values. The first code listed with a value gives that
// value's text.
constexpr ErrorPair kErrors[] = {
    {ERROR_FILE_NOT_FOUND, ENOENT},
    {ERROR_PATH_NOT_FOUND, ENOENT},
    {ERROR_INVALID_DRIVE, ENOENT},
    {ERROR_BAD_NETPATH, ENOENT},
    {ERROR_BAD_NET_NAME, ENOENT},
    {ERROR_ACCESS_DENIED, EACCES},
    {ERROR_LOCK_VIOLATION, EACCES},
    {ERROR_SHARING_VIOLATION, EBUSY},
    {ERROR_FILE_EXISTS, EEXIST},
    {ERROR_ALREADY_EXISTS, EEXIST},
    {ERROR_DISK_FULL, ENOSPC},
    {ERROR_HANDLE_DISK_FULL, ENOSPC},
    {ERROR_WRITE_PROTECT, EROFS},
    {ERROR_DIRECTORY, ENOTDIR},
    {ERROR_DIR_NOT_EMPTY, ENOTEMPTY},
    {ERROR_NOT_SAME_DEVICE, EXDEV},
    {ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG},
    {ERROR_TOO_MANY_OPEN_FILES, EMFILE},
    {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},
    {ERROR_OUTOFMEMORY, ENOMEM},
    {ERROR_INVALID_HANDLE, EBADF},
    {ERROR_IO_DEVICE, EIO},
    {ERROR_WRITE_FAULT, EIO},
    {ERROR_READ_FAULT, EIO},
    {ERROR_INVALID_PARAMETER, EINVAL},
    {ERROR_INVALID_NAME, EINVAL},
    {ERROR_NEGATIVE_SEEK, EINVAL},
    {ERROR_CANT_RESOLVE_FILENAME, ELOOP},
    {ERROR_FILE_TOO_LARGE, EFBIG},
};

int errorOf(DWORD code) {
    for (const ErrorPair& pair : kErrors) {
        if (pair.code == code) return pair.error;
    }
    // No code (a call that failed without saying why) or one too large to carry: an I/O error.
    if (code == 0 || code > 0x7FFF) return EIO;
    return kSystemErrorBase + static_cast<int>(code);
}

int lastError() {
    return errorOf(::GetLastError());
}

// The error of a failed C runtime call: the system's code when the runtime kept one.
int runtimeError() {
    return _doserrno != 0 ? errorOf(static_cast<DWORD>(_doserrno)) : errno;
}

// Every other opener may read, write, rename and remove the file, as on POSIX.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE osHandle(int fd) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

// Wraps an open handle into a runtime file number (-1, with the handle closed, on failure).
int adopt(HANDLE handle, int flags, int& error) {
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
    if (fd < 0) {
        error = EMFILE;
        ::CloseHandle(handle);
    }
    return fd;
}

// The attribute bits that a replacement takes over from the file it replaces. Read-only is not
// among them: a read-only file cannot be replaced at all, and a read-only temporary file could
// not be removed again.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The status of an open handle; with linkAsLink a reparse point is reported as a link.
int statusOfHandle(HANDLE handle, bool linkAsLink, FileStatus& out) {
    out = FileStatus();
    switch (::GetFileType(handle)) {
        case FILE_TYPE_DISK:
            break;
        case FILE_TYPE_CHAR:
            out.kind = FileKind::Device;
            return 0;
        case FILE_TYPE_PIPE:
            out.kind = FileKind::Pipe;
            return 0;
        default:
            out.kind = FileKind::Other;
            return 0;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) return lastError();
    const DWORD a = info.dwFileAttributes;
    const bool directory = (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
    out.kind = linkAsLink && (a & FILE_ATTRIBUTE_REPARSE_POINT) ? FileKind::Link
               : directory                                      ? FileKind::Directory
                                                                : FileKind::Regular;
    // Windows keeps one permission: whether the file may be written.
    out.permissions = (a & FILE_ATTRIBUTE_READONLY) ? 0444u : 0666u;
    if (directory) out.permissions |= 0111u;
    out.device = info.dwVolumeSerialNumber;
    out.inode = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    out.attributes = a;
    return 0;
}

// Opens path to look at it only (directories too); with noFollow a reparse point itself.
HANDLE openToLook(const std::string& path, bool noFollow) {
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (noFollow ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    return ::CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                         flags, nullptr);
}

// The attributes of path itself (a reparse point not followed), INVALID_FILE_ATTRIBUTES when
// there is nothing to look at.
DWORD attributesOf(const std::string& path) {
    return ::GetFileAttributesA(path.c_str());
}

bool isReparsePoint(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool isDirectory(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The error of a failed call on path. Windows reports a path that runs through a file as not
// found; the callers, like POSIX, know that as ENOTDIR.
int lastErrorAt(const std::string& path) {
    const DWORD code = ::GetLastError();
    if (code == ERROR_PATH_NOT_FOUND || code == ERROR_DIRECTORY) {
        std::string up = path;
        for (std::size_t cut = up.find_last_of("/\\"); cut != std::string::npos && cut > 0;
             cut = up.find_last_of("/\\")) {
            up.resize(cut);
            const DWORD attributes = attributesOf(up);
            if (attributes == INVALID_FILE_ATTRIBUTES) continue;
            if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return ENOTDIR;
            break;
        }
    }
    return errorOf(code);
}

std::string joinName(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    const char last = dir.back();
    return last == '/' || last == '\\' || last == ':' ? dir + name : dir + "\\" + name;
}

}  // namespace

int fileStatus(const std::string& path, bool followLinks, FileStatus& out) {
    out = FileStatus();
    const HANDLE handle = openToLook(path, !followLinks);
    if (handle == INVALID_HANDLE_VALUE) return lastErrorAt(path);
    const int error = statusOfHandle(handle, !followLinks, out);
    ::CloseHandle(handle);
    return error;
}

namespace shared {

void closeHandle(int handle) {
    ::_close(handle);
}

}  // namespace shared

// File

long long File::read(void* buffer, std::size_t size) {
    if (handle_ < 0) {
        fail(EBADF);
        return -1;
    }
    DWORD n = 0;
    const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!::ReadFile(osHandle(handle_), buffer, ask, &n, nullptr)) {
        // A pipe whose writer has gone is at its end.
        if (::GetLastError() == ERROR_BROKEN_PIPE) return 0;
        fail(lastError());
        return -1;
    }
    return static_cast<long long>(n);
}

bool File::write(const void* data, std::size_t size) {
    if (handle_ < 0) return fail(EBADF);
    int injected = 0;
    if (injectedFailure(injected)) return fail(injected);
    // Through the runtime, which writes a text file's line feeds as CR LF and counts the bytes
    // handed to it; a file opened for appending is written at its end.
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const unsigned ask = static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30));
        _doserrno = 0;
        const int n = ::_write(handle_, p, ask);
        if (n < 0) return fail(runtimeError());
        if (n == 0) return fail(ENOSPC);
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

long long File::seek(long long offset, int origin) {
    const int whence = origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET;
    _doserrno = 0;
    const long long at = handle_ < 0 ? -1 : ::_lseeki64(handle_, offset, whence);
    if (at < 0) {
        fail(handle_ < 0 ? EBADF : runtimeError());
        return -1;
    }
    return at;
}

bool File::sync() {
    if (handle_ < 0) return fail(EBADF);
    int injected = 0;
    if (injectedFailure(injected)) return fail(injected);
    if (!::FlushFileBuffers(osHandle(handle_))) return fail(lastError());
    return true;
}

bool File::close() {
    if (handle_ < 0) return true;
    const int fd = std::exchange(handle_, -1);
    int injected = 0;
    if (injectedFailure(injected)) {
        ::_close(fd);
        return fail(injected);
    }
    _doserrno = 0;
    if (::_close(fd) != 0) return fail(runtimeError());
    return true;
}

int File::status(FileStatus& out) const {
    out = FileStatus();
    if (handle_ < 0) return EBADF;
    return statusOfHandle(osHandle(handle_), false, out);
}

bool File::takePermissionsOf(const FileStatus& like) {
    if (handle_ < 0) return fail(EBADF);
    // Windows has no owner and group to hand on; the file keeps the attributes that can be kept
    // (see kKeptAttributes). The permission bits say no more than the read-only attribute.
    FILE_BASIC_INFO info{};
    if (!::GetFileInformationByHandleEx(osHandle(handle_), FileBasicInfo, &info, sizeof info))
        return fail(lastError());
    const DWORD kept = like.attributes & kKeptAttributes;
    if ((info.FileAttributes & kKeptAttributes) == kept) return true;
    info.FileAttributes = (info.FileAttributes & ~kKeptAttributes) | kept;
    if (info.FileAttributes == 0) info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileInformationByHandle(osHandle(handle_), FileBasicInfo, &info, sizeof info))
        return fail(lastError());
    return true;
}

File openFile(const std::string& path, OpenMode mode, int options, int& error) {
    DWORD access = GENERIC_READ | GENERIC_WRITE;
    DWORD disposition = OPEN_ALWAYS;
    int flags = _O_RDWR;
    bool truncate = false;
    switch (mode) {
        case OpenMode::Read:
            access = GENERIC_READ;
            disposition = OPEN_EXISTING;
            flags = _O_RDONLY;
            break;
        case OpenMode::ReadWrite:
            disposition = OPEN_EXISTING;
            break;
        case OpenMode::Write:
            access = GENERIC_WRITE;
            flags = _O_WRONLY;
            truncate = true;
            break;
        case OpenMode::Append:
            access = GENERIC_WRITE;
            flags = _O_WRONLY | _O_APPEND;
            break;
        case OpenMode::ReadWriteNew:
            truncate = true;
            break;
        case OpenMode::ReadAppend:
            flags = _O_RDWR | _O_APPEND;
            break;
    }
    flags |= (options & kOpenText) ? _O_TEXT : _O_BINARY;
    const bool noFollow = (options & kOpenNoFollow) != 0;
    const DWORD before = attributesOf(path);
    if (isDirectory(before) && !(noFollow && isReparsePoint(before))) {
        error = EISDIR;
        return File();
    }
    if (noFollow && isReparsePoint(before)) {
        error = ELOOP;
        return File();
    }
    // Opened without truncating: what the name holds is checked first, so that neither a device
    // nor a link planted meanwhile is emptied.
    const HANDLE handle = ::CreateFileA(
        path.c_str(), access, kShareAll, nullptr, disposition,
        FILE_ATTRIBUTE_NORMAL | (noFollow ? FILE_FLAG_OPEN_REPARSE_POINT : 0), nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = lastErrorAt(path);
        return File();
    }
    FileStatus st;
    int e = 0;
    if (noFollow || (options & kOpenRegularOnly)) {
        e = statusOfHandle(handle, noFollow, st);
        if (e == 0 && st.kind == FileKind::Link) e = ELOOP;
        if (e == 0 && (options & kOpenRegularOnly) && st.kind != FileKind::Regular)
            e = st.kind == FileKind::Directory ? EISDIR : kErrorNotAFile;
    }
    if (e == 0 && truncate && ::GetFileType(handle) == FILE_TYPE_DISK) {
        LARGE_INTEGER zero{};
        if (!::SetFilePointerEx(handle, zero, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle))
            e = lastError();
    }
    if (e != 0) {
        ::CloseHandle(handle);
        error = e;
        return File();
    }
    const int fd = adopt(handle, flags, error);
    if (fd < 0) return File();
    error = 0;
    return File(fd);
}

int checkInput(const std::string& path, bool allowPipe) {
    FileStatus st;
    if (const int e = fileStatus(path, true, st); e != 0) return e;
    if (const int e = inputKindError(st.kind, allowPipe); e != 0) return e;
    // Readable is what can be opened for reading.
    const HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return lastErrorAt(path);
    ::CloseHandle(handle);
    return 0;
}

File openInput(const std::string& path, bool allowPipe, int& error) {
    // The kind is checked before opening: opening a device may have effects of its own.
    FileStatus st;
    int e = fileStatus(path, true, st);
    if (e == 0) e = inputKindError(st.kind, allowPipe);
    if (e != 0) {
        error = e;
        return File();
    }
    const HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = lastError();
        return File();
    }
    // The path may have changed between the check and the open: check what was opened.
    if ((e = statusOfHandle(handle, false, st)) == 0) e = inputKindError(st.kind, allowPipe);
    if (e != 0) {
        ::CloseHandle(handle);
        error = e;
        return File();
    }
    const int fd = adopt(handle, _O_RDONLY | _O_BINARY, error);
    if (fd < 0) return File();
    error = 0;
    return File(fd);
}

// Directory
//
// Windows has no calls relative to an open directory: names are joined to the directory's path.
// The directory is held open without leave to rename or remove it, so for as long as the object
// holds it the path names that very directory.

int Directory::open(const std::string& path, bool noFollow) {
    if (handle_ >= 0) ::_close(handle_);
    handle_ = -1;
    path_ = path;
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (noFollow ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    const HANDLE handle =
        ::CreateFileA(path.empty() ? "." : path.c_str(), FILE_READ_ATTRIBUTES,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return lastErrorAt(path);
    FileStatus st;
    int e = statusOfHandle(handle, noFollow, st);
    if (e == 0 && st.kind == FileKind::Link) e = ELOOP;
    if (e == 0 && st.kind != FileKind::Directory) e = ENOTDIR;
    if (e != 0) {
        ::CloseHandle(handle);
        return e;
    }
    handle_ = adopt(handle, _O_RDONLY | _O_BINARY, e);
    return handle_ < 0 ? e : 0;
}

int Directory::status(const std::string& name, FileStatus& out) const {
    out = FileStatus();
    if (handle_ < 0) return EBADF;
    return fileStatus(joinName(path_, name), false, out);
}

int Directory::createExclusive(const std::string& name, File& out) {
    out = File();
    if (handle_ < 0) return EBADF;
    // CREATE_NEW fails on any entry of that name, a link (followed or not) included.
    const HANDLE handle = ::CreateFileA(
        joinName(path_, name).c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return lastError();
    int error = 0;
    const int fd = adopt(handle, _O_RDWR | _O_BINARY, error);
    if (fd < 0) return error;
    out = File(fd);
    return 0;
}

int Directory::rename(const std::string& from, const std::string& to) {
    if (handle_ < 0) return EBADF;
    int injected = 0;
    if (injectedFailure(injected)) return injected;
    // Replaces to in one step (a link there is replaced, not followed); with write-through the
    // call returns only once the new name is on the disk.
    if (!::MoveFileExA(joinName(path_, from).c_str(), joinName(path_, to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return lastError();
    return 0;
}

int Directory::remove(const std::string& name, bool directory) {
    if (handle_ < 0) return EBADF;
    const std::string path = joinName(path_, name);
    const BOOL done = directory ? ::RemoveDirectoryA(path.c_str()) : ::DeleteFileA(path.c_str());
    return done ? 0 : lastError();
}

int Directory::sync() {
    if (handle_ < 0) return EBADF;
    // Counted like the POSIX directory sync, so that fault injection takes the same steps on
    // both systems. Windows cannot flush a directory: the renames before it were written through.
    int injected = 0;
    if (injectedFailure(injected)) return injected;
    return 0;
}

// Links

int resolveLinks(const std::string& path, std::string& target) {
    if (!isReparsePoint(attributesOf(path))) {
        target = path;
        return 0;
    }
    // The system follows the whole chain; the final path comes as "\\?\C:\..." or
    // "\\?\UNC\server\share\...".
    const HANDLE handle = openToLook(path, false);
    if (handle == INVALID_HANDLE_VALUE) return lastError();
    std::vector<char> buffer(MAX_PATH + 1);
    DWORD n = ::GetFinalPathNameByHandleA(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                          FILE_NAME_NORMALIZED);
    if (n >= buffer.size()) {
        buffer.resize(n + 1);
        n = ::GetFinalPathNameByHandleA(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                        FILE_NAME_NORMALIZED);
    }
    const int error = n == 0 || n >= buffer.size() ? lastError() : 0;
    ::CloseHandle(handle);
    if (error != 0) return error;
    std::string found(buffer.data(), n);
    if (found.rfind("\\\\?\\UNC\\", 0) == 0)
        found = "\\\\" + found.substr(8);
    else if (found.rfind("\\\\?\\", 0) == 0)
        found = found.substr(4);
    target = std::move(found);
    return 0;
}

// Locks
//
// The lock is LockFileEx on the lock file's first byte. As on POSIX the holder removes the file
// as it lets go; a file removed while others still hold it open stays "delete pending" until they
// close it, and can then be neither opened nor locked anew: a run that meets it waits as for a
// holder, at most kPendingWait when it cannot tell it from a refusal.

namespace {

constexpr std::chrono::milliseconds kPendingWait(1000);

}  // namespace

int FileLock::acquire(const std::string& path, std::chrono::milliseconds wait) {
    release();
    const auto start = std::chrono::steady_clock::now();
    shared::RetryPause pause(wait);
    for (;;) {
        int e = 0;
        if (isReparsePoint(attributesOf(path))) return ELOOP;
        const HANDLE handle =
            ::CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD code = ::GetLastError();
            if (code != ERROR_ACCESS_DENIED ||
                std::chrono::steady_clock::now() - start >= std::min(wait, kPendingWait))
                return errorOf(code);
            e = kErrorInUse;  // most likely removed by its holder and still open elsewhere
        } else {
            FileStatus mine;
            e = statusOfHandle(handle, true, mine);
            if (e == 0 && mine.kind == FileKind::Link) e = ELOOP;
            if (e == 0 && mine.kind != FileKind::Regular) e = kErrorNotAFile;
            if (e != 0) {
                ::CloseHandle(handle);
                return e;
            }
            OVERLAPPED at{};
            if (::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                             &at)) {
                // The lock counts only when the path still names the file locked.
                FileStatus now;
                if (fileStatus(path, false, now) == 0 && now.device == mine.device &&
                    now.inode == mine.inode) {
                    int error = 0;
                    handle_ = adopt(handle, _O_RDONLY | _O_BINARY, error);
                    if (handle_ < 0) return error;
                    path_ = path;
                    return 0;
                }
                ::CloseHandle(handle);
                continue;
            }
            const DWORD code = ::GetLastError();
            ::CloseHandle(handle);
            if (code != ERROR_LOCK_VIOLATION && code != ERROR_IO_PENDING) return errorOf(code);
            e = kErrorInUse;
        }
        if (!pause.wait()) return e;
    }
}

// Plain path operations

int makeDirectory(const std::string& path) {
    return ::CreateDirectoryA(path.c_str(), nullptr) ? 0 : lastErrorAt(path);
}

int removeFile(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    // A link to a directory is removed as a directory; a directory is refused, as unlink does.
    if (isDirectory(attributes) && !isReparsePoint(attributes)) return EISDIR;
    const BOOL done =
        isDirectory(attributes) ? ::RemoveDirectoryA(path.c_str()) : ::DeleteFileA(path.c_str());
    return done ? 0 : lastError();
}

int renamePath(const std::string& from, const std::string& to) {
    int injected = 0;
    if (injectedFailure(injected)) return injected;
    // A file replaces a file at to; a directory is never replaced.
    const DWORD flags =
        isDirectory(attributesOf(from)) ? 0 : MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    return ::MoveFileExA(from.c_str(), to.c_str(), flags) ? 0 : lastError();
}

int checkAccess(const std::string& path, int mode) {
    const DWORD attributes = attributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return lastError();
    // Write: a file marked read-only refuses it. Read: what can be opened for reading (a
    // directory always). Windows has no execute permission to ask for.
    if ((mode & 2) && !isDirectory(attributes) && (attributes & FILE_ATTRIBUTE_READONLY))
        return EACCES;
    if ((mode & 4) && !isDirectory(attributes)) {
        const HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return lastError();
        ::CloseHandle(handle);
    }
    return 0;
}

int changeMode(const std::string& path, unsigned permissions) {
    const DWORD attributes = attributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return lastError();
    // The one permission Windows keeps: without any write bit the file becomes read-only.
    DWORD wanted = (permissions & 0222) ? attributes & ~DWORD(FILE_ATTRIBUTE_READONLY)
                                        : attributes | FILE_ATTRIBUTE_READONLY;
    if (wanted == attributes) return 0;
    if (wanted == 0) wanted = FILE_ATTRIBUTE_NORMAL;
    return ::SetFileAttributesA(path.c_str(), wanted) ? 0 : lastError();
}

std::string currentDirectory() {
    const DWORD size = ::GetCurrentDirectoryA(0, nullptr);
    if (size == 0) return {};
    std::vector<char> buffer(size);
    const DWORD length = ::GetCurrentDirectoryA(size, buffer.data());
    if (length == 0 || length >= size) return {};
    return std::string(buffer.data(), length);
}

std::string systemErrorText(int error) {
    if (const char* own = shared::ownErrorText(error)) return own;
    DWORD code = 0;
    if (error > kSystemErrorBase) {
        code = static_cast<DWORD>(error - kSystemErrorBase);
    } else {
        for (const ErrorPair& pair : kErrors) {
            if (pair.error == error) {
                code = pair.code;
                break;
            }
        }
    }
    // An errno value without a system code (EISDIR, ...) has the runtime's text.
    if (code == 0) return std::strerror(error);
    // The system's text in English, as the POSIX side gives it, else in the system's language.
    char* text = nullptr;
    const DWORD how =
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER;
    DWORD n = ::FormatMessageA(how, nullptr, code, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                               reinterpret_cast<char*>(&text), 0, nullptr);
    if (n == 0) {
        n = ::FormatMessageA(how, nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    }
    if (n == 0 || text == nullptr) return "System error " + std::to_string(code);
    std::string result(text, n);
    ::LocalFree(text);
    // One line without its end and final full stop, like the POSIX texts.
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' ||
                               result.back() == ' ' || result.back() == '.'))
        result.pop_back();
    return result;
}

void ignoreFileSizeLimitSignal() {
    // Windows has no file-size limit that ends a process: a write beyond the disk's room fails.
}

}  // namespace platform
