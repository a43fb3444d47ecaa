#include "support/TestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace testsupport {

namespace {

#if defined(_WIN32)
// A new directory below root with a name not used before. Null when none could be made.
std::optional<std::string> makeUniqueDirectory(const std::string& root) {
    static unsigned counter = 0;
    const unsigned long process = ::GetCurrentProcessId();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string name = root + "/trazon-" + std::to_string(process) + "-" +
                                 std::to_string(::GetTickCount()) + "-" + std::to_string(++counter);
        if (::CreateDirectoryA(name.c_str(), nullptr)) return name;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return std::nullopt;
}

std::optional<std::string> environmentValue(const std::string& name) {
    const DWORD size = ::GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    if (size == 0) {
        if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
        return std::string();
    }
    std::vector<char> buffer(size);
    const DWORD length = ::GetEnvironmentVariableA(name.c_str(), buffer.data(), size);
    return std::string(buffer.data(), length < size ? length : 0);
}

// The environment of the process itself, which the converter's lookup reads; an empty value is
// kept as a set variable.
void setEnvironmentValue(const std::string& name, const std::optional<std::string>& value) {
    ::SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr);
}
#else
std::optional<std::string> makeUniqueDirectory(const std::string& root) {
    std::string templ = root + "/trazon-XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    const char* made = ::mkdtemp(buf.data());
    if (!made) return std::nullopt;
    return std::string(made);
}

std::optional<std::string> environmentValue(const std::string& name) {
    if (const char* value = std::getenv(name.c_str())) return std::string(value);
    return std::nullopt;
}

void setEnvironmentValue(const std::string& name, const std::optional<std::string>& value) {
    if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
    else
        ::unsetenv(name.c_str());
}
#endif

}  // namespace

TempDir::TempDir() {
    const char* base = std::getenv("TRAZON_TEST_TMP");
    std::string root = base && *base ? std::string(base) : fs::temp_directory_path().string();
    // Paths handed to the converter and compared with what it reports use "/" throughout.
    std::replace(root.begin(), root.end(), '\\', '/');
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    std::error_code ec;
    fs::create_directories(root, ec);
    path_ = makeUniqueDirectory(root).value_or(root + "/trazon-unmade");
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& name) const {
    return path_ + "/" + name;
}

ScopedEnv::ScopedEnv(std::string name, std::optional<std::string> value)
    : name_(std::move(name)), old_(environmentValue(name_)) {
    setEnvironmentValue(name_, value);
}

ScopedEnv::~ScopedEnv() {
    setEnvironmentValue(name_, old_);
}

std::set<std::string> directoryEntries(const std::string& path) {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(path, ec))
        names.insert(e.path().filename().string());
    return names;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string fromTextMode(std::string text) {
#if defined(_WIN32)
    std::size_t kept = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            text[kept++] = text[i];
    text.resize(kept);
#endif
    return text;
}

std::string readTextFile(const std::string& path) {
    return fromTextMode(readFile(path));
}

bool writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    return static_cast<bool>(out);
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

#if !defined(_WIN32)
std::string shellQuote(const std::string& s) {
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

int runShell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

std::string sourceDir() {
    return TRAZON_SOURCE_DIR;
}
std::string bundledRoot() {
    return TRAZON_BUNDLED_ROOT;
}
std::string corpusDir() {
    return TRAZON_CORPUS_DIR;
}

std::vector<std::string> corpusFiles() {
    std::vector<std::string> files;
    std::error_code ec;
    if (!fs::is_directory(corpusDir(), ec)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(corpusDir(), ec)) {
        if (!entry.is_regular_file()) continue;
        const std::string name = entry.path().filename().string();
        if (name == "INDEX.tsv" || name.ends_with(".md")) continue;
        files.push_back(entry.path().generic_string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace testsupport
