#include "base/PathUtil.h"

#include "base/PlatformFile.h"

namespace {

constexpr std::size_t kFullPathLimit = 1024;

// Position of the last separator, npos when there is none.
std::size_t lastSeparator(std::string_view path) {
    return path.find_last_of("/\\");
}

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool hasDrive(std::string_view path) {
    return path.size() >= 2 && isLetter(path[0]) && path[1] == ':';
}

// For a network path: the position of the separator that ends the host name.
std::size_t hostEnd(std::string_view path) {
    return path.find(path[0], 2);
}

// The directory part of a path that normalising builds (it begins with "/" or "." and holds
// only "/" separators), cut in place so that a long run of ".." stays linear.
void dropLastComponent(std::string& result) {
    const std::size_t cut = result.rfind('/');
    if (cut == std::string::npos) {
        result = ".";
    } else if (cut == 0) {
        result.resize(1);
    } else {
        result.resize(cut);
        if (result.back() == ':') result.push_back('/');
    }
}

}  // namespace

bool isPathSeparator(char c) {
    return c == '/' || c == '\\';
}

void pathAppend(std::string& path, std::string_view component) {
    if (path.empty()) {
        path.assign(component);
        return;
    }
    bool pathEnds = isPathSeparator(path.back());
    bool componentBegins = !component.empty() && isPathSeparator(component.front());
    if (pathEnds && componentBegins) {
        component.remove_prefix(1);
    } else if (!pathEnds && !componentBegins) {
        path.push_back('/');
    }
    path.append(component);
}

std::string pathJoin(std::string_view path, std::string_view component) {
    std::string out(path);
    pathAppend(out, component);
    return out;
}

bool isNetworkPath(std::string_view path) {
    return path.size() >= 5 && isPathSeparator(path[0]) && path[1] == path[0] &&
           path.find(path[0], 2) != std::string_view::npos;
}

bool isAbsolutePath(std::string_view path) {
    return (!path.empty() && isPathSeparator(path[0])) || hasDrive(path);
}

std::string pathDirPart(std::string_view path) {
    std::size_t cut = lastSeparator(path);
    if (cut == std::string_view::npos) return ".";
    if (isNetworkPath(path) && cut <= hostEnd(path)) return std::string(path);
    if (cut == 0) return std::string(path.substr(0, 1));
    std::string dir(path.substr(0, cut));
    if (dir.back() == ':') dir.push_back('/');
    return dir;
}

std::string pathFilePart(std::string_view path, std::string_view ext) {
    if (isNetworkPath(path)) {
        // A host and a share and nothing below them name no file.
        std::size_t shareEnd = path.find_first_of("/\\", hostEnd(path) + 1);
        if (shareEnd == std::string_view::npos || shareEnd + 1 == path.size()) return {};
    }
    std::size_t cut = lastSeparator(path);
    std::string_view file = cut == std::string_view::npos ? path : path.substr(cut + 1);
    if (ext.empty()) return std::string(file);
    return pathRemoveExtension(file, ext);
}

long pathExtensionPos(std::string_view path) {
    std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) return -1;
    std::size_t cut = lastSeparator(path);
    if (cut != std::string_view::npos && cut > dot) return -1;
    return static_cast<long>(dot);
}

std::string pathRemoveExtension(std::string_view path, std::string_view ext) {
    long pos = pathExtensionPos(path);
    if (pos < 0) return std::string(path);
    std::size_t at = static_cast<std::size_t>(pos);
    if (!ext.empty() && path.substr(at) != ext) return std::string(path);
    return std::string(path.substr(0, at));
}

std::string normalisePath(std::string_view path) {
    std::string prefix;
    std::string_view rest = path;
    if (hasDrive(path)) {
        prefix.assign(path.substr(0, 2));
        rest = path.substr(2);
    } else if (isNetworkPath(path)) {
        std::size_t shareEnd = path.find_first_of("/\\", hostEnd(path) + 1);
        std::size_t cut = shareEnd == std::string_view::npos ? path.size() : shareEnd;
        prefix.assign(path.substr(0, cut));
        for (char& c : prefix) {
            if (c == '\\') c = '/';
        }
        rest = path.substr(cut);
        if (rest.empty()) return prefix;
    }

    bool absolute = !rest.empty() && isPathSeparator(rest[0]);
    std::string result = absolute ? "/" : ".";
    int depth = 0;
    std::size_t i = 0;
    while (i < rest.size()) {
        std::size_t j = rest.find_first_of("/\\", i);
        if (j == std::string_view::npos) j = rest.size();
        std::string_view part = rest.substr(i, j - i);
        i = j + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (depth > 0) {
                dropLastComponent(result);
                --depth;
            } else if (!absolute) {
                if (result == ".")
                    result = "..";
                else
                    pathAppend(result, "..");
            }
            continue;
        }
        pathAppend(result, part);
        ++depth;
    }
    if (result.empty()) result = absolute ? "/" : ".";
    return prefix + result;
}

// The file-system side of the path operations. PathUtilWin32.cpp holds the Windows side of
// making paths absolute and of telling kinds apart.
#if !defined(_WIN32)

std::string makeAbsolutePath(std::string_view path) {
    std::string normal = normalisePath(path);
    if (isAbsolutePath(normal)) return normalisePath(normal);
    std::string cwd = currentDirectory();
    if (cwd.empty()) return normal;
    // The full path must fit the platform's buffer of kFullPathLimit bytes with its NUL.
    std::string full = normalisePath(pathJoin(cwd, normal));
    if (full.size() >= kFullPathLimit) return normal;
    return normalisePath(full);
}

int pathKind(std::string_view path) {
    platform::FileStatus status;
    if (platform::fileStatus(std::string(path), true, status) != 0) return 0;
    return status.kind == platform::FileKind::Directory ? 1 : 2;
}

#endif  // !defined(_WIN32)

int makeDirectory(std::string_view path) {
    return platform::makeDirectory(std::string(path)) == 0 ? 1 : 0;
}

int testAccess(std::string_view path, int mode) {
    return platform::checkAccess(std::string(path), mode) == 0 ? 1 : 0;
}

int removeFile(std::string_view path) {
    std::string name(path);
    // Files only (on Windows also those marked hidden, system or temporary).
    if (pathKind(name) < 2) return 0;
    return platform::removeFile(name) == 0 ? 1 : 0;
}

int setFileMode(std::string_view path, int mode) {
    return platform::changeMode(std::string(path), static_cast<unsigned>(mode)) == 0 ? 1 : 0;
}

std::string currentDirectory() {
    return platform::currentDirectory();
}
