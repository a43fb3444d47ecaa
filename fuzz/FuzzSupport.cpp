#include "FuzzSupport.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "app/HpglReaderApp.h"
#include "base/ErrorRecord.h"
#include "base/Language.h"
#include "base/SysEnv.h"
#include "convert/DbHandle.h"
#include "db/LexDatabase.h"
#include "db/LexHashTable.h"
#include "db/LexStringPool.h"
#include "db/TokenFile.h"
#include "font/SystemFontTable.h"
#include "font/VectorFont.h"
#include "geom/Tolerance.h"

namespace fs = std::filesystem;

namespace fuzzsupport {

namespace {

// Variables that would lead a harness to files outside its scratch directory and the bundled
// installation, or change what a run writes.
constexpr const char* kClearedVariables[] = {
    "QRX_PROJECT_ROOT",
    "NVL_PROJECT_ROOT",
    "QLOCALROOT",
    "QFONT_PATH",
    "NVLSYSPATH",
    "QRX_DATE_FORMAT",
    "QRX_TIME_FORMAT",
    "QRX_SIMPLE_ARRAY",
    "QRX_ZIP_TEXT",
    "QMSGCAT",
    "QBD_NO_REPAIR_TARC",
    "QBD_LINE_HORV_PRECISION",
    "QRX_DO_NOT_SELECT_UNVISIBLE_PBOX",
};

// A fixed save time (4 December 2026), so that saving the same content twice gives the same
// bytes.
constexpr const char* kSaveEpoch = "1796400716";

// Scratch directories are named after their process, so that those of processes that ended
// without cleaning up (a crash, a timeout) are recognised and removed by the next one.
constexpr std::string_view kScratchPrefix = "trazon-fuzz-";

void removeOrphanedScratchDirs(const std::string& base) {
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(base, ec)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(kScratchPrefix)) continue;
        const long pid = std::strtol(name.c_str() + kScratchPrefix.size(), nullptr, 10);
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            fs::remove_all(entry.path(), ec);
    }
}

std::string makeScratchDir() {
    std::error_code ec;
    std::vector<std::string> bases;
    if (fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0)
        bases.push_back("/dev/shm");
    if (const char* tmp = std::getenv("TMPDIR"); tmp != nullptr && *tmp != '\0')
        bases.push_back(tmp);
    bases.push_back("/tmp");
    for (const std::string& base : bases) {
        removeOrphanedScratchDirs(base);
        std::string templ =
            base + "/" + std::string(kScratchPrefix) + std::to_string(::getpid()) + "-XXXXXX";
        if (::mkdtemp(templ.data()) != nullptr) return templ;
    }
    std::fprintf(stderr, "fuzz: cannot make a scratch directory\n");
    std::abort();
}

// The scratch directory, removed when the process ends normally.
struct Scratch {
    std::string path = makeScratchDir();
    ~Scratch() { removeScratchDir(); }
};

Scratch& scratch() {
    static Scratch s;
    return s;
}

// The process environment every input starts from.
void prepareEnvironment() {
    static const bool done = [] {
        for (const char* name : kClearedVariables)
            ::unsetenv(name);
        // The extensions' switches too: the harnesses run the described behaviour.
        std::vector<std::string> extensions;
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string_view entry(*e);
            if (entry.starts_with("TRAZON_"))
                extensions.emplace_back(entry.substr(0, entry.find('=')));
        }
        for (const std::string& name : extensions)
            ::unsetenv(name.c_str());
        ::setenv("QRXROOT", bundledRoot().c_str(), 1);
        ::setenv("QLANG", "english", 1);
        ::setenv("HOME", scratchDir().c_str(), 1);
        ::setenv("SOURCE_DATE_EPOCH", kSaveEpoch, 1);
        dbInitialise();
        return true;
    }();
    (void)done;
}

void emptyScratchDir() {
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(scratchDir(), ec))
        fs::remove_all(entry.path(), ec);
}

void freshRecords() {
    resetSysEnv();
    ErrorRecord::instance().clear();
    resetSystemFontTable();
    resetTolerance();
    resetCharsetKind();
}

// The bucket count a table of n keys has once they were inserted one by one.
std::size_t bucketsFor(std::size_t n) {
    std::size_t buckets = kLexHashSizes[0];
    for (std::size_t count = 1; count <= n; ++count) {
        if (count > 2 * buckets) buckets = lexHashNextSize(buckets);
    }
    return buckets;
}

// True when two children of the database fall into the same bucket: their order is then turned
// round by every reading.
bool childrenShareABucket(const LexDatabase& db) {
    std::vector<bool> used(bucketsFor(db.childCount()));
    bool shared = false;
    db.forEachChild([&](std::string_view key, LexObject&) {
        const std::size_t b = lexHash(key) % used.size();
        shared = shared || used[b];
        used[b] = true;
        return shared;
    });
    return shared;
}

}  // namespace

const std::string& scratchDir() {
    return scratch().path;
}

void removeScratchDir() {
    static bool removed = false;
    if (removed) return;
    removed = true;
    std::error_code ec;
    fs::remove_all(scratch().path, ec);
}

std::string bundledRoot() {
    return std::string(TRAZON_FUZZ_SOURCE_DIR) + "/share/qrxroot";
}

const DatabaseSettings& bundledLandata() {
    static const std::unique_ptr<DatabaseSettings> settings = [] {
        prepareEnvironment();
        auto s = openDatabaseSettings(bundledRoot() + "/info/landata.rsc", kSettingsRead);
        if (!s) fail("the bundled landata settings do not load");
        return s;
    }();
    return *settings;
}

const EnvironmentSettings& bundledLanenv() {
    static const std::unique_ptr<EnvironmentSettings> settings = [] {
        auto s = openEnvironmentSettings(bundledRoot() + "/info/lanenv.rsc", kSettingsRead,
                                         &bundledLandata());
        if (!s) fail("the bundled lanenv settings do not load");
        return s;
    }();
    return *settings;
}

FuzzInput::FuzzInput() {
    prepareEnvironment();
    bundledLanenv();  // read before the first input, so that no input pays for it
    freshRecords();
    emptyScratchDir();
}

FuzzInput::~FuzzInput() {
    dbCloseAll();
    resetSystemFontTable();
    // Whatever an input opened must be gone with it, or a long run would pile it up.
    check(openFontCount() == 0, "a font stayed open after the input");
    resetLexStringPool();
    freshRecords();
}

std::string FuzzInput::path(std::string_view relative) const {
    return scratchDir() + "/" + std::string(relative);
}

std::string FuzzInput::write(std::string_view relative, const std::uint8_t* data,
                             std::size_t size) const {
    return write(relative, std::string_view(reinterpret_cast<const char*>(data), size));
}

std::string FuzzInput::write(std::string_view relative, std::string_view text) const {
    const std::string file = path(relative);
    std::error_code ec;
    fs::create_directories(fs::path(file).parent_path(), ec);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out) fail("cannot write an input file into the scratch directory");
    return file;
}

std::string FuzzInput::makeDirectory(std::string_view relative) const {
    const std::string dir = path(relative);
    std::error_code ec;
    fs::create_directories(dir, ec);
    return dir;
}

void fail(const char* what) {
    std::fprintf(stderr, "fuzz: %s\n", what);
    std::fflush(stderr);
    removeScratchDir();
    std::abort();
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

int runConverter(std::initializer_list<std::string> args) {
    std::error_code ec;
    fs::create_directories(scratchDir() + "/norvel/kv/log", ec);
    // The option parser rearranges the vector, so it gets copies.
    std::vector<std::string> words{"trazon"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    HpglReaderApp app;
    return app.run(static_cast<int>(words.size()), argv.data());
}

std::string loggedErrors() {
    const std::string log = readAll(scratchDir() + "/norvel/kv/log/trazon.err");
    std::string numbers;
    const std::string_view marker = "<Mess.";
    for (std::size_t at = log.find(marker); at != std::string::npos;
         at = log.find(marker, at + 1)) {
        if (!numbers.empty()) numbers += ' ';
        numbers += log.substr(at + marker.size(), 5);
    }
    return numbers;
}

bool convertOrFailWith(std::initializer_list<std::string> args, std::string_view allowed,
                       const char* what) {
    const int code = runConverter(args);
    if (code != 0) check(code == 1 && loggedErrors() == allowed, what);
    return code == 0;
}

void checkRewriteIsIdentical(const std::string& path, const char* what) {
    const std::string saved = readAll(path);
    std::unique_ptr<LexDatabase> db =
        LexDatabase::open(path, &bundledLandata(), LexDatabase::kModeReadOnly);
    if (!db) fail(what);
    const std::string again = path + ".again";
    TokenFile file;
    check(file.open(again, TokenFile::kModeWrite) == 1, "cannot write into the scratch directory");
    check(db->write(file) == 1 && file.close() == 1, "a reloaded database cannot be written");
    if (!childrenShareABucket(*db)) {
        check(readAll(again) == saved, "writing a reloaded database changes its text");
    } else {
        check(LexDatabase::open(again, nullptr, LexDatabase::kModeReadOnly) != nullptr,
              "a rewritten database does not load");
    }
}

}  // namespace fuzzsupport
