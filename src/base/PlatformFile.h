// The file-system calls of the converter, behind one small interface: file kinds, opening files
// with or without following links, exclusive creation, durable writes, renames, directory syncs,
// advisory locks and the text of an error number. PlatformFilePosix.cpp implements these names for
// POSIX systems, PlatformFileWin32.cpp for Windows (CreateFileA, MoveFileExA, LockFileEx,
// FlushFileBuffers); nothing above this layer changes.
//
// Error numbers are errno values (on Windows, the system's error codes turned into the errno
// value of the same meaning, see PlatformFileWin32.cpp) or one of the numbers below. Every
// call hands its error number back (an open file keeps the last one in File::error()); callers
// carry it up in a Status, which the driver turns into the cause line of its message.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>

namespace platform {

// A path that exists but is no file to read or write: a device, a socket.
inline constexpr int kErrorNotAFile = -1001;
// An advisory lock held by another process for longer than the caller would wait.
inline constexpr int kErrorInUse = -1002;

enum class FileKind { Missing, Regular, Directory, Link, Pipe, Device, Other };

struct FileStatus {
    FileKind kind = FileKind::Missing;
    unsigned permissions = 0;  // the permission bits (07777)
    long long owner = -1;
    long long group = -1;
    unsigned long long device = 0;
    unsigned long long inode = 0;
    // Windows: the file's attribute bits (hidden, system, ...), which a replacement takes over.
    // 0 on POSIX.
    unsigned attributes = 0;
};

// The status of path. With followLinks false a link is reported as FileKind::Link. 0, or the
// error number (ENOENT for a path that does not exist; out.kind is then Missing).
int fileStatus(const std::string& path, bool followLinks, FileStatus& out);

// How openFile opens: as fopen's "rb", "rb+", "wb", "ab", "wb+" and "ab+".
enum class OpenMode { Read, ReadWrite, Write, Append, ReadWriteNew, ReadAppend };

// Options of openFile.
inline constexpr int kOpenNoFollow = 1;     // a link as the last component is refused (ELOOP)
inline constexpr int kOpenRegularOnly = 2;  // anything but a regular file is refused, unblocked
// Text written is the platform's text: on Windows each line feed is written as CR LF, as the C
// runtime's text mode does; nothing changes on POSIX.
inline constexpr int kOpenText = 4;

// An open file, closed when the object goes (a close that is not asked for reports nothing).
class File {
public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool isOpen() const { return handle_ >= 0; }
    // Reads up to size bytes: the number read, 0 at the end of the data, -1 on failure.
    long long read(void* buffer, std::size_t size);
    // Writes every byte (a short write is continued). false on failure.
    bool write(const void* data, std::size_t size);
    // Moves the position (origin 0 the start, 1 the current position, 2 the end): the new
    // position from the start, or -1.
    long long seek(long long offset, int origin);
    // Hands everything written to the storage device. false on failure.
    bool sync();
    // Closes the file. false when the platform reports that written data may be lost (the file
    // is closed all the same).
    bool close();
    // The status of the open file. 0 or the error number.
    int status(FileStatus& out) const;
    // Gives the file the permission bits of `like` and, where the process may set them, its
    // owner and group. false when the permission bits could not be set.
    bool takePermissionsOf(const FileStatus& like);
    // Hands the open file over to a C stream opened with mode ("rb", "r"); the object no longer
    // holds it. Null on failure (the file is closed then).
    std::FILE* releaseToStream(const char* mode);
    // The error number of the last failed call, 0 when none failed.
    int error() const { return error_; }

private:
    friend File openFile(const std::string&, OpenMode, int, int&);
    friend File openInput(const std::string&, bool, int&);
    friend class Directory;
    explicit File(int handle) : handle_(handle) {}
    bool fail(int error);

    int handle_ = -1;
    int error_ = 0;
};

// Opens path as mode says (kOpen... options or'ed into options). A file that is created gets the
// usual mode for new files (0666 less the umask). On failure the result is not open and error
// holds the cause.
File openFile(const std::string& path, OpenMode mode, int options, int& error);

// Opens a file to read from. A regular file is taken; a pipe only with allowPipe (it is then read
// to its end, and opening it waits for a writer); a directory (EISDIR), a device or anything else
// (kErrorNotAFile) is refused without being opened.
File openInput(const std::string& path, bool allowPipe, int& error);
// The check of openInput without opening, and whether the file may be read: 0, or the error
// number that opening would give (ENOENT, EISDIR, kErrorNotAFile, EACCES).
int checkInput(const std::string& path, bool allowPipe);

// A directory held open to make, rename, remove and sync the entries in it, so that each name is
// taken in that very directory even when the path to it changes meanwhile.
class Directory {
public:
    Directory() = default;
    ~Directory();
    Directory(Directory&& other) noexcept;
    Directory& operator=(Directory&& other) noexcept;
    Directory(const Directory&) = delete;
    Directory& operator=(const Directory&) = delete;

    // Opens the directory path. With noFollow a link in its place is refused (ELOOP or
    // ENOTDIR). 0 or the error number.
    int open(const std::string& path, bool noFollow);
    bool isOpen() const { return handle_ >= 0; }
    const std::string& path() const { return path_; }
    // The status of the entry name, a link reported as a link. 0 or the error number.
    int status(const std::string& name, FileStatus& out) const;
    // Creates the file name for writing; it must not exist (a link in its place counts as
    // existing: EEXIST). Mode 0666 less the umask. 0 or the error number.
    int createExclusive(const std::string& name, File& out);
    // Renames from to to, both entries of this directory; to is replaced when it exists (a link
    // there is replaced, never followed). 0 or the error number.
    int rename(const std::string& from, const std::string& to);
    // Removes the entry name: a file or link, or with directory an empty directory.
    int remove(const std::string& name, bool directory = false);
    // Makes the entries of the directory (renames and creations) durable. 0 or the error number.
    int sync();

private:
    int handle_ = -1;
    std::string path_;
};

// Follows path through symbolic links to the file they name. A path that is no link, or that
// cannot be looked at, is its own target; a chain ending at nothing gives ENOENT, a chain longer
// than 40 links ELOOP. 0 or the error number; target receives the path found.
int resolveLinks(const std::string& path, std::string& target);

// An exclusive advisory lock on a lock file. The file is made when missing and removed again
// when the lock is let go, so nothing is left behind; a lock file left by a run that was killed
// is taken over by the next. The lock is dropped by the system when the process ends.
class FileLock {
public:
    FileLock() = default;
    ~FileLock() { release(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock on path, waiting at most `wait` while another process holds it.
    // 0, kErrorInUse when the wait ran out, or the error number of making or opening the file.
    int acquire(const std::string& path, std::chrono::milliseconds wait);
    bool held() const { return handle_ >= 0; }
    // Removes the lock file and lets the lock go.
    void release();

private:
    int handle_ = -1;
    std::string path_;
};

// Plain path operations.
// Makes one directory level (mode 0777 less the umask). 0 or the error number.
int makeDirectory(const std::string& path);
// Removes a file or link (not a directory). 0 or the error number.
int removeFile(const std::string& path);
// Renames a file or directory; for directories, `to` must not exist or be empty. 0 or the error
// number.
int renamePath(const std::string& from, const std::string& to);
// Access check: mode bits 4 read, 2 write, 1 execute, 0 existence. 0 or the error number.
int checkAccess(const std::string& path, int mode);
// Sets the permission bits of path. 0 or the error number.
int changeMode(const std::string& path, unsigned permissions);
// The current working directory, empty when it cannot be read.
std::string currentDirectory();

// The platform's text for an error number ("No space left on device"), or the layer's own text
// for its numbers.
std::string systemErrorText(int error);

// A write beyond the process's file-size limit fails with an error (EFBIG) instead of ending
// the process, so that it is an ordinary failed write.
void ignoreFileSizeLimitSignal();

// Tests only: makes the n-th counted file operation from now (every write, sync, rename and close
// of File, Directory and renamePath counts) fail with error, without doing it. n 0 turns the
// injection off. The counter restarts at every call.
void injectFileFault(long n, int error);
// The operations counted since the last injectFileFault.
long fileOperationCount();

}  // namespace platform
