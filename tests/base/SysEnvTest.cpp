#include "base/SysEnv.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/TestSupport.h"

using testsupport::ScopedEnv;

namespace {

class SysEnvTest : public ::testing::Test {
protected:
    void SetUp() override { resetSysEnv(); }
    void TearDown() override {
        setSysEnvRegistryReader({});
        resetSysEnv();
    }
};

}  // namespace

TEST_F(SysEnvTest, KnownVariablesAreCachedForTheRunAndSetValuesWin) {
    ScopedEnv part("TRAZON_TEST_PART", "/opt/inst");
    ScopedEnv root("QRXROOT", "%TRAZON_TEST_PART%/qrx");
    const char* first = getSysEnv("QRXROOT");
    ASSERT_NE(first, nullptr);
    {
        ScopedEnv changed("QRXROOT", "/elsewhere");
        EXPECT_EQ(getSysEnv("QRXROOT"), first);  // the same cached string
        EXPECT_STREQ(first, "/opt/inst/qrx");
    }
    ScopedEnv home("HOME", "");  // an empty value is found, and cached as empty
    ASSERT_NE(getSysEnv("HOME"), nullptr);
    ScopedEnv later("HOME", "/home/someone");
    EXPECT_STREQ(getSysEnv("HOME"), "");
    for (const char* value : {"one", "two"}) {  // a name outside the table is read each time
        ScopedEnv other("TRAZON_TEST_OTHER", value);
        EXPECT_STREQ(getSysEnv("TRAZON_TEST_OTHER"), value);
    }

    ScopedEnv sys("QSYSROOT", "/from/environment");
    EXPECT_EQ(setSysEnv("QSYSROOT", "/set/by/driver"), 0);
    EXPECT_STREQ(getSysEnv("QSYSROOT"), "/set/by/driver");
    EXPECT_EQ(setSysEnv("TRAZON_NOT_KNOWN", "x"), -1);
    EXPECT_EQ(getSysEnv("TRAZON_NOT_KNOWN"), nullptr);
}

TEST_F(SysEnvTest, ExpansionLeavesUnsetNamesAsWritten) {
    ScopedEnv a("TRAZON_TEST_A", "alpha");
    ScopedEnv e("TRAZON_TEST_E", "");
    ScopedEnv u("TRAZON_TEST_U", std::nullopt);
    const std::pair<const char*, const char*> cases[] = {
        {"x%TRAZON_TEST_A%y%TRAZON_TEST_A%", "xalphayalpha"},
        {"%TRAZON_TEST_E%end", "end"},
        {"%TRAZON_TEST_U%", "%TRAZON_TEST_U%"},
#if !defined(_WIN32)
        // the closing percent of an unset name may open the next reference (on Windows the
        // system's expansion decides)
        {"%TRAZON_TEST_U%TRAZON_TEST_A%", "%TRAZON_TEST_Ualpha"},
#endif
        {"100%", "100%"},
        {"%%", "%%"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_STREQ(expandEnvValue(text, nullptr), expected) << text;
    std::optional<std::string> slot;
    EXPECT_STREQ(expandEnvValue("<%TRAZON_TEST_A%>", &slot), "<alpha>");
    EXPECT_EQ(slot, std::optional<std::string>("<alpha>"));
}

TEST_F(SysEnvTest, RegistryLookupOrder) {
    const std::string k70 = "Software\\Korvane\\Norvel Runtime\\7.0";
    const std::string k60 = "Software\\Korvane\\Norvel Runtime\\6.0";
    std::map<std::pair<std::string, std::string>, std::pair<int, std::string>> values = {
        {{k60, "DISPLAY"}, {kRegistryString, "reg60:0"}},
        {{k70, "QLANG"}, {4, "numeric"}},  // a numeric type counts as not found
        {{k60, "QLANG"}, {kRegistryExpandString, "%TRAZON_TEST_LANG%ese"}},
        {{"Software\\Korvane\\", "QBD_NO_REPAIR_TARC"}, {kRegistryString, "1"}},
        {{"Software\\Korvane\\Tools\\Sub", "Switch"}, {kRegistryString, std::string("on\0x", 4)}},
    };
    std::vector<std::string> reads;
    setSysEnvRegistryReader(
        [&](const std::string& key, const std::string& name, int* type, std::string* data) {
            reads.push_back(key + "|" + name);
            auto it = values.find({key, name});
            if (it == values.end()) return 0;
            *type = it->second.first;
            *data = it->second.second;
            return 1;
        });

    ScopedEnv display("DISPLAY", ":99");  // DISPLAY reads the registry first, 7.0 before 6.0
    EXPECT_STREQ(getSysEnv("DISPLAY"), "reg60:0");
    EXPECT_EQ(reads, (std::vector<std::string>{k70 + "|DISPLAY", k60 + "|DISPLAY"}));
    ScopedEnv lang("TRAZON_TEST_LANG", "japan");
    {
        ScopedEnv qlang("QLANG", std::nullopt);  // the registry only when the environment fails
        EXPECT_STREQ(getSysEnv("QLANG"), "japanese");
    }
    // Names outside the table: the root key itself, or the key path before the last backslash.
    ScopedEnv tarc("QBD_NO_REPAIR_TARC", std::nullopt);
    EXPECT_STREQ(getSysEnv("QBD_NO_REPAIR_TARC"), "1");
    EXPECT_STREQ(getSysEnv("Tools\\Sub\\Switch"), "on");
    EXPECT_EQ(reads.back(), "Software\\Korvane\\Tools\\Sub|Switch");

    setSysEnvRegistryReader({});  // the platform reader finds nothing
    resetSysEnv();
    EXPECT_STREQ(getSysEnv("DISPLAY"), ":99");
    EXPECT_EQ(getSysEnv("QBD_NO_REPAIR_TARC"), nullptr);
}
