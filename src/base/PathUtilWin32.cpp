// The Windows side of making paths absolute (GetFullPathNameA) and of telling kinds of path
// apart (GetFileAttributesA); the other file-system calls of the path operations go through the
// platform file layer on both systems.
#include <windows.h>

#include "base/PathUtil.h"

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
