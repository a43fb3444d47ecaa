// Saving as a user meets it when things go wrong or happen at once: runs that add to one sheet
// together, links planted where files are written, files of restricted modes, devices and pipes
// as inputs, full disks and file-size limits. The program runs in its own process.
#include "E2eSupport.h"

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "base/PlatformFile.h"

using e2e::Loaded;
using e2e::pathTableText;
using e2e::ProgramRun;
#if !defined(_WIN32)
using e2e::shellQuote;
#endif
using testsupport::directoryEntries;
using testsupport::fileExists;
using testsupport::readFile;
using testsupport::writeFile;

namespace fs = std::filesystem;

namespace {

using Names = std::set<std::string>;

// One polyline per run.
constexpr const char* kPlot = "IN;SP1;PU0,0;PD100,100;";

// The plot p.hgl and a circuit board.cir with its path table and, unless told otherwise, a
// sheet s.sht holding one drawing.
void prepare(const ProgramRun& p, bool withSheet = true) {
    writeFile(p.file("p.hgl"), kPlot);
    fs::create_directories(p.file("board.cir"));
    writeFile(p.file("board.cir/rcpath"), pathTableText());
    if (withSheet) {
        ASSERT_EQ(p.run({"-o", "board.cir/s.sht", "p.hgl"}).code, 0);
    }
}

long objects(const std::string& sheet) {
    Loaded out(sheet);
    return out.ok() ? static_cast<long>(out.sheet().objectCount()) : -1;
}

#if !defined(_WIN32)
struct stat statusOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

// A small file system mounted for one test and unmounted at its end.
class SmallDisk {
public:
    explicit SmallDisk(std::string at) : at_(std::move(at)) {
        fs::create_directories(at_);
        mounted_ = ::mount("tmpfs", at_.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallDisk() {
        if (mounted_) ::umount(at_.c_str());
    }
    bool mounted() const { return mounted_; }
    // Fills what is left of the disk.
    void fill() const {
        const std::string dd =
            "dd if=/dev/zero of=" + shellQuote(at_ + "/fill") + " bs=1k 2>/dev/null";
        (void)std::system(dd.c_str());
    }

private:
    std::string at_;
    bool mounted_ = false;
};
#endif

}  // namespace

TEST(Saving, RunsAtTheSameTimeKeepEveryDrawing) {
    // Runs started together add to one sheet that does not exist at first, in a circuit that
    // exists and (POSIX) in one that the runs make themselves; each waits for the lock in turn.
#if defined(_WIN32)
    constexpr int kRuns = 8;
    const std::vector<std::string> circuits = {"board.cir"};
#else
    constexpr int kRuns = 20;
    const std::vector<std::string> circuits = {"board.cir", "fresh.cir"};
#endif
    for (const std::string& circuit : circuits) {
        SCOPED_TRACE(circuit);
        ProgramRun p;
        prepare(p, false);
        const std::string sheet = circuit + "/s.sht";
        std::vector<int> codes(kRuns, -1);
        std::vector<std::thread> runs;
        Names home = {"board.cir", circuit, "norvel", "p.hgl"};
        for (int i = 0; i < kRuns; ++i) {
            const std::string name = "run" + std::to_string(i);
            home.insert({name + ".out", name + ".err"});
            runs.emplace_back([&, i, name] {
                codes[i] = p.runAlongside({"-o", sheet, "p.hgl"}, name);
            });
        }
        for (std::thread& run : runs)
            run.join();
        for (int i = 0; i < kRuns; ++i)
            EXPECT_EQ(codes[i], 0) << readFile(p.file("run" + std::to_string(i) + ".err"));
        EXPECT_EQ(objects(p.file(sheet)), kRuns);
        // Nothing left behind: no lock file, no temporary file or circuit.
        const Names kept = {"rcpath", "s.sht"},
                    made = {"drc", "ext", "frame", "log", "rcpath", "s.sht"};
        EXPECT_EQ(directoryEntries(p.file(circuit)), circuit == "board.cir" ? kept : made);
        EXPECT_EQ(directoryEntries(p.home()), home);
    }
}

// Links, modes and owners, devices, pipes, file systems mounted for a test and runs started by
// the shell are POSIX matters.
#if !defined(_WIN32)
TEST(Saving, LinksInTheWayAreLeftAlone) {
    ProgramRun p;
    prepare(p);
    writeFile(p.file("victim"), "keep");
    const std::string victim = p.file("victim");
    // Links at the temporary names, at the lock's name and to nothing are the saving, locking
    // and driver tests' matter. A link to a file: the file is updated, the link stays.
    fs::create_directories(p.file("elsewhere"));
    fs::copy_file(p.file("board.cir/s.sht"), p.file("elsewhere/real.sht"));
    fs::create_symlink("../elsewhere/real.sht", p.file("board.cir/link.sht"));
    EXPECT_EQ(p.run({"-o", "board.cir/link.sht", "p.hgl"}).code, 0);
    EXPECT_EQ(objects(p.file("elsewhere/real.sht")), 2);
    EXPECT_TRUE(fs::is_symlink(p.file("board.cir/link.sht")));
    EXPECT_EQ(directoryEntries(p.file("elsewhere")), Names{"real.sht"});

    // A link in the circuit's log directory, or that directory as a link, is never written
    // through.
    fs::create_directories(p.file("board.cir/log"));
    fs::create_symlink(victim, p.file("board.cir/log/ref.log"));
    fs::create_directories(p.file("other.cir/logs"));
    writeFile(p.file("other.cir/rcpath"), pathTableText());
    fs::create_symlink(p.file("other.cir/logs"), p.file("other.cir/log"));
    for (const char* sheet : {"board.cir/top.1.sht", "other.cir/top.1.sht"})
        EXPECT_EQ(p.run({"-o", sheet, "p.hgl"}).code, 0) << sheet;
    EXPECT_TRUE(fs::is_symlink(p.file("board.cir/log/ref.log")));
    EXPECT_TRUE(fileExists(p.file("board.cir/log/scn.log")));
    EXPECT_EQ(directoryEntries(p.file("other.cir/logs")), Names{});

    EXPECT_EQ(readFile(victim), "keep");
    EXPECT_EQ(statusOf(victim).st_mode & 0777, 0644u);
}

TEST(Saving, ModesAndOwnersAreKept) {
    ProgramRun p;
    prepare(p);
    const std::string sheet = p.file("board.cir/s.sht");
    const bool root = ::geteuid() == 0;
    struct Case {
        mode_t mode;
        int owner, group;  // -1: as it is
    };
    const Case cases[] = {{0600, -1, -1}, {0640, 4242, 4343}, {0604, -1, 4343}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        if (c.owner >= 0 || c.group >= 0) {
            if (!root) continue;
            ASSERT_EQ(::chown(sheet.c_str(), c.owner, c.group), 0);
        }
        const struct stat before = statusOf(sheet);
        ASSERT_EQ(::chmod(sheet.c_str(), c.mode), 0);
        EXPECT_EQ(p.run({"-o", "board.cir/s.sht", "p.hgl"}).code, 0);
        const struct stat after = statusOf(sheet);
        EXPECT_NE(after.st_ino, before.st_ino);  // a new file took the old one's place
        EXPECT_EQ(after.st_mode & 07777, c.mode);
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(after.st_gid, before.st_gid);
    }
}

#endif

TEST(Saving, ReplacingKeepsTheOldFileUntilTheNewOneIsSaved) {
    ProgramRun p;
    prepare(p);
    writeFile(p.file("words.hgl"), "only words\n");
    const std::string before = readFile(p.file("board.cir/s.sht"));
    EXPECT_EQ(p.run({"-m", "new", "-o", "board.cir/s.sht", "words.hgl"}).code, 1);
    EXPECT_EQ(readFile(p.file("board.cir/s.sht")), before);
    EXPECT_EQ(p.run({"-m", "new", "-o", "board.cir/s.sht", "p.hgl"}).code, 0);
    EXPECT_EQ(objects(p.file("board.cir/s.sht")), 1);
}

#if !defined(_WIN32)

TEST(Saving, DevicesDirectoriesAndPipesAsInputs) {
    ProgramRun p;
    prepare(p, false);
    fs::create_directories(p.file("devinfo"));
    fs::create_symlink("/dev/zero", p.file("devinfo/landata.rsc"));
    fs::create_directories(p.file("dev.cir"));
    writeFile(p.file("dev.cir/rcpath"), "landata : \"" + p.file("devinfo") + "\"\n");
    // Every run is bounded, so a run that reads a device for ever fails the test, not the suite.
    p.setShellPrefix("timeout 30");
    const std::string unreadable = "<Mess.36711> Cannot read the file ";
    struct Case {
        std::vector<std::string> args;
        std::string message, cause;
    };
    const Case cases[] = {
        {{"-o", "z.smb", "/dev/zero"}, unreadable + "/dev/zero.\n", "Not a regular file"},
        {{"-r", "/dev/urandom", "p.hgl"}, unreadable + "/dev/urandom.\n", "Not a regular file"},
        {{"-r", p.home(), "p.hgl"}, unreadable + p.home() + ".\n", "Is a directory"},
        {{"-o", "d.smb", p.home()}, unreadable + p.home() + ".\n", "Is a directory"},
        {{"-o", "dev.cir/s.sht", "p.hgl"},
         unreadable + p.file("devinfo/landata.rsc") + ".\n",
         "Not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(p.run(c.args).code, 1);
        EXPECT_EQ(p.errors(), c.message);
        EXPECT_NE(readFile(p.errorLog()).find("             cause: " + c.cause + "\n"),
                  std::string::npos);
    }
    // A pipe is read to its end, the statement count included.
    ASSERT_EQ(::mkfifo(p.file("fifo").c_str(), 0600), 0);
    p.setShellPrefix("(cat p.hgl p.hgl >fifo &); timeout 30");
    EXPECT_EQ(p.run({"-o", "f.smb", "fifo"}).code, 0);
    EXPECT_EQ(objects(p.file("f.smb")), 2);
}

TEST(Saving, FullDisksAndFileSizeLimits) {
    ProgramRun p;
    prepare(p);
    // A file-size limit below the sheet's size: an ordinary failed save.
    p.setShellPrefix("ulimit -f 1;");
    EXPECT_EQ(p.run({"-o", "board.cir/new.sht", "p.hgl"}).code, 1);
    EXPECT_EQ(p.errors(), "<Mess.36725> Cannot save the sheet board.cir/new.sht.\n");
    EXPECT_NE(readFile(p.errorLog()).find("cause: File too large\n"), std::string::npos);
    EXPECT_EQ(directoryEntries(p.file("board.cir")), (Names{"rcpath", "s.sht"}));
    p.setShellPrefix("");

    // The output's disk full: the old sheet stays, nothing is left beside it.
    {
        SmallDisk disk(p.file("full.cir"));
        if (!disk.mounted()) GTEST_SKIP() << "no small file system can be mounted here";
        writeFile(p.file("full.cir/rcpath"), pathTableText());
        ASSERT_EQ(p.run({"-o", "full.cir/s.sht", "p.hgl"}).code, 0);
        const std::string before = readFile(p.file("full.cir/s.sht"));
        disk.fill();
        EXPECT_EQ(p.run({"-o", "full.cir/s.sht", "p.hgl"}).code, 1);
        EXPECT_EQ(p.errors(), "<Mess.36725> Cannot save the sheet full.cir/s.sht.\n");
        EXPECT_NE(readFile(p.errorLog()).find("cause: No space left on device\n"),
                  std::string::npos);
        EXPECT_EQ(readFile(p.file("full.cir/s.sht")), before);
        EXPECT_EQ(directoryEntries(p.file("full.cir")), (Names{"fill", "rcpath", "s.sht"}));
    }
    // The log's disk full: the drawing is saved, but the run says on standard error that its
    // message was lost.
    SmallDisk logs(p.logDirectory());
    ASSERT_TRUE(logs.mounted());
    logs.fill();
    const e2e::Outcome o = p.run({"-o", "board.cir/s.sht", "p.hgl"});
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(o.err, "trazon: cannot write the log file " + p.warningLog() +
                         ": No space left on device\n");
    EXPECT_EQ(objects(p.file("board.cir/s.sht")), 2);
}
#endif
