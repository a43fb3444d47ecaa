#include "batch/BatchPlan.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>

using testsupport::TempDir;
using testsupport::writeFile;

namespace fs = std::filesystem;

namespace {

void setModified(const std::string& path, long seconds) {
    const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

BatchConfig configFor(const std::string& output, bool redo = false) {
    std::string error;
    auto c = parseBatchArguments({"-o", output, "x"}, error);
    c->redo = redo;
    return *c;
}

}  // namespace

TEST(BatchPlan, PlotExtensions) {
    const struct {
        const char* name;
        bool plot;
    } cases[] = {{"a.plt", true},      {"A.PLT", true},  {"a.HpGl", true},   {"a.hgl", true},
                 {"a.hpg", true},      {"a.hp", true},   {"a.hp2", true},    {"a.gl", true},
                 {"a.gl2", true},      {"a.txt", false}, {"plt", false},     {".plt", false},
                 {"a.plt.bak", false}, {"a.", false},    {"a.hpgl2", false}, {"a.sht", false}};
    for (const auto& c : cases)
        EXPECT_EQ(hasPlotExtension(c.name), c.plot) << c.name;
}

TEST(BatchPlan, FindsPlotsInFoldersNamedFilesAndTheList) {
    TempDir t;
    const std::string r = t.path();
    fs::create_directories(r + "/sub/deep");
    fs::create_directories(r + "/.hidden");
    for (const char* f : {"a.plt", "sub/b.HPGL", "sub/deep/c.hp", ".hidden/d.plt", "sub/.e.plt",
                          "notes.txt", "sub/deep/f.pen"})
        writeFile(r + "/" + f, "IN;");
    fs::create_directory_symlink(r + "/sub", r + "/link-to-sub");  // not followed
    fs::create_symlink(r + "/a.plt", r + "/linked.plt");           // the same file as a.plt

    std::istringstream list("sub/b.HPGL\n\n  \n" + r + "/x.PLT\r\n");
    const fs::path cwd = fs::current_path();
    fs::current_path(r);  // a listed relative path is taken from the current directory
    std::vector<std::string> problems;
    const auto plots = findPlots({r, r + "/notes.txt", r + "/zz-missing.plt", "-"}, list, problems);
    fs::current_path(cwd);
    const std::vector<std::string> expected = {r + "/a.plt",      r + "/notes.txt",
                                               r + "/sub/b.HPGL", r + "/sub/deep/c.hp",
                                               r + "/x.PLT",      r + "/zz-missing.plt"};
    EXPECT_EQ(plots, expected);
    EXPECT_TRUE(problems.empty());
}

TEST(BatchPlan, OutputNamesAreUniqueInTheBatch) {
    const struct {
        std::vector<std::string> plots;
        std::vector<std::string> names;
    } cases[] = {
        {{"/a/x.plt", "/b/x.plt", "/c/x.hp"}, {"x", "x-2", "x-3"}},
        {{"/a/x.plt", "/b/x-2.plt", "/c/x.plt"}, {"x", "x-2", "x-3"}},  // x-2 is a plot's own
        {{"/a/x-2.plt", "/b/x.plt", "/c/x.plt"}, {"x-2", "x", "x-3"}},
        {{"/a/X.plt", "/b/x.plt"}, {"X", "x"}},
        {{"/a/p.tar.plt", "/a/README"}, {"p.tar", "README"}},
    };
    for (const auto& c : cases) {
        const auto jobs = planJobs(configFor("/out"), c.plots);
        ASSERT_EQ(jobs.size(), c.names.size());
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            EXPECT_EQ(jobs[i].name, c.names[i]) << c.plots[i];
            EXPECT_EQ(jobs[i].output, "/out/" + c.names[i] + ".smb");
        }
    }
    EXPECT_EQ(planJobs(configFor("/w/board.cir/"), {"/a/x.plt"}).front().output,
              "/w/board.cir/x.sht");
}

TEST(BatchPlan, OutputsNewerThanTheirPlotsAreSkipped) {
    TempDir t;
    const std::string plot = t.file("p.plt");
    writeFile(plot, "IN;");
    setModified(plot, 2000);
    const struct {
        long outputTime;  // 0: no output
        bool redo, skip;
    } cases[] = {{0, false, false},
                 {1999, false, false},
                 {2000, false, false},
                 {2001, false, true},
                 {2001, true, false}};
    for (const auto& c : cases) {
        fs::remove(t.file("p.smb"));
        if (c.outputTime != 0) {
            writeFile(t.file("p.smb"), "x");
            setModified(t.file("p.smb"), c.outputTime);
        }
        EXPECT_EQ(planJobs(configFor(t.path(), c.redo), {plot}).front().skip, c.skip)
            << c.outputTime << (c.redo ? " redo" : "");
    }
}
