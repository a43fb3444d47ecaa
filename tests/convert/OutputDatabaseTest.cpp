#include "convert/OutputDatabase.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "base/PlatformFile.h"
#include "convert/ConversionSetup.h"
#include "db/LexDatabase.h"
#include "db/LexSheet.h"
#include "support/TestSupport.h"

using testsupport::TempDir;
using testsupport::writeFile;

namespace fs = std::filesystem;

namespace {

constexpr std::chrono::milliseconds kNoWait(0);

class OutputDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(dbInitialise(), 1); }
    void TearDown() override { dbCloseAll(); }

    TempDir dir_;
};

}  // namespace

TEST_F(OutputDatabaseTest, OutputsThatCannotBeOpenedOrMade) {
    fs::create_directories(dir_.file("dir.smb"));
#if !defined(_WIN32)
    fs::create_symlink(dir_.file("nowhere.smb"), dir_.file("dangling.smb"));
    fs::create_symlink("/dev/null", dir_.file("device.smb"));
#endif
    writeFile(dir_.file("words.smb"), "no sheet here\n");
    platform::FileLock held;
    ASSERT_EQ(held.acquire(dir_.file("held.smb.lock"), kNoWait), 0);
    struct Case {
        std::string name;
        bool keepExisting;
        int code, sysError;
    };
    const Case cases[] = {
#if !defined(_WIN32)
        {"dangling.smb", true, kOutputLinkBroken, ENOENT},
#endif
        {"held.smb", true, kOutputInUse, platform::kErrorInUse},
        {"dir.smb", true, kOutputNotOpened, EISDIR},
        {"dir.smb", false, kOutputNotMade, EISDIR},
#if !defined(_WIN32)
        {"device.smb", true, kOutputNotOpened, platform::kErrorNotAFile},
        {"device.smb", false, kOutputNotMade, platform::kErrorNotAFile},
#endif
        {"words.smb", true, kOutputNotOpened, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OutputDatabase output;
        const std::string path = dir_.file(c.name);
        Status status = output.lock(path, kNoWait);
        if (status.ok()) status = output.open(path, nullptr, c.keepExisting, true);
        EXPECT_EQ(std::tuple(status.code, status.path, status.sysError),
                  std::tuple(c.code, path, c.sysError));
    }
    EXPECT_EQ(testsupport::readFile(dir_.file("words.smb")), "no sheet here\n");
}

TEST_F(OutputDatabaseTest, LockedFromOpeningToSaving) {
    const std::string path = dir_.file("s.sht");
    {
        OutputDatabase output;
        ASSERT_TRUE(output.lock(path, kNoWait).ok());
        ASSERT_TRUE(output.open(path, nullptr, true, false).ok());
        EXPECT_FALSE(output.openedExisting());
        EXPECT_FALSE(fs::exists(path));  // a new output exists only in memory until the save
        ASSERT_NE(output.sheet().sheet(), nullptr);
        EXPECT_FALSE(output.sheet().sheet()->isSymbol());
        EXPECT_TRUE(output.hasContent());
        // Another run waits for the lock while this one holds it.
        OutputDatabase other;
        EXPECT_EQ(other.lock(path, kNoWait).code, kOutputInUse);
        EXPECT_TRUE(output.save().ok());
        EXPECT_TRUE(other.lock(path, kNoWait).ok());
    }
    // An existing output is opened to be added to; with keepExisting false it is made anew.
    for (const bool keep : {true, false}) {
        OutputDatabase output;
        ASSERT_TRUE(output.open(path, nullptr, keep, false).ok());
        EXPECT_EQ(output.openedExisting(), keep);
    }
    // A save that fails says why, and lets the lock go all the same.
    const std::string blocked = dir_.file("blocked.smb");
    OutputDatabase output;
    ASSERT_TRUE(output.lock(blocked, kNoWait).ok());
    ASSERT_TRUE(output.open(blocked, nullptr, true, true).ok());
    fs::create_directories(blocked);
    const Status saved = output.save();
    EXPECT_EQ(std::tuple(saved.code, saved.path, saved.sysError),
              std::tuple(30001, blocked, EISDIR));
    OutputDatabase next;
    EXPECT_TRUE(next.lock(blocked, kNoWait).ok());
}

TEST_F(OutputDatabaseTest, SettingsOfAnOutputNameTheFileThatFailed) {
    const std::string info = testsupport::bundledRoot() + "/info";
    fs::create_directories(dir_.file("none.cir"));
    fs::create_directories(dir_.file("half.cir"));
    writeFile(dir_.file("half.cir/rcpath"), "landata : \"" + info + "\"\n");
    fs::create_directories(dir_.file("bad.cir/set"));
    writeFile(dir_.file("bad.cir/rcpath"),
              "landata : \"./bad.cir/set\"\nlanenv : \"" + info + "\"\n");
    writeFile(dir_.file("bad.cir/set/landata.rsc"), "defaultLineColor : -1\n");
    struct Case {
        std::string circuit, path;
        int code;
    };
    const Case cases[] = {
        {"none.cir", dir_.file("none.cir/rcpath"), kSettingsRefused},
        {"half.cir", dir_.file("half.cir/rcpath"), kSettingsRefused},
        {"bad.cir", dir_.file("bad.cir/set/landata.rsc"), kSettingsInvalid},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.circuit);
        OutputSettings settings;
        const Status loaded = loadOutputSettings(false, dir_.file(c.circuit), settings);
        EXPECT_EQ(std::tuple(loaded.code, loaded.path), std::tuple(c.code, c.path));
    }
    OutputSettings settings;
    writeFile(dir_.file("half.cir/rcpath"),
              "landata : \"" + info + "\"\nlanenv : \"" + info + "\"\n");
    EXPECT_TRUE(loadOutputSettings(false, dir_.file("half.cir"), settings).ok());
    EXPECT_NE(settings.lanenv, nullptr);
    EXPECT_EQ(settings.lanenv->databaseSettings(), settings.landata.get());
}
