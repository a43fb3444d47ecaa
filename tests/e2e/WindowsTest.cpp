// The program as Windows runs it: paths with drive letters and backslashes, and the installation
// root found in the system registry when the environment does not name it.
#if defined(_WIN32)

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "E2eSupport.h"

using e2e::ProgramRun;
using testsupport::fileExists;
using testsupport::writeFile;

namespace {

// The path with every "/" turned into a backslash.
std::string backslashed(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

}  // namespace

TEST(Windows, DriveLettersAndBackslashesInPaths) {
    ProgramRun p;
    std::filesystem::create_directories(p.file("in"));
    writeFile(p.file("in/plot.hgl"), "IN;SP1;PU0,0;PD400,0;");
    writeFile(p.file("in/pens.txt"), "1 9 0\n");
    const std::string home = backslashed(p.home());  // "Z:\...": a drive letter and backslashes
    ASSERT_EQ(home[1], ':');
    struct Case {
        std::vector<std::string> args;
        std::string output;  // where the output must be, relative to the home
        std::string shown;   // the output as the saved message names it
    };
    const Case cases[] = {
        // The target made absolute with "/"; the derived output beside it.
        {{home + "\\in\\plot.hgl"}, "in/plot.smb", p.file("in/plot.smb")},
        {{"-o", home + "\\out\\..\\abs.smb", "in\\plot.hgl"},
         "abs.smb",
         home + "\\out\\..\\abs.smb"},
        // A new circuit below a relative path written with backslashes, pen map likewise.
        {{"-r", "in\\pens.txt", "-o", "new\\deep.cir\\s.sht", "in\\plot.hgl"},
         "new/deep.cir/s.sht",
         "new\\deep.cir\\s.sht"},
        // The drive's root spelled without the drive.
        {{"-o", p.home().substr(2) + "/rooted.smb", "in/plot.hgl"},
         "rooted.smb",
         p.home().substr(2) + "/rooted.smb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        EXPECT_EQ(p.run(c.args).code, 0);
        EXPECT_EQ(p.errors(), "");
        EXPECT_EQ(p.warnings(), "<Mess.36752> The drawing was saved in " + c.shown + ".\n");
        EXPECT_TRUE(fileExists(p.file(c.output)));
    }
    for (const char* sub : {"log", "ext", "drc", "frame"})
        EXPECT_TRUE(std::filesystem::is_directory(p.file("new/deep.cir/") + sub)) << sub;
}

namespace {

// Runs wine's (or the system's) reg.exe with the arguments; its exit code.
int reg(const std::string& arguments, const ProgramRun& p) {
    return e2e::runProcess("reg.exe " + arguments, nullptr, p.home(), p.file("reg-out.txt"),
                           p.file("reg-err.txt"));
}

constexpr const char* kRuntimeKey = "\"HKLM\\Software\\Korvane\\Norvel Runtime\\7.0\"";

}  // namespace

// Writes the installation root where an installation keeps it and runs the program with no
// QRXROOT in its environment. Every test program reads that registry, so this test runs alone
// (see tests/CMakeLists.txt).
TEST(SystemRegistry, InstallationRootFromTheRegistry) {
    ProgramRun p;
    writeFile(p.file("plot.hgl"), "IN;SP1;PU0,0;PD400,0;");
    const std::string root = testsupport::bundledRoot();
    const std::string add = std::string("add ") + kRuntimeKey + " /v QRXROOT /f ";
    if (reg(add + "/t REG_SZ /d " + root, p) != 0)
        GTEST_SKIP() << "reg.exe cannot write below HKEY_LOCAL_MACHINE";
    struct Removal {
        const ProgramRun& p;
        ~Removal() { reg(std::string("delete ") + kRuntimeKey + " /v QRXROOT /f", p); }
    } removal{p};

    struct Case {
        std::string value;  // the reg.exe arguments that give QRXROOT its type and value
        int code;
        std::string warnings;
    };
    const std::string saved = "<Mess.36752> The drawing was saved in plot.smb.\n";
    const std::string part = root.substr(0, root.size() - 8);  // without "/qrxroot"
    ASSERT_EQ(root.substr(part.size()), "/qrxroot");
    const Case cases[] = {
        {"/t REG_SZ /d " + root, 0, saved},
        // Expanded from the program's environment.
        {"/t REG_EXPAND_SZ /d %TRAZON_TEST_PART%/qrxroot", 0, saved},
        // A number is no installation root: the program stops as without one.
        {"/t REG_DWORD /d 7", 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        ASSERT_EQ(reg(add + c.value, p), 0);
        for (const std::string& f : {p.file("plot.smb"), p.warningLog()})
            std::filesystem::remove(f);
        const e2e::Outcome o =
            p.run({"-o", "plot.smb", "plot.hgl"}, std::nullopt, {"TRAZON_TEST_PART=" + part});
        EXPECT_EQ(o.code, c.code);
        EXPECT_EQ(p.warnings(), c.warnings);
        EXPECT_EQ(fileExists(p.file("plot.smb")), c.code == 0);
    }
}

#endif
