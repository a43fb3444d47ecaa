#include "app/MessageManager.h"

#include "AppTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <regex>
#include <string>

using apptest::DriverEnvironment;
using testsupport::fileExists;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

// The banner a log starts with, the time line matched by pattern.
std::string bannerPattern(const std::string& title) {
    const std::string rule(70, '#');
    return rule + "\n#\n#            " + title +
           "\n#\n#            [A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9][0-9] [0-9]{2}:[0-9]{2}:[0-9]{2} "
           "[0-9]{4}\n#\n" +
           rule + "\n";
}

bool matches(const std::string& text, const std::string& pattern) {
    return std::regex_match(text, std::regex(pattern));
}

int fileMode(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 0777) : -1;
}

}  // namespace

TEST(MessageManager, WritesBannersMessagesAndIdentifiers) {
    DriverEnvironment env;
    // Logs of an earlier run disappear when the logs are prepared.
    writeFile(env.errorLog(), "old");
    writeFile(env.warningLog(), "old");
    {
        MessageManager manager("QRXROOT/edif2qrx");
        manager.setLogDirectory(env.logDirectory().c_str());
        ASSERT_EQ(manager.openLogs("trazon", 0), 1);
        EXPECT_FALSE(fileExists(env.errorLog()));
        EXPECT_FALSE(fileExists(env.warningLog()));
        EXPECT_EQ(manager.logPath(MessageManager::kErrorChannel), env.errorLog());

        manager.reportError(36710, nullptr, {"/data/in.plt"});
        manager.reportError(7);                    // unknown number, short field
        manager.reportError(36701, "obj-12", {});  // with an object identifier
        manager.reportError(0, "orphan-id", {});   // identifier alone
        manager.reportError(0, nullptr, {});       // nothing at all
        manager.reportWarning(36752, nullptr, "/data/out.smb");
        manager.reportError(555, nullptr, {"x"});  // hostile catalogue text, no printf
    }
    const std::string errors = readFile(env.errorLog());
    EXPECT_TRUE(matches(errors, bannerPattern("Error Occurred !!!") +
                                    "\n<Mess\\.36710> missing /data/in\\.plt\n"
                                    "\n<Mess\\.7    > Message No\\.7\n"
                                    "\n<Mess\\.36701> no sheet\n"
                                    "             objectId:obj-12\n"
                                    "             objectId:orphan-id\n"
                                    "\n<Mess\\.555  > weird %n .*\n"))
        << errors;
    const std::string warnings = readFile(env.warningLog());
    EXPECT_TRUE(matches(warnings, bannerPattern("Warning Occurred !!!") +
                                      "\n<Mess\\.36752> saved /data/out\\.smb\n"))
        << warnings;
    // Closed logs are left writable for everyone.
    EXPECT_EQ(fileMode(env.errorLog()), 0666);
    EXPECT_EQ(fileMode(env.warningLog()), 0666);
}

TEST(MessageManager, AppendModeAndReopening) {
    DriverEnvironment env;
    writeFile(env.errorLog(), "earlier\n");
    {
        MessageManager manager("QRXROOT/edif2qrx");
        manager.setLogDirectory(env.logDirectory().c_str());
        ASSERT_EQ(manager.openLogs("trazon", 1), 1);
        EXPECT_EQ(readFile(env.errorLog()), "earlier\n");  // kept, not truncated
        manager.reportError(36710, nullptr, {"a"});
        // Preparing the logs again closes them; the next message brings a new banner.
        ASSERT_EQ(manager.openLogs("trazon", 1), 1);
        manager.reportError(36710, nullptr, {"b"});
    }
    const std::string banner = bannerPattern("Error Occurred !!!");
    EXPECT_TRUE(matches(readFile(env.errorLog()), "earlier\n\n" + banner +
                                                      "\n<Mess\\.36710> missing a\n\n" + banner +
                                                      "\n<Mess\\.36710> missing b\n"))
        << readFile(env.errorLog());
}

TEST(MessageManager, LogPreparationFailures) {
    DriverEnvironment env(false);
    MessageManager manager("QRXROOT/edif2qrx");
    // A directory that does not exist, and a log name that is missing.
    manager.setLogDirectory((env.home() + "/no/such/dir").c_str());
    EXPECT_EQ(manager.openLogs("trazon", 0), 0);
    manager.setLogDirectory(env.home().c_str());
    EXPECT_EQ(manager.openLogs("", 0), 0);
    EXPECT_EQ(manager.openLogs(nullptr, 0), 0);
    // A directory standing where the error log should be.
    ASSERT_EQ(::mkdir((env.home() + "/trazon.err").c_str(), 0755), 0);
    EXPECT_EQ(manager.openLogs("trazon", 0), 0);
    EXPECT_EQ(manager.openLogs("other", 0), 1);
}

TEST(MessageManager, EmptyDirectoryMeansCurrentDirectoryAndNoLanguageMeansNumbers) {
    DriverEnvironment env;
    testsupport::ScopedEnv noLanguage("QLANG", std::nullopt);
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(::chdir(env.work().c_str()), 0);
    {
        MessageManager manager("QRXROOT/edif2qrx");
        manager.setLogDirectory(nullptr);
        EXPECT_EQ(manager.openLogs("here", 0), 1);
        EXPECT_EQ(manager.logPath(MessageManager::kWarningChannel), "./here.wrn");
        manager.reportError(36710, nullptr, {"x"});
    }
    const std::string text = readFile(env.work() + "/here.err");
    EXPECT_EQ(::chdir(cwd), 0);
    EXPECT_NE(text.find("\n<Mess.36710> Message No.36710\n"), std::string::npos) << text;
}
