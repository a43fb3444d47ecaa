#include "base/PlatformFile.h"

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <set>
#include <string>

#include "base/ReplacementFile.h"
#include "support/TestSupport.h"

using testsupport::directoryEntries;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace fs = std::filesystem;

#if !defined(_WIN32)
namespace {

unsigned modeOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

}  // namespace

TEST(PlatformFile, ResolvesLinksToTheFileTheyName) {
    TempDir dir;
    writeFile(dir.file("file"), "x");
    fs::create_directories(dir.file("sub"));
    fs::create_symlink("file", dir.file("rel"));                 // relative to the link
    fs::create_symlink(dir.file("rel"), dir.file("chain"));      // a link to a link
    fs::create_symlink("../file", dir.file("sub/up"));           // relative, another directory
    fs::create_symlink(dir.file("gone"), dir.file("dangling"));  // to nothing
    fs::create_symlink("loop", dir.file("loop"));
    struct Case {
        std::string path;
        int error;
        std::string target;
    };
    const Case cases[] = {
        {dir.file("file"), 0, dir.file("file")},
        {dir.file("new"), 0, dir.file("new")},  // a file still to be made is its own target
        {dir.file("chain"), 0, dir.file("file")},
        {dir.file("sub/up"), 0, dir.file("sub/../file")},
        {dir.file("dangling"), ENOENT, ""},
        {dir.file("loop"), ELOOP, ""},
    };
    for (const Case& c : cases) {
        std::string target;
        EXPECT_EQ(platform::resolveLinks(c.path, target), c.error) << c.path;
        if (c.error == 0) {
            EXPECT_EQ(target, c.target);
        }
    }
}

#endif

TEST(PlatformFile, InputsAreFilesOrPipes) {
    TempDir dir;
    writeFile(dir.file("plot"), "IN;");
    using platform::kErrorNotAFile;
    struct Case {
        std::string path;
        bool allowPipe;
        int error;
    };
    const Case cases[] = {
        {dir.file("plot"), false, 0},
        {dir.file("missing"), true, ENOENT},
        {dir.path(), true, EISDIR},
#if defined(_WIN32)
        {dir.file("missing\\deeper"), true, ENOENT},  // a directory on the way that is not there
        {"NUL", true, kErrorNotAFile},
#else
        {"/dev/zero", true, kErrorNotAFile},
        {"/dev/null", true, kErrorNotAFile},
        {dir.file("pipe"), true, 0},
        {dir.file("pipe"), false, kErrorNotAFile},
#endif
    };
#if !defined(_WIN32)
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(platform::checkInput(c.path, c.allowPipe), c.error);
        if (c.path == dir.file("pipe") && c.error == 0) continue;  // opening waits for a writer
        int error = -1;
        EXPECT_EQ(platform::openInput(c.path, c.allowPipe, error).isOpen(), c.error == 0);
        EXPECT_EQ(error, c.error);
    }
}

TEST(PlatformFile, LocksAreExclusiveAndLeaveNothingBehind) {
    TempDir dir;
    const std::string lock = dir.file("s.sht.lock");
    platform::FileLock first, second;
    ASSERT_EQ(first.acquire(lock, std::chrono::milliseconds(0)), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(second.acquire(lock, std::chrono::milliseconds(150)), platform::kErrorInUse);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
    first.release();
    EXPECT_FALSE(testsupport::fileExists(lock));
    // A lock file left by a killed run is taken over, and removed in its turn.
    writeFile(lock, "");
#if !defined(_WIN32)
    ASSERT_EQ(::chmod(lock.c_str(), 0600), 0);
#endif
    EXPECT_EQ(second.acquire(lock, std::chrono::milliseconds(0)), 0);
#if !defined(_WIN32)
    EXPECT_EQ(modeOf(lock) & 0444, 0444u);  // any user may open it to lock
#endif
    second.release();
    EXPECT_EQ(directoryEntries(dir.path()), std::set<std::string>{});
#if !defined(_WIN32)
    // A link at the lock's name is never followed.
    writeFile(dir.file("victim"), "keep");
    fs::create_symlink(dir.file("victim"), lock);
    EXPECT_EQ(first.acquire(lock, std::chrono::milliseconds(0)), ELOOP);
    EXPECT_TRUE(fs::is_symlink(lock));
    EXPECT_EQ(modeOf(dir.file("victim")), 0644u);
#endif
}

#if !defined(_WIN32)
TEST(ReplacementFile, KeepsPermissionsAndNeverWritesThroughLinks) {
    TempDir dir;
    const mode_t mask = ::umask(022);
    writeFile(dir.file("old"), "old");
    ASSERT_EQ(::chmod(dir.file("old").c_str(), 0604), 0);
    writeFile(dir.file("victim"), "keep");
    fs::create_symlink(dir.file("victim"), dir.file("old.tmp"));
    fs::create_symlink(dir.file("victim"), dir.file("old.1.tmp"));
    fs::create_directories(dir.file("real/sub"));
    fs::create_symlink(dir.file("real"), dir.file("linkdir"));
    fs::create_symlink(dir.file("victim"), dir.file("real/linked"));
    struct Case {
        std::string path;
        int error;
        unsigned mode;  // of the file written
    };
    const Case cases[] = {
        {dir.file("old"), 0, 0604},           // the mode of the file replaced
        {dir.file("new"), 0, 0644},           // the usual mode of a new file
        {dir.file("real/linked"), ELOOP, 0},  // a link at the name
        {dir.file("linkdir/x"), ENOTDIR, 0},  // the directory a link
        {dir.file("real/sub"), EISDIR, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(replaceFileContent(c.path, "new text"), c.error);
        if (c.error == 0) {
            EXPECT_EQ(readFile(c.path), "new text");
            EXPECT_EQ(modeOf(c.path), c.mode);
        }
    }
    ::umask(mask);
    EXPECT_EQ(readFile(dir.file("victim")), "keep");
    EXPECT_EQ(
        directoryEntries(dir.path()),
        (std::set<std::string>{"linkdir", "new", "old", "old.1.tmp", "old.tmp", "real", "victim"}));
    EXPECT_EQ(directoryEntries(dir.file("real")), (std::set<std::string>{"linked", "sub"}));

    // Abandoned, the temporary file goes and the target stays.
    {
        ReplacementFile out;
        ASSERT_EQ(out.begin(dir.path(), "old", false), 0);
        EXPECT_EQ(out.temporaryName(), "old.2.tmp");
        ASSERT_TRUE(out.file().write("partial", 7));
    }
    EXPECT_FALSE(testsupport::fileExists(dir.file("old.2.tmp")));
    EXPECT_EQ(readFile(dir.file("old")), "new text");
}

#endif

TEST(ReplacementFile, AFaultAtAnyStepLeavesTheOldFileOrTheWholeNewOne) {
    TempDir dir;
    const std::string path = dir.file("table");
    platform::injectFileFault(0, 0);
    writeFile(path, "old");
    ASSERT_EQ(replaceFileContent(path, "new"), 0);
    // The durable sequence: write, sync, close, rename, directory sync.
    const long steps = platform::fileOperationCount();
    EXPECT_EQ(steps, 5);
    int failed = 0;
    for (long n = 1; n <= steps; ++n) {
        SCOPED_TRACE(n);
        writeFile(path, "old");
        platform::injectFileFault(n, EIO);
        const int result = replaceFileContent(path, "new");
        platform::injectFileFault(0, 0);
        if (result != 0) {
            ++failed;
            EXPECT_EQ(result, EIO);
            EXPECT_EQ(readFile(path), "old");
        } else {
            EXPECT_EQ(readFile(path), "new");
        }
        EXPECT_EQ(directoryEntries(dir.path()), std::set<std::string>{"table"});
    }
    // Every step up to the rename fails the replacement; the directory sync after it does not.
    EXPECT_EQ(failed, steps - 1);
}

#if defined(_WIN32)
TEST(PlatformFileWindows, ErrorsAreErrnoValues) {
    TempDir dir;
    EXPECT_EQ(platform::makeDirectory(dir.path()), EEXIST);
    EXPECT_EQ(platform::removeFile(dir.path()), EISDIR);
    // The system's texts, one line each without the full stop.
    for (int error : {ENOENT, ENOSPC, EACCES, EEXIST}) {
        const std::string text = platform::systemErrorText(error);
        EXPECT_FALSE(text.empty()) << error;
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
        EXPECT_NE(text.back(), '.') << text;
    }
}

TEST(PlatformFileWindows, TextFilesEndTheirLinesInCrLf) {
    TempDir dir;
    for (const bool text : {false, true}) {
        int error = -1;
        platform::File file = platform::openFile(dir.file("log"), platform::OpenMode::Write,
                                                 text ? platform::kOpenText : 0, error);
        ASSERT_TRUE(file.isOpen()) << error;
        ASSERT_TRUE(file.write("a\nb\n", 4));
        ASSERT_TRUE(file.close());
        EXPECT_EQ(readFile(dir.file("log")), text ? "a\r\nb\r\n" : "a\nb\n");
    }
    // Appending keeps what stands and writes at the end.
    int error = -1;
    platform::File more =
        platform::openFile(dir.file("log"), platform::OpenMode::Append, platform::kOpenText, error);
    ASSERT_TRUE(more.isOpen());
    EXPECT_EQ(more.seek(0, 2), 6);
    ASSERT_TRUE(more.write("c\n", 2));
    more.close();
    EXPECT_EQ(readFile(dir.file("log")), "a\r\nb\r\nc\r\n");
}

TEST(PlatformFileWindows, ReplacementKeepsAttributesAndRefusesReadOnlyFiles) {
    TempDir dir;
    const std::string hidden = dir.file("hidden.sht");
    writeFile(hidden, "old");
    ASSERT_TRUE(::SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(replaceFileContent(hidden, "new"), 0);
    EXPECT_EQ(readFile(hidden), "new");
    EXPECT_NE(::GetFileAttributesA(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    // Windows refuses to replace a read-only file (wine replaces it): either way the file is
    // the old or the new one and the temporary file does not stay.
    const std::string locked = dir.file("locked.sht");
    writeFile(locked, "old");
    ASSERT_EQ(platform::changeMode(locked, 0444), 0);
    EXPECT_EQ(platform::checkAccess(locked, 2), EACCES);
    const int replaced = replaceFileContent(locked, "new");
    EXPECT_EQ(readFile(locked), replaced == 0 ? "new" : "old");
    if (replaced != 0) {
        EXPECT_EQ(replaced, EACCES);
    }
    ASSERT_EQ(platform::changeMode(locked, 0666), 0);
    EXPECT_EQ(directoryEntries(dir.path()), (std::set<std::string>{"hidden.sht", "locked.sht"}));
}

TEST(PlatformFileWindows, ReparsePointsAreNeverFollowed) {
    TempDir dir;
    writeFile(dir.file("victim"), "keep");
    std::error_code ec;
    fs::create_symlink(dir.file("victim"), dir.file("link"), ec);
    platform::FileStatus st;
    if (ec || platform::fileStatus(dir.file("link"), false, st) != 0 ||
        st.kind != platform::FileKind::Link)
        GTEST_SKIP() << "this system makes no symbolic links";
    int error = 0;
    EXPECT_FALSE(platform::openFile(dir.file("link"), platform::OpenMode::Write,
                                    platform::kOpenNoFollow, error)
                     .isOpen());
    EXPECT_EQ(error, ELOOP);
    EXPECT_EQ(replaceFileContent(dir.file("link"), "new"), ELOOP);
    platform::FileLock lock;
    EXPECT_EQ(lock.acquire(dir.file("link"), std::chrono::milliseconds(0)), ELOOP);
    std::string target;
    EXPECT_EQ(platform::resolveLinks(dir.file("link"), target), 0);
    EXPECT_EQ(platform::fileStatus(target, true, st), 0);
    EXPECT_EQ(readFile(dir.file("victim")), "keep");
}
#endif
