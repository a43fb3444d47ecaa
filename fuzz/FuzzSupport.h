// What every fuzz harness shares: a scratch directory of its own for the files an input becomes,
// a fresh set of process-wide records for every input (one process runs millions of them), the
// bundled installation, and the converter run in process as a user would run it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "db/ResourceSettings.h"

namespace fuzzsupport {

// The scratch directory of this process (below /dev/shm when it can be written there, else below
// TMPDIR or /tmp), made at first use and removed at exit, or by the next process when this one
// ends without cleaning up.
const std::string& scratchDir();
// Removes the scratch directory now.
void removeScratchDir();

// The bundled installation of this checkout (share/qrxroot).
std::string bundledRoot();
// The bundled settings, read once: they are only read by the harnesses.
const DatabaseSettings& bundledLandata();
const EnvironmentSettings& bundledLanenv();

// One input from start to end. Making it gives every process-wide record a fresh start (the
// environment cache, error record, system fonts, unit factor, plotter page, tolerances,
// character set and pooled property strings) and an empty scratch directory; destroying it
// closes every database left open and checks that nothing outlived the input.
class FuzzInput {
public:
    FuzzInput();
    ~FuzzInput();
    FuzzInput(const FuzzInput&) = delete;
    FuzzInput& operator=(const FuzzInput&) = delete;

    // scratchDir()/relative.
    std::string path(std::string_view relative) const;
    // Writes bytes to path(relative), making its directories; returns the path.
    std::string write(std::string_view relative, const std::uint8_t* data, std::size_t size) const;
    std::string write(std::string_view relative, std::string_view text) const;
    // Makes the directory path(relative) and its parents; returns the path.
    std::string makeDirectory(std::string_view relative) const;
};

// Reports a broken rule of the harness and aborts, so that the fuzzer keeps the input.
[[noreturn]] void fail(const char* what);
// Calls fail when the condition does not hold.
inline void check(bool condition, const char* what) {
    if (!condition) fail(what);
}

// The whole content of a file (empty when it cannot be read).
std::string readAll(const std::string& path);

// Runs the converter as "trazon args..." in this process, with its logs below the scratch
// directory. The exit code.
int runConverter(std::initializer_list<std::string> args);
// The message numbers of the error log of the last run, in order, separated by blanks.
std::string loggedErrors();
// Runs the converter; true when it saved its output. A run that did not must have failed with
// exactly the one message allowed (its number), else the input fails with what.
bool convertOrFailWith(std::initializer_list<std::string> args, std::string_view allowed,
                       const char* what);

// Opens the saved database at path, writes it out again to path + ".again" and checks that the
// two files are byte for byte the same. The text of a database whose children share a hash
// bucket comes back in the other order, so then only the reading of both files is checked.
// what names the kind of file in the failure report.
void checkRewriteIsIdentical(const std::string& path, const char* what);

}  // namespace fuzzsupport
