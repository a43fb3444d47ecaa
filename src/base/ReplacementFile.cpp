#include "base/ReplacementFile.h"

#include <cerrno>

#include "base/PathUtil.h"

namespace {

// How many temporary names are tried before the directory counts as unusable.
constexpr int kTemporaryNames = 100;

}  // namespace

int ReplacementFile::begin(const std::string& dir, const std::string& name, bool noFollow) {
    abandon();
    if (const int e = directory_.open(dir, noFollow); e != 0) return e;
    name_ = name;
    platform::FileStatus old;
    const bool replacing = directory_.status(name, old) == 0;
    const int refused = !replacing                                         ? 0
                        : old.kind == platform::FileKind::Directory        ? EISDIR
                        : noFollow && old.kind == platform::FileKind::Link ? ELOOP
                                                                           : 0;
    if (refused != 0) return refused;
    int e = EEXIST;
    for (int k = 0; k < kTemporaryNames && e == EEXIST; ++k) {
        temporary_ = name + (k == 0 ? std::string() : "." + std::to_string(k)) + ".tmp";
        e = directory_.createExclusive(temporary_, file_);
    }
    if (e != 0) {
        temporary_.clear();
        return e;
    }
    // A link in the name's place is replaced by the file, so only a file lends its permissions.
    if (replacing && old.kind == platform::FileKind::Regular && !file_.takePermissionsOf(old)) {
        const int error = file_.error();
        abandon();
        return error;
    }
    return 0;
}

int ReplacementFile::commit() {
    if (temporary_.empty()) return EBADF;
    int e = 0;
    if (!file_.sync()) e = file_.error();
    if (!file_.close() && e == 0) e = file_.error();
    if (e == 0) e = directory_.rename(temporary_, name_);
    if (e != 0) {
        abandon();
        return e;
    }
    temporary_.clear();
    directory_.sync();
    return 0;
}

void ReplacementFile::abandon() {
    file_ = platform::File();
    if (!temporary_.empty()) directory_.remove(temporary_);
    temporary_.clear();
}

int replaceFileContent(const std::string& path, std::string_view content) {
    ReplacementFile out;
    if (const int e = out.begin(pathDirPart(path), pathFilePart(path), true); e != 0) return e;
    if (!out.file().write(content.data(), content.size())) return out.file().error();
    return out.commit();
}
