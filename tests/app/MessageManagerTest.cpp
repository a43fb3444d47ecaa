#include "app/MessageManager.h"

#include "AppTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <regex>
#include <tuple>

#include "base/PlatformFile.h"

using apptest::DriverEnvironment;
using testsupport::fileExists;
using testsupport::readFile;
using testsupport::readTextFile;
using testsupport::writeFile;

namespace {

// The banner a log starts with; the time line is matched by its shape.
std::string banner(const std::string& title) {
    const std::string rule(70, '#');
    return rule + "\n#\n#            " + title +
           "\n#\n#            [A-Z][a-z]{2} [A-Z][a-z]{2} [ 1-3][0-9] [0-9]{2}:[0-9]{2}:[0-9]{2} "
           "[0-9]{4}\n#\n" +
           rule + "\n";
}

bool matches(const std::string& text, const std::string& pattern) {
    return std::regex_match(text, std::regex(pattern));
}

}  // namespace

TEST(MessageManager, WritesBannersMessagesAndIdentifiers) {
    DriverEnvironment env;
    const mode_t mask = ::umask(027);
    writeFile(env.errorLog(), "old");  // an earlier run's logs go when the logs are prepared
    writeFile(env.warningLog(), "old");
    {
        MessageManager manager("QRXROOT/edif2qrx");
        manager.setLogDirectory(env.logDirectory().c_str());
        ASSERT_EQ(manager.openLogs("trazon", 0), 1);
        EXPECT_FALSE(fileExists(env.errorLog()));
        EXPECT_FALSE(fileExists(env.warningLog()));

        manager.reportError(36710, nullptr, {"/data/in.plt"});
        manager.reportError(7);                    // unknown number, padded to five places
        manager.reportError(36701, "obj-12", {});  // with an object identifier
        manager.reportError(0, "orphan-id", {});   // identifier alone
        manager.reportError(0, nullptr, {});       // nothing at all
        manager.reportError(555, nullptr, {"x"});  // hostile catalogue text, never a format
        manager.reportWarning(36752, nullptr, "/data/out.smb");
        manager.reportErrorCause(36711, {"/dev/zero"}, "Not a regular file");
        manager.reportErrorCause(36711, {"pens"}, "");  // no cause known: no cause line
        EXPECT_EQ(manager.closeLogs(), 1);
    }
    ::umask(mask);
    const std::string errors = readTextFile(env.errorLog());
    EXPECT_TRUE(matches(errors, banner("Error Occurred !!!") +
                                    "\n<Mess\\.36710> missing /data/in\\.plt\n"
                                    "\n<Mess\\.7    > Message No\\.7\n"
                                    "\n<Mess\\.36701> no sheet\n             objectId:obj-12\n"
                                    "             objectId:orphan-id\n"
                                    "\n<Mess\\.555  > weird %n x  %\n"
                                    "\n<Mess\\.36711> unreadable /dev/zero\n"
                                    "             cause: Not a regular file\n"
                                    "\n<Mess\\.36711> unreadable pens\n"))
        << errors;
    const std::string warnings = readTextFile(env.warningLog());
    EXPECT_TRUE(matches(
        warnings, banner("Warning Occurred !!!") + "\n<Mess\\.36752> saved /data/out\\.smb\n"))
        << warnings;
#if !defined(_WIN32)
    // Logs get the usual mode of new files, never write access for everyone.
    struct stat st {};
    ASSERT_EQ(::stat(env.errorLog().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
#endif
}

TEST(MessageManager, AppendModeAndPreparationFailures) {
    DriverEnvironment env;
    writeFile(env.errorLog(), "earlier\n");
    {
        MessageManager manager("QRXROOT/edif2qrx");
        manager.setLogDirectory(env.logDirectory().c_str());
        ASSERT_EQ(manager.openLogs("trazon", 1), 1);
        manager.reportError(36710, nullptr, {"a"});
        ASSERT_EQ(manager.openLogs("trazon", 1), 1);  // reopening brings a new banner
        manager.reportError(36710, nullptr, {"b"});

        manager.setLogDirectory((env.home() + "/no/such/dir").c_str());
        EXPECT_EQ(manager.openLogs("trazon", 0), 0);
        manager.setLogDirectory(env.home().c_str());
        EXPECT_EQ(manager.openLogs("", 0), 0);
        ASSERT_TRUE(std::filesystem::create_directory(env.home() + "/dir.err"));
        EXPECT_EQ(manager.openLogs("dir", 0), 0);  // a directory where the log should be
        EXPECT_EQ(manager.logPath(MessageManager::kErrorChannel), env.home() + "/dir.err");
        // A log that cannot be made at the first message sends it, banner first, to standard
        // error, after a line feed when standard error already holds text.
        const std::string gone = env.home() + "/gone";
        ASSERT_TRUE(std::filesystem::create_directory(gone));
        manager.setLogDirectory(gone.c_str());
        ASSERT_EQ(manager.openLogs("trazon", 0), 1);
        ASSERT_TRUE(std::filesystem::remove(gone));
        testing::internal::CaptureStderr();
        std::fputs("before", stderr);
        manager.reportError(36710, nullptr, {"c"});
        const std::string captured = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(matches(
            captured, "before\n" + banner("Error Occurred !!!") + "\n<Mess\\.36710> missing c\n"))
            << captured;
    }
    const std::string b = banner("Error Occurred !!!");
    EXPECT_TRUE(matches(
        readTextFile(env.errorLog()),
        "earlier\n\n" + b + "\n<Mess\\.36710> missing a\n\n" + b + "\n<Mess\\.36710> missing b\n"))
        << readTextFile(env.errorLog());
}

#if !defined(_WIN32)
TEST(MessageManager, LinksInALogsPlaceAreRefused) {
    DriverEnvironment env;
    const std::string victim = env.home() + "/victim";
    writeFile(victim, "keep");
    for (const std::string& log : {env.errorLog(), env.warningLog()}) {
        ASSERT_EQ(::symlink(victim.c_str(), log.c_str()), 0);
        MessageManager manager("QRXROOT/edif2qrx");
        manager.setLogDirectory(env.logDirectory().c_str());
        EXPECT_EQ(manager.openLogs("trazon", 0), 0) << log;
        ASSERT_EQ(::unlink(log.c_str()), 0);
    }
    EXPECT_EQ(readFile(victim), "keep");
}
#endif

TEST(MessageManager, AFailedLogWriteIsReportedAtTheEnd) {
    DriverEnvironment env;
    // Counts the file operations of preparing the logs and of writing an error and a warning.
    auto session = [&](long n) {
        platform::injectFileFault(n, ENOSPC);
        MessageManager manager("QRXROOT/edif2qrx");
        manager.setLogDirectory(env.logDirectory().c_str());
        const int prepared = manager.openLogs("trazon", 0);
        const long preparation = platform::fileOperationCount();
        if (prepared) {
            manager.reportError(36710, nullptr, {"a"});
            manager.reportWarning(36752, nullptr, "b");
        }
        const int closed = prepared ? manager.closeLogs() : -1;
        const long steps = platform::fileOperationCount();
        platform::injectFileFault(0, 0);
        return std::make_tuple(prepared, preparation, closed, steps, manager.failedLog(),
                               manager.failedLogError());
    };
    const auto [ok, preparation, closed, steps, log, error] = session(0);
    ASSERT_EQ(ok, 1);
    ASSERT_EQ(closed, 1);
    EXPECT_EQ(log, "");
    for (long n = 1; n <= steps; ++n) {
        SCOPED_TRACE(n);
        const auto [p, prep, c, s, failedLog, failedError] = session(n);
        if (n <= preparation) {
            EXPECT_EQ(p, 0);  // the logs cannot be prepared: nothing is converted
            continue;
        }
        EXPECT_EQ(c, 0);
        EXPECT_TRUE(failedLog == env.errorLog() || failedLog == env.warningLog()) << failedLog;
        EXPECT_EQ(failedError, ENOSPC);
    }
}
