#include "db/NewCircuit.h"

#include <cerrno>
#include <vector>

#include "base/PathUtil.h"
#include "base/PlatformFile.h"
#include "db/ProjectLayout.h"

namespace {

// The subdirectories of a new circuit, made in this order.
constexpr const char* kCircuitDirectories[] = {"log", "ext", "drc", "frame"};

// How many temporary names are tried beside the circuit.
constexpr int kTemporaryNames = 100;

// Removes what makeCircuit made under a temporary name: the path table, the subdirectories and
// the directory itself (only these names: nothing else is touched).
void removeTemporaryCircuit(const std::string& temporary) {
    {
        // Let go before the directory itself is removed: Windows keeps a directory that is held
        // open from being removed.
        platform::Directory circuit;
        if (circuit.open(temporary, true) == 0) {
            circuit.remove("rcpath");
            for (const char* sub : kCircuitDirectories)
                circuit.remove(sub, true);
        }
    }
    platform::Directory parent;
    if (parent.open(pathDirPart(temporary), false) == 0)
        parent.remove(pathFilePart(temporary), true);
}

// True when another run's circuit, path table included, stands at dir.
bool circuitInPlace(const std::string& dir) {
    return pathKind(dir) == 1 && pathKind(pathOf(dir, kPathKindPathTable)) == 2;
}

}  // namespace

Status makeDirectoryChain(const std::string& dir) {
    // From dir upwards, the last components of the paths that do not exist yet.
    std::vector<std::string> missing;
    std::string existing = dir;
    while (existing.size() >= 2 && pathKind(existing) == 0) {
        std::string parent = pathDirPart(existing);
        if (parent == existing) break;
        missing.push_back(pathFilePart(existing));
        existing = std::move(parent);
    }
    // Then made from the top down, each joined to its parent. A directory that another run made
    // meanwhile is as good as one made here.
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        pathAppend(existing, *it);
        const int error = platform::makeDirectory(existing);
        if (pathKind(existing) != 1)
            return Status::failure(kCircuitDirectoryFailed, existing, error);
    }
    return pathKind(dir) == 1 ? Status() : Status::failure(kCircuitDirectoryFailed, dir);
}

Status makeCircuit(const std::string& dir, std::string_view settingsDir) {
    if (classify(dir) != kPathKindCircuit) {
        // No circuit: the directories are made where asked, but no path table can go with them.
        Status made = makeDirectoryChain(dir);
        for (const char* sub : kCircuitDirectories) {
            if (!made.ok()) break;
            made = makeDirectoryChain(pathJoin(dir, sub));
        }
        return made.ok() ? Status::failure(kCircuitNotACircuit, pathTableOf(dir)) : made;
    }
    // A circuit is made whole under a temporary name beside it and renamed into place, so that
    // a run that finds the circuit finds its subdirectories and path table too, and of two runs
    // that make the same circuit the second takes the one the first put in place.
    const std::string parent = pathDirPart(dir);
    if (Status chain = makeDirectoryChain(parent); !chain.ok()) {
        // A file in the parent's place: the circuit is what cannot be made.
        if (chain.path == parent && pathKind(parent) == 2)
            return Status::failure(kCircuitDirectoryFailed, dir, ENOTDIR);
        return chain;
    }
    std::string temporary;
    int error = EEXIST;
    for (int k = 0; k < kTemporaryNames && error == EEXIST; ++k) {
        temporary = dir + (k == 0 ? std::string() : "." + std::to_string(k)) + ".tmp";
        error = platform::makeDirectory(temporary);
    }
    const bool made = error == 0;
    std::string failed = made ? std::string() : dir;
    for (const char* sub : kCircuitDirectories) {
        if (!failed.empty()) break;
        error = platform::makeDirectory(pathJoin(temporary, sub));
        if (error != 0) failed = pathJoin(dir, sub);
    }
    int tableError = 0;
    const bool written = failed.empty() && writeSettingsTable(pathJoin(temporary, "rcpath"),
                                                              settingsDir, &tableError);
    if (written) error = platform::renamePath(temporary, dir);
    if (written && error == 0) {
        platform::Directory above;
        if (above.open(parent, false) == 0) above.sync();
        return Status();
    }
    if (made) removeTemporaryCircuit(temporary);
    // The temporary circuit could not be made or put in place because another run's circuit
    // stands there now: that one is taken.
    if (circuitInPlace(dir)) return Status();
    if (!failed.empty()) return Status::failure(kCircuitDirectoryFailed, failed, error);
    if (!written) return Status::failure(kCircuitTableFailed, pathTableOf(dir), tableError);
    return Status::failure(kCircuitDirectoryFailed, dir, error);
}
