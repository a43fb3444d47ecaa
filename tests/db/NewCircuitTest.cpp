#include "db/NewCircuit.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <string>

#include "base/PlatformFile.h"
#include "support/TestSupport.h"

using testsupport::directoryEntries;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace fs = std::filesystem;

namespace {

using Names = std::set<std::string>;

const Names kCircuit = {"drc", "ext", "frame", "log", "rcpath"};
constexpr const char* kTable = "landata : \"/q/info\"\nlanenv : \"/q/info\"\n";

}  // namespace

TEST(NewCircuit, MadeWholeOrNotAtAll) {
    TempDir dir;
    writeFile(dir.file("afile"), "x");
    fs::create_directories(dir.file("taken.cir"));
    writeFile(dir.file("taken.cir/rcpath"), "landata : \"/other\"\n");
    struct Case {
        std::string circuit;
        int code;
        std::string path;  // of the failure
        int sysError;
    };
    const Case cases[] = {
        {dir.file("a/b/new.cir"), 0, "", 0},
        // Another run's circuit in place: taken as it is.
        {dir.file("taken.cir"), 0, "", 0},
        // A file where the parent should be: the circuit is what cannot be made.
        {dir.file("afile/x.cir"), kCircuitDirectoryFailed, dir.file("afile/x.cir"), ENOTDIR},
        {dir.file("afile/deeper/x.cir"), kCircuitDirectoryFailed, dir.file("afile/deeper"),
         ENOTDIR},
        // No circuit: the directories are made where asked, without a path table.
        {dir.file("plain"), kCircuitNotACircuit, dir.file("plain/rcpath"), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.circuit);
        const Status made = makeCircuit(c.circuit, "/q/info");
        EXPECT_EQ(std::tuple(made.code, made.path, made.sysError),
                  std::tuple(c.code, c.path, c.sysError));
    }
    EXPECT_EQ(directoryEntries(dir.file("a/b/new.cir")), kCircuit);
    EXPECT_EQ(readFile(dir.file("a/b/new.cir/rcpath")), kTable);
    EXPECT_EQ(readFile(dir.file("taken.cir/rcpath")), "landata : \"/other\"\n");
    EXPECT_EQ(directoryEntries(dir.file("plain")), (Names{"drc", "ext", "frame", "log"}));
    // No temporary circuit is left beside any of them.
    EXPECT_EQ(directoryEntries(dir.path()), (Names{"a", "afile", "plain", "taken.cir"}));
    EXPECT_EQ(directoryEntries(dir.file("a/b")), Names{"new.cir"});
}

TEST(NewCircuit, AFaultAtAnyStepLeavesNothingBehind) {
    TempDir dir;
    const std::string circuit = dir.file("c.cir");
    auto makeWithFault = [&](long n, int error) {
        fs::remove_all(circuit);
        platform::injectFileFault(n, error);
        Status made = makeCircuit(circuit, "/q/info");
        const long steps = platform::fileOperationCount();
        platform::injectFileFault(0, 0);
        return std::make_pair(made, steps);
    };
    const auto [made, steps] = makeWithFault(0, 0);
    ASSERT_TRUE(made.ok());
    int failed = 0;
    for (long n = 1; n <= steps; ++n) {
        SCOPED_TRACE(n);
        const auto [status, counted] = makeWithFault(n, EIO);
        if (status.ok()) {
            EXPECT_EQ(directoryEntries(circuit), kCircuit);
            EXPECT_EQ(readFile(circuit + "/rcpath"), kTable);
        } else {
            ++failed;
            EXPECT_EQ(status.sysError, EIO);
            EXPECT_TRUE(status.code == kCircuitTableFailed ||
                        status.code == kCircuitDirectoryFailed)
                << status.code;
            EXPECT_EQ(status.path,
                      status.code == kCircuitTableFailed ? circuit + "/rcpath" : circuit);
            EXPECT_FALSE(fs::exists(circuit));
        }
        EXPECT_EQ(directoryEntries(dir.path()), status.ok() ? Names{"c.cir"} : Names{});
    }
    // The path table's write, sync, close and rename, and the circuit's rename, fail it; the
    // sync of the parent after the rename does not.
    EXPECT_EQ(failed, 5);
}
