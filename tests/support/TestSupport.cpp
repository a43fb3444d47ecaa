#include "support/TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <algorithm>

#include <unistd.h>

namespace fs = std::filesystem;

namespace testsupport {

TempDir::TempDir() {
    const char* base = std::getenv("TRAZON_TEST_TMP");
    fs::path root = base && *base ? fs::path(base) : fs::temp_directory_path();
    std::error_code ec;
    fs::create_directories(root, ec);
    std::string templ = (root / "trazon-XXXXXX").string();
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    const char* made = ::mkdtemp(buf.data());
    path_ = made ? std::string(made) : templ;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& name) const { return path_ + "/" + name; }

ScopedEnv::ScopedEnv(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) old_ = old;
    if (value)
        ::setenv(name_.c_str(), value->c_str(), 1);
    else
        ::unsetenv(name_.c_str());
}

ScopedEnv::~ScopedEnv() {
    if (old_)
        ::setenv(name_.c_str(), old_->c_str(), 1);
    else
        ::unsetenv(name_.c_str());
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

bool writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    return static_cast<bool>(out);
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

std::string sourceDir() { return TRAZON_SOURCE_DIR; }
std::string bundledRoot() { return sourceDir() + "/share/qrxroot"; }
std::string corpusDir() { return TRAZON_CORPUS_DIR; }

std::vector<std::string> corpusFiles() {
    std::vector<std::string> files;
    std::error_code ec;
    if (!fs::is_directory(corpusDir(), ec)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(corpusDir(), ec)) {
        if (!entry.is_regular_file()) continue;
        const std::string name = entry.path().filename().string();
        if (name == "INDEX.tsv" || name.ends_with(".md")) continue;
        files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace testsupport
