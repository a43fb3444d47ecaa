// The file-system side of the path operations on Windows: full path names, file attributes and
// the runtime library's directory, access and mode calls.
#include "base/PathUtil.h"

#include <windows.h>

#include <direct.h>
#include <io.h>
#include <sys/stat.h>

#include <vector>

namespace {

// The buffer that full path names are asked into, NUL included.
constexpr DWORD kFullPathLimit = 1024;

}  // namespace

std::string makeAbsolutePath(std::string_view path) {
    std::string normal = normalisePath(path);
    // Even a path that begins with a separator is completed: it lacks its drive.
    char full[kFullPathLimit];
    const DWORD length = ::GetFullPathNameA(normal.c_str(), kFullPathLimit, full, nullptr);
    if (length == 0 || length >= kFullPathLimit) return normal;
    return normalisePath(std::string_view(full, length));
}

int pathKind(std::string_view path) {
    const std::string name(path);
    const DWORD attributes = ::GetFileAttributesA(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return 1;
    constexpr DWORD kMarked =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_TEMPORARY;
    return (attributes & kMarked) ? 3 : 2;
}

int makeDirectory(std::string_view path) {
    const std::string name(path);
    return ::_mkdir(name.c_str()) == 0 ? 1 : 0;
}

int testAccess(std::string_view path, int mode) {
    const std::string name(path);
    // The runtime knows existence, write and read; there is no execute permission to ask for.
    return ::_access(name.c_str(), mode & kAccessReadWrite) == 0 ? 1 : 0;
}

int removeFile(std::string_view path) {
    const std::string name(path);
    if (pathKind(name) < 2) return 0;
    return ::DeleteFileA(name.c_str()) ? 1 : 0;
}

int setFileMode(std::string_view path, int mode) {
    const std::string name(path);
    // Windows keeps one permission: whether the file may be written.
    const int bits = (mode & 0222) ? (_S_IREAD | _S_IWRITE) : _S_IREAD;
    return ::_chmod(name.c_str(), bits) == 0 ? 1 : 0;
}

std::string currentDirectory() {
    const DWORD size = ::GetCurrentDirectoryA(0, nullptr);
    if (size == 0) return {};
    std::vector<char> buffer(size);
    const DWORD length = ::GetCurrentDirectoryA(size, buffer.data());
    if (length == 0 || length >= size) return {};
    return std::string(buffer.data(), length);
}
