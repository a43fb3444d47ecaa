#include "db/ProjectLayout.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "base/SysEnv.h"
#include "support/TestSupport.h"

using testsupport::readFile;
using testsupport::ScopedEnv;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

void makeDirs(const std::string& path) {
    std::filesystem::create_directories(path);
}

// Environment for one test: the given roots, nothing cached from earlier lookups.
struct Roots {
    ScopedEnv qrx, project, family;
    Roots(std::optional<std::string> root, std::optional<std::string> projectRoot = std::nullopt,
          std::optional<std::string> familyRoot = std::nullopt)
        : qrx("QRXROOT", std::move(root)),
          project("QRX_PROJECT_ROOT", std::move(projectRoot)),
          family("NVL_PROJECT_ROOT", std::move(familyRoot)) {
        resetSysEnv();
    }
    ~Roots() { resetSysEnv(); }
};

TEST(ProjectLayoutTest, Classify) {
    struct Case {
        const char* path;
        int kind;
    };
    const Case cases[] = {
        {"a/b.cir", 1},       {"a/b.CIR", 1},
        {"a/b.cir/", 1},      {"b.smb", 2},
        {"x/y.Blk", 3},       {"a/b.cir/x.sht", 4},
        {"a/b.cir/drc", 6},   {"a/b.cir/log", 9},
        {"a\\b.cir\\LOG", 9}, {"a/b.cir/rcpath", 11},
        {"a/b.txt", 0},       {"a/log.old", 0},
        {"a.cir/readme", 0},  {"", 0},
        {"a.cir/b/c", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(classify(c.path), c.kind) << c.path;
}

TEST(ProjectLayoutTest, PathOf) {
    struct Case {
        const char* cp;
        int kind;
        const char* name;
        const char* expected;
    };
    const Case cases[] = {
        {"a/b.cir", 1, "", "a/b.cir"},
        {"a/b.cir", 2, "x", "a/b.cir/x.smb"},
        {"a/b.cir", 2, "x.hgl", "a/b.cir/x.smb"},
        {"a/b.cir", 2, "", "a/b.smb"},
        {"a/b.cir", 3, "any", "a/b.blk"},
        {"a/b.cir", 4, "x", "a/b.cir/x.sht"},
        {"a/b.cir/", 4, "x", "a/b.cir/x.sht"},
        {"a/b.cir", 4, "", "a/b.sht"},
        {"a/b.CIR", 5, "x.sht", "a/b.CIR/x.net"},
        {"a/b.cir", 6, "r.txt", "a/b.cir/drc/r.txt"},
        {"a/b.cir", 6, "", "a/b.cir/drc"},
        {"a/b.cir", 9, "ref.log", "a/b.cir/log/ref.log"},
        {"a/b.sht", 4, "x", ""},  // the base is no circuit
        {"a/b.cir", 14, "x", ""},
        {"a/b.cir", -1, "x", ""},
        {"any/dir", 0, "f", "any/dir/f"},
        {"a/b.sht", 0, "", "a/b.sht"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pathOf(c.cp, c.kind, c.name), c.expected) << c.cp << " " << c.kind;
    }
}

TEST(ProjectLayoutTest, SystemFileSearchesProjectRootsFirst) {
    TempDir dir;
    std::string root = dir.file("root"), project = dir.file("proj"), family = dir.file("fam");
    {
        // The installation candidate is taken even when the file is missing.
        Roots r(root);
        EXPECT_EQ(systemFile("landata", kSystemInfo), root + "/info/landata.rsc");
        EXPECT_EQ(systemFile("pens.map", kSystemInfo), root + "/info/pens.map");
        EXPECT_EQ(systemFile("x", kSystemEtc), root + "/etc/x");
        EXPECT_EQ(systemFile("font/a.vec", kSystemRoot), root + "/font/a.vec");
        EXPECT_EQ(systemFile("", kSystemInfo), root + "/info");
        EXPECT_EQ(systemFile("x", 3), "");
    }
    {
        Roots r(std::nullopt);
        EXPECT_EQ(systemFile("landata", kSystemInfo), "");
        EXPECT_EQ(systemFile("x", kSystemRoot), "");
    }
    makeDirs(project + "/info");
    makeDirs(family + "/qrx/info");
    makeDirs(family + "/qrx/etc");
    ASSERT_TRUE(writeFile(family + "/qrx/info/landata.rsc", ""));
    ASSERT_TRUE(writeFile(family + "/qrx/etc/e", ""));
    ASSERT_TRUE(writeFile(project + "/info/lanenv.rsc", ""));
    {
        // Backslashes of the family-wide root become slashes.
        std::string familyWin = family;
        familyWin.replace(familyWin.rfind('/'), 1, "\\");
        Roots r(root, project, familyWin);
        EXPECT_EQ(systemFile("lanenv", kSystemInfo), project + "/info/lanenv.rsc");
        EXPECT_EQ(systemFile("landata", kSystemInfo), family + "/qrx/info/landata.rsc");
        EXPECT_EQ(systemFile("e", kSystemEtc), family + "/qrx/etc/e");
        EXPECT_EQ(systemFile("other", kSystemInfo), root + "/info/other.rsc");
        EXPECT_EQ(systemFile("", kSystemInfo), project + "/info");
    }
    {
        Roots r(root, std::string(), family);  // an empty project root counts as unset
        EXPECT_EQ(systemFile("lanenv", kSystemInfo), root + "/info/lanenv.rsc");
        EXPECT_EQ(systemFile("landata", kSystemInfo), family + "/qrx/info/landata.rsc");
    }
}

TEST(ProjectLayoutTest, PathTableKeepsEntriesSortedAndWritesLines) {
    PathTable t;
    t.parse(
        "# settings of the design\nlanenv : \"/opt/q/info\"\nlandata:/x\\ y\n"
        "broken ( a )\nzeta : z : extra\nlandata : \"/opt/q/info\"\nlast :");
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t.entries()[0].key, "landata");
    EXPECT_EQ(t.entries()[1].key, "lanenv");
    EXPECT_EQ(t.entries()[2].key, "zeta");
    ASSERT_NE(t.find("landata"), nullptr);
    EXPECT_EQ(*t.find("landata"), "/opt/q/info");
    EXPECT_EQ(t.find("broken"), nullptr);
    EXPECT_EQ(t.find("last"), nullptr);
    EXPECT_EQ(t.find("Landata"), nullptr);
    EXPECT_EQ(t.remove("zeta"), 1);
    EXPECT_EQ(t.remove("zeta"), 0);
    EXPECT_EQ(t.text(),
              "landata : \"/opt/q/info\"\n"
              "lanenv : \"/opt/q/info\"\n");
    // Binary search over many keys inserted out of order.
    PathTable many;
    for (int i = 99; i >= 0; --i)
        many.set("k" + std::to_string(i * 7 % 100), std::to_string(i));
    for (int i = 0; i < 100; ++i)
        ASSERT_NE(many.find("k" + std::to_string(i)), nullptr) << i;
    EXPECT_EQ(many.find("k100"), nullptr);

    TempDir dir;
    ASSERT_EQ(t.write(dir.file("rcpath")), 1);
    PathTable back;
    ASSERT_EQ(back.read(dir.file("rcpath")), 1);
    EXPECT_EQ(back.text(), t.text());
    EXPECT_EQ(back.read(dir.file("missing")), 0);
    EXPECT_EQ(back.size(), 0u);
    EXPECT_EQ(t.write(dir.file("no/such/dir/rcpath")), 0);
    EXPECT_EQ(t.write(""), 0);
}

TEST(ProjectLayoutTest, CircuitSettingsFileFollowsThePathTable) {
    TempDir dir;
    std::string cp = dir.file("p/c.cir");
    makeDirs(cp);
    ScopedEnv setDir("TRAZON_TEST_SETTINGS", "/srv/set");
    ScopedEnv unset("TRAZON_TEST_UNSET", std::nullopt);
    // Each key's value in the circuit's table and the settings file it leads to.
    std::string p = dir.file("p");
    const std::tuple<const char*, const char*, std::string> rows[] = {
        {"landata", "$CIRCUIT_PATH/set", cp + "/set/landata.rsc"},
        {"lanenv", ".", p + "/lanenv.rsc"},
        {"a", "./sub", p + "/sub/a.rsc"},
        {"b", "../up", p + "/../up/b.rsc"},
        {"c", "$TRAZON_TEST_SETTINGS/x", "/srv/set/x/c.rsc"},
        {"d", "$TRAZON_TEST_UNSET/x", ""},
        {"e", "/abs/dir", "/abs/dir/e.rsc"},
        {"f", "$TRAZON_TEST_SETTINGS", "/srv/set/f.rsc"},
        {"g", "", ""}};
    std::string table;
    for (const auto& [key, value, file] : rows)
        table += std::string(key) + " : \"" + value + "\"\n";
    ASSERT_TRUE(writeFile(cp + "/rcpath", table));
    for (const auto& [key, value, file] : rows)
        EXPECT_EQ(circuitSettingsFile(cp, key), file) << key;
    EXPECT_EQ(pathOf(cp, kPathKindSettings, "landata"), cp + "/set/landata.rsc");
    EXPECT_EQ(circuitSettingsFile(cp + "/", "landata.rsc"), cp + "/set/landata.rsc");
    EXPECT_EQ(circuitSettingsFile(cp, "missing"), "");
    EXPECT_EQ(circuitSettingsFile(dir.file("p/other.cir"), "landata"), "");  // no table
    EXPECT_EQ(circuitSettingsFile(dir.file("p"), "landata"), "");            // no circuit
    EXPECT_EQ(resolvePathTableValue("p/c.cir", "$/x"), "");
    // Names the driver published through setSysEnv resolve too.
    resetSysEnv();
    ASSERT_EQ(setSysEnv("QSYSROOT", "/inst"), 0);
    EXPECT_EQ(resolvePathTableValue("p/c.cir", "$QSYSROOT/info"), "/inst/info");
    resetSysEnv();

    // The table a new circuit gets: landata first, lanenv second.
    std::string fresh = dir.file("new.cir");
    makeDirs(fresh);
    ASSERT_EQ(writeSettingsReference(fresh, "/q/info"), 0);
    EXPECT_EQ(readFile(fresh + "/rcpath"), "landata : \"/q/info\"\nlanenv : \"/q/info\"\n");
    EXPECT_EQ(circuitSettingsFile(fresh, "lanenv"), "/q/info/lanenv.rsc");
    EXPECT_EQ(writeSettingsReference(dir.file("plain"), "/q/info"), -1);
    EXPECT_EQ(writeSettingsReference(dir.file("gone.cir"), "/q/info"), -2);
    EXPECT_TRUE(exists(cp + "/rcpath"));
    EXPECT_FALSE(exists(""));
}

TEST(ProjectLayoutTest, ReferenceLogsOfNumberedSheets) {
    struct Case {
        const char* path;
        int number;
    };
    const Case cases[] = {
        {"c.cir/top.1.sht", 1},
        {"c.cir/top.12.SHT", 12},
        {"top.007.sht", 7},
        {"c.cir/top.0.sht", 0},
        {"c.cir/top.sht", 0},
        {"c.cir/top.1a.sht", 0},
        {"c.cir/top..sht", 0},
        {"c.cir/top.1.smb", 0},
        {".sht", 0},
        {"a.99999999999999999999.sht", 2147483647},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sheetNumberOf(c.path), c.number) << c.path;

    TempDir dir;
    std::string cp = dir.file("c.cir");
    makeDirs(cp);
    std::vector<ReferenceLogEntry> parts = {{"R1", "RES 10k"}, {"U1", "74HC00\nx"}};
    ASSERT_EQ(writeReferenceLogs(cp + "/top.2.sht", parts), 1);
    for (const char* log : {"ref.log", "scn.log", "hcn.log"}) {
        EXPECT_EQ(readFile(cp + "/log/" + log), "R1 RES 10k\nU1 74HC00 x\n") << log;
    }
    ASSERT_EQ(writeReferenceLogs(cp + "/top.2.sht", {}), 1);
    EXPECT_EQ(readFile(cp + "/log/ref.log"), "");
    // Unnumbered sheets and sheets outside a circuit write nothing.
    std::string other = dir.file("plain");
    makeDirs(other);
    EXPECT_EQ(writeReferenceLogs(cp + "/top.sht", parts), 1);
    EXPECT_EQ(writeReferenceLogs(other + "/top.3.sht", parts), 1);
    EXPECT_FALSE(exists(other + "/log"));
    // A log directory that cannot be made is a failure.
    ASSERT_TRUE(writeFile(dir.file("d.cir"), ""));
    EXPECT_EQ(writeReferenceLogs(dir.file("d.cir") + "/top.1.sht", parts), 0);
}

}  // namespace
