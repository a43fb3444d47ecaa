// Small helpers shared by the test programs: temporary directories, environment guards and
// whole-file reading and writing. Nothing here knows about the converter itself.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace testsupport {

// A fresh directory below $TRAZON_TEST_TMP (or /tmp), removed with everything in it on
// destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path()/name
    std::string file(const std::string& name) const;

private:
    std::string path_;
};

// Sets (or, with std::nullopt, unsets) one environment variable for the lifetime of the guard
// and restores the earlier state afterwards.
class ScopedEnv {
public:
    ScopedEnv(std::string name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

std::string readFile(const std::string& path);
// Text written through a text-mode stream (the logs, standard output and error): on Windows, whose
// runtime writes a line end as CR LF, the pairs read as line feeds; elsewhere the text as it is.
std::string fromTextMode(std::string text);
// readFile followed by fromTextMode.
std::string readTextFile(const std::string& path);
bool writeFile(const std::string& path, const std::string& content);
bool fileExists(const std::string& path);
// The names in a directory (without "." and "..").
std::set<std::string> directoryEntries(const std::string& path);

// The blank-separated words of a line (command lines of the tests' tables).
std::vector<std::string> words(const std::string& line);

#if !defined(_WIN32)
// s quoted for the POSIX shell.
std::string shellQuote(const std::string& s);
// Runs a shell command line; its exit code, -1 when it did not exit.
int runShell(const std::string& command);
#endif

// The repository's root, the bundled installation (share/qrxroot) and the public plot corpus.
std::string sourceDir();
std::string bundledRoot();
std::string corpusDir();
// Every plot file of the public corpus (empty when the corpus is not beside the repository).
std::vector<std::string> corpusFiles();

}  // namespace testsupport
