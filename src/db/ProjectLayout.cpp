#include "db/ProjectLayout.h"

#include <cerrno>
#include <climits>
#include <exception>
#include <string>

#include "base/PathUtil.h"
#include "base/PlatformFile.h"
#include "base/ReplacementFile.h"
#include "base/StringUtil.h"
#include "base/SysEnv.h"

namespace {

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && compareNoCase(a, b) == 0;
}

std::string_view withoutTrailingSeparators(std::string_view path) {
    while (path.size() > 1 && isPathSeparator(path.back()))
        path.remove_suffix(1);
    return path;
}

// The value of an environment variable through the installation lookup, copied at once (the
// lookup may reuse its buffer); nullopt-like empty flag through `set`.
std::string envValue(const char* name, bool* set = nullptr) {
    const char* v = getSysEnv(name);
    if (set != nullptr) *set = v != nullptr;
    return v != nullptr ? std::string(v) : std::string();
}

// path joined with each non-empty component in turn.
std::string joinAll(std::string path, std::initializer_list<std::string_view> parts) {
    for (std::string_view p : parts) {
        if (!p.empty()) pathAppend(path, p);
    }
    return path;
}

// Name with its extension replaced by ext.
std::string withExtension(std::string_view name, std::string_view ext) {
    std::string n = pathRemoveExtension(name);
    n += ext;
    return n;
}

struct ExtensionKind {
    const char* ext;
    int kind;
};
constexpr ExtensionKind kExtensions[] = {
    {".cir", kPathKindCircuit}, {".smb", kPathKindSymbol},  {".blk", kPathKindBlock},
    {".sht", kPathKindSheet},   {".net", kPathKindNetList},
};
constexpr ExtensionKind kComponents[] = {
    {"drc", kPathKindDrc},      {"instnc", kPathKindInstance},  {"log", kPathKindLog},
    {"ext", kPathKindExt},      {"rcpath", kPathKindPathTable}, {"frame", kPathKindFrame},
    {"enetdb", kPathKindNetDb},
};

// The fixed last component of a directory kind, or null.
const char* componentOf(int kind) {
    for (const ExtensionKind& c : kComponents) {
        if (c.kind == kind) return c.ext;
    }
    return nullptr;
}

}  // namespace

int classify(std::string_view path) {
    path = withoutTrailingSeparators(path);
    long pos = pathExtensionPos(path);
    if (pos >= 0) {
        std::string_view ext = path.substr(static_cast<std::size_t>(pos));
        for (const ExtensionKind& e : kExtensions) {
            if (equalsNoCase(ext, e.ext)) return e.kind;
        }
        return kPathKindOther;
    }
    std::string last = pathFilePart(path);
    for (const ExtensionKind& c : kComponents) {
        if (equalsNoCase(last, c.ext)) return c.kind;
    }
    return kPathKindOther;
}

std::string pathOf(std::string_view cp, int kind, std::string_view name) {
    cp = withoutTrailingSeparators(cp);
    if (kind == kPathKindOther) return joinAll(std::string(cp), {name});
    if (classify(cp) != kPathKindCircuit) return {};
    switch (kind) {
        case kPathKindCircuit:
            return std::string(cp);
        case kPathKindSymbol:
        case kPathKindSheet:
        case kPathKindNetList: {
            const char* ext = kind == kPathKindSymbol  ? ".smb"
                              : kind == kPathKindSheet ? ".sht"
                                                       : ".net";
            if (name.empty()) return withExtension(cp, ext);
            return pathJoin(cp, withExtension(name, ext));
        }
        case kPathKindBlock:
            return withExtension(cp, ".blk");
        case kPathKindSettings:
            return circuitSettingsFile(cp, name);
        case kPathKindDrc:
        case kPathKindLog:
        case kPathKindExt:
        case kPathKindFrame:
            return joinAll(std::string(cp), {componentOf(kind), name});
        case kPathKindInstance:
        case kPathKindPathTable:
        case kPathKindNetDb:
            return pathJoin(cp, componentOf(kind));
        default:
            return {};
    }
}

std::string systemFile(std::string_view name, int where) {
    bool rootSet = false;
    std::string root = envValue("QRXROOT", &rootSet);
    if (where == kSystemRoot) return rootSet ? joinAll(root, {name}) : std::string();
    if (where != kSystemInfo && where != kSystemEtc) return {};

    const char* dir = where == kSystemInfo ? "info" : "etc";
    std::string file(name);
    if (where == kSystemInfo && !file.empty() && pathExtensionPos(file) < 0) file += ".rsc";

    std::string project = envValue("QRX_PROJECT_ROOT");
    if (!project.empty()) {
        std::string candidate = joinAll(project, {dir, file});
        if (exists(candidate)) return candidate;
    }
    std::string family = envValue("NVL_PROJECT_ROOT");
    if (!family.empty()) {
        for (char& c : family) {
            if (c == '\\') c = '/';
        }
        std::string candidate = joinAll(family, {"qrx", dir, file});
        if (exists(candidate)) return candidate;
    }
    if (!rootSet) return {};
    return joinAll(root, {dir, file});
}

std::string resolvePathTableValue(std::string_view cp, std::string_view value) {
    cp = withoutTrailingSeparators(cp);
    if (value.empty()) return {};
    if (value[0] == '.') {
        std::string base = pathDirPart(cp);
        if (value == ".") return base;
        if (value.size() >= 2 && isPathSeparator(value[1])) {
            return joinAll(base, {value.substr(2)});
        }
        return pathJoin(base, value);
    }
    if (value[0] == '$') {
        std::size_t slash = value.find_first_of("/\\");
        std::string_view var =
            value.substr(1, slash == std::string_view::npos ? value.npos : slash - 1);
        std::string_view rest =
            slash == std::string_view::npos ? std::string_view() : value.substr(slash);
        if (var.empty()) return {};
        std::string dir;
        if (var == "CIRCUIT_PATH") {
            dir = std::string(cp);
        } else {
            bool set = false;
            dir = envValue(std::string(var).c_str(), &set);
            if (!set) return {};
        }
        if (!rest.empty()) pathAppend(dir, rest);
        return dir;
    }
    return std::string(value);
}

std::string circuitSettingsFile(std::string_view cp, std::string_view name) {
    cp = withoutTrailingSeparators(cp);
    if (name.empty() || classify(cp) != kPathKindCircuit) return {};
    PathTable table;
    if (!table.read(pathOf(cp, kPathKindPathTable))) return {};
    std::string key = pathRemoveExtension(name);
    const std::string* value = table.find(key);
    if (value == nullptr) return {};
    std::string dir = resolvePathTableValue(cp, *value);
    if (dir.empty()) return {};
    return pathJoin(dir, key + ".rsc");
}

int writeSettingsTable(const std::string& tablePath, std::string_view settingsDir, int* error) {
    if (error != nullptr) *error = 0;
    try {
        PathTable table;
        table.set("landata", settingsDir);
        table.set("lanenv", settingsDir);
        return table.write(tablePath, error);
    } catch (const std::exception&) {
        return 0;
    }
}

std::string pathTableOf(const std::string& dir) {
    std::string table = pathOf(dir, kPathKindPathTable);
    return table.empty() ? pathJoin(dir, "rcpath") : table;
}

int writeSettingsReference(std::string_view cp, std::string_view settingsDir) {
    try {
        std::string path = pathOf(cp, kPathKindPathTable);
        if (path.empty()) return -1;
        return writeSettingsTable(path, settingsDir) ? 0 : -2;
    } catch (const std::exception&) {
        return -2;
    }
}

bool exists(std::string_view path) {
    return !path.empty() && pathKind(path) != 0;
}

int sheetNumberOf(std::string_view sheetPath) {
    std::string file = pathFilePart(sheetPath);
    if (file.size() <= 4 || !equalsNoCase(std::string_view(file).substr(file.size() - 4), ".sht")) {
        return 0;
    }
    std::string_view stem = std::string_view(file).substr(0, file.size() - 4);
    long pos = pathExtensionPos(stem);
    if (pos < 0) return 0;
    std::string_view digits = stem.substr(static_cast<std::size_t>(pos) + 1);
    if (digits.empty()) return 0;
    long long n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return 0;
        if (n < INT_MAX) n = n * 10 + (c - '0');
    }
    if (n > INT_MAX) n = INT_MAX;
    return static_cast<int>(n);
}

namespace {

// A field of a log line: line breaks would split the line, so they become blanks.
void appendField(std::string& out, std::string_view field) {
    for (char c : field)
        out.push_back(c == '\n' || c == '\r' ? ' ' : c);
}

}  // namespace

int writeReferenceLogs(std::string_view sheetPath, const std::vector<ReferenceLogEntry>& entries) {
    if (sheetNumberOf(sheetPath) == 0) return 1;
    std::string cp = pathDirPart(sheetPath);
    if (classify(cp) != kPathKindCircuit) return 1;
    try {
        // The log directory and the logs in it are never taken through a link, which could send
        // them out of the circuit: a link there leaves the logs unwritten.
        std::string logDir = pathOf(cp, kPathKindLog);
        platform::FileStatus status;
        if (platform::fileStatus(logDir, false, status) == ENOENT && !makeDirectory(logDir))
            return 0;
        std::string body;
        for (const ReferenceLogEntry& e : entries) {
            appendField(body, e.reference);
            body.push_back(' ');
            appendField(body, e.partName);
            body.push_back('\n');
        }
        int ok = 1;
        for (const char* log : {"ref.log", "scn.log", "hcn.log"}) {
            if (replaceFileContent(pathJoin(logDir, log), body) != 0) ok = 0;
        }
        return ok;
    } catch (const std::exception&) {
        return 0;
    }
}
