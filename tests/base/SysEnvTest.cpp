#include "base/SysEnv.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/TestSupport.h"

using testsupport::ScopedEnv;

namespace {

// A registry for the lookup to read: (key, value name) -> (type, data); every read is logged.
struct FakeRegistry {
    std::map<std::pair<std::string, std::string>, std::pair<int, std::string>> values;
    std::vector<std::string> reads;

    void install() {
        setSysEnvRegistryReader(
            [this](const std::string& key, const std::string& name, int* type, std::string* data) {
                reads.push_back(key + "|" + name);
                auto it = values.find({key, name});
                if (it == values.end()) return 0;
                *type = it->second.first;
                *data = it->second.second;
                return 1;
            });
    }
};

class SysEnvTest : public ::testing::Test {
protected:
    void SetUp() override { resetSysEnv(); }
    void TearDown() override {
        setSysEnvRegistryReader({});
        resetSysEnv();
    }
};

}  // namespace

TEST_F(SysEnvTest, TableGroupsRepeatTheRuntimeNamesAndOnlyDisplayReadsTheRegistryFirst) {
    const SysEnvEntry* table = sysEnvTable();
    int rows = 0;
    while (table[rows].name)
        ++rows;
    ASSERT_EQ(rows, 92);
    for (int i = 0; i < 39; ++i)
        EXPECT_STREQ(table[i].name, table[43 + i].name);
    for (int i = 0; i < rows; ++i) {
        EXPECT_EQ(table[i].registryFirst, std::strcmp(table[i].name, "DISPLAY") == 0 ? 1 : 0);
        EXPECT_STRNE(table[i].name, "LANG");  // read from the environment, never cached
    }
}

TEST_F(SysEnvTest, KnownVariablesAreExpandedAndCachedForTheRun) {
    ScopedEnv part("TRAZON_TEST_PART", "/opt/inst");
    ScopedEnv root("QRXROOT", "%TRAZON_TEST_PART%/qrx");
    const char* first = getSysEnv("QRXROOT");
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first, "/opt/inst/qrx");
    {
        ScopedEnv changed("QRXROOT", "/elsewhere");
        const char* second = getSysEnv("QRXROOT");
        EXPECT_EQ(second, first);  // the same cached string
        EXPECT_STREQ(second, "/opt/inst/qrx");
    }
    // A name outside the table is read again every time.
    {
        ScopedEnv other("TRAZON_TEST_OTHER", "one");
        EXPECT_STREQ(getSysEnv("TRAZON_TEST_OTHER"), "one");
    }
    {
        ScopedEnv other("TRAZON_TEST_OTHER", "two");
        EXPECT_STREQ(getSysEnv("TRAZON_TEST_OTHER"), "two");
    }
    ScopedEnv unset("TRAZON_TEST_UNSET", std::nullopt);
    EXPECT_EQ(getSysEnv("TRAZON_TEST_UNSET"), nullptr);
    EXPECT_EQ(getSysEnv(nullptr), nullptr);
}

TEST_F(SysEnvTest, EmptyValuesAreFoundAndCachedAsEmpty) {
    ScopedEnv home("HOME", "");
    ASSERT_NE(getSysEnv("HOME"), nullptr);
    ScopedEnv later("HOME", "/home/someone");
    EXPECT_STREQ(getSysEnv("HOME"), "");
}

TEST_F(SysEnvTest, SetValueWinsOverTheEnvironmentAndOnlyKnownNamesCanBeSet) {
    ScopedEnv sys("QSYSROOT", "/from/environment");
    EXPECT_EQ(setSysEnv("QSYSROOT", "/set/by/driver"), 0);
    EXPECT_STREQ(getSysEnv("QSYSROOT"), "/set/by/driver");
    EXPECT_EQ(setSysEnv("QSYSROOT", ""), 0);
    EXPECT_STREQ(getSysEnv("QSYSROOT"), "");
    EXPECT_EQ(setSysEnv("TRAZON_NOT_KNOWN", "x"), -1);
    EXPECT_EQ(getSysEnv("TRAZON_NOT_KNOWN"), nullptr);
    EXPECT_EQ(setSysEnv(nullptr, "x"), -1);
    // Only the first row of the name changes; the 6.0 row keeps nothing.
    const SysEnvEntry* table = sysEnvTable();
    EXPECT_TRUE(table[23].cached.has_value());
    EXPECT_FALSE(table[43 + 23].cached.has_value());
}

TEST_F(SysEnvTest, ExpansionLeavesUnsetNamesAsWritten) {
    ScopedEnv a("TRAZON_TEST_A", "alpha");
    ScopedEnv e("TRAZON_TEST_E", "");
    ScopedEnv u("TRAZON_TEST_U", std::nullopt);
    const std::pair<const char*, const char*> cases[] = {
        {"plain", "plain"},
        {"%TRAZON_TEST_A%", "alpha"},
        {"x%TRAZON_TEST_A%y%TRAZON_TEST_A%", "xalphayalpha"},
        {"%TRAZON_TEST_E%end", "end"},
        {"%TRAZON_TEST_U%", "%TRAZON_TEST_U%"},
        // the closing percent of an unset name may open the next reference
        {"%TRAZON_TEST_U%TRAZON_TEST_A%", "%TRAZON_TEST_Ualpha"},
        {"100%", "100%"},
        {"%%", "%%"},
        {"", ""},
    };
    for (const auto& [text, expected] : cases) {
        const char* out = expandEnvValue(text, nullptr);
        ASSERT_NE(out, nullptr) << text;
        EXPECT_STREQ(out, expected) << text;
    }
    std::optional<std::string> slot;
    EXPECT_STREQ(expandEnvValue("<%TRAZON_TEST_A%>", &slot), "<alpha>");
    EXPECT_EQ(slot, std::optional<std::string>("<alpha>"));
    EXPECT_EQ(expandEnvValue(nullptr, nullptr), nullptr);
}

TEST_F(SysEnvTest, RegistryLookupOrder) {
    FakeRegistry registry;
    const std::string k70 = "Software\\Korvane\\Norvel Runtime\\7.0";
    const std::string k60 = "Software\\Korvane\\Norvel Runtime\\6.0";
    registry.values[{k60, "DISPLAY"}] = {kRegistryString, "reg60:0"};
    registry.values[{k70, "QLANG"}] = {4, "numeric"};  // a numeric type counts as not found
    registry.values[{k60, "QLANG"}] = {kRegistryExpandString, "%TRAZON_TEST_LANG%ese"};
    registry.values[{"Software\\Korvane\\", "QBD_NO_REPAIR_TARC"}] = {kRegistryString, "1"};
    registry.values[{"Software\\Korvane\\Tools\\Sub", "Switch"}] = {kRegistryString, "on"};
    registry.values[{"Software\\Korvane\\", "TRAZON_NUMERIC"}] = {3, "x"};
    registry.install();

    // DISPLAY reads the registry before the environment.
    ScopedEnv display("DISPLAY", ":99");
    EXPECT_STREQ(getSysEnv("DISPLAY"), "reg60:0");
    ASSERT_GE(registry.reads.size(), 2u);
    EXPECT_EQ(registry.reads[0], k70 + "|DISPLAY");
    EXPECT_EQ(registry.reads[1], k60 + "|DISPLAY");

    // The environment comes first for the other rows; the registry only when it is unset.
    ScopedEnv lang("TRAZON_TEST_LANG", "japan");
    {
        ScopedEnv qlang("QLANG", std::nullopt);
        EXPECT_STREQ(getSysEnv("QLANG"), "japanese");
    }
    resetSysEnv();
    {
        ScopedEnv qlang("QLANG", "english");
        EXPECT_STREQ(getSysEnv("QLANG"), "english");
    }

    // Names outside the table: the root key itself, or the key path before the last backslash.
    ScopedEnv tarc("QBD_NO_REPAIR_TARC", std::nullopt);
    registry.reads.clear();
    EXPECT_STREQ(getSysEnv("QBD_NO_REPAIR_TARC"), "1");
    EXPECT_EQ(registry.reads.back(), "Software\\Korvane\\|QBD_NO_REPAIR_TARC");
    EXPECT_STREQ(getSysEnv("Tools\\Sub\\Switch"), "on");
    EXPECT_EQ(registry.reads.back(), "Software\\Korvane\\Tools\\Sub|Switch");
    EXPECT_EQ(getSysEnv("TRAZON_NUMERIC"), nullptr);
    // Not cached: a changed registry is seen at the next lookup.
    registry.values[{"Software\\Korvane\\Tools\\Sub", "Switch"}] = {kRegistryString, "off"};
    EXPECT_STREQ(getSysEnv("Tools\\Sub\\Switch"), "off");

    // Without a registry reader nothing is found there.
    setSysEnvRegistryReader({});
    resetSysEnv();
    // DISPLAY falls back on the environment when no registry holds it.
    EXPECT_STREQ(getSysEnv("DISPLAY"), ":99");
    EXPECT_EQ(getSysEnv("QBD_NO_REPAIR_TARC"), nullptr);
}
