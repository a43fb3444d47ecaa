#include "base/SysEnv.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#endif

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

#if defined(_WIN32)
namespace {

// A key of the test's own below the installation's registry root, removed again with all that
// it holds. Writing below HKEY_LOCAL_MACHINE needs administrator rights, which wine grants.
class TestKey {
public:
    static constexpr const char* kPath = "Software\\Korvane\\TrazonTest";
    TestKey() {
        ok_ = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &key_, nullptr) == ERROR_SUCCESS;
    }
    ~TestKey() {
        if (!ok_) return;
        ::RegCloseKey(key_);
        // A key closed to reading is opened up again so that it can go.
        HKEY locked = nullptr;
        const std::string lockedPath = std::string(kPath) + "\\Locked";
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, lockedPath.c_str(), 0, WRITE_DAC, &locked) ==
            ERROR_SUCCESS) {
            SECURITY_DESCRIPTOR open{};
            ::InitializeSecurityDescriptor(&open, SECURITY_DESCRIPTOR_REVISION);
            ::SetSecurityDescriptorDacl(&open, TRUE, nullptr, FALSE);
            ::RegSetKeySecurity(locked, DACL_SECURITY_INFORMATION, &open);
            ::RegCloseKey(locked);
        }
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kPath);
    }
    bool ok() const { return ok_; }

    // Sets the value name of the subkey (empty: the key itself) to the bytes of data.
    void set(const std::string& subkey, const char* name, DWORD type, const std::string& data) {
        HKEY target = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(key_, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    &target, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(
            ::RegSetValueExA(target, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
            ERROR_SUCCESS);
        ::RegCloseKey(target);
    }

    // Denies every access to the subkey (an empty access list).
    void lock(const std::string& subkey) {
        HKEY target = nullptr;
        ASSERT_EQ(::RegOpenKeyExA(key_, subkey.c_str(), 0, WRITE_DAC, &target), ERROR_SUCCESS);
        SECURITY_DESCRIPTOR closed{};
        ACL empty{};
        ::InitializeSecurityDescriptor(&closed, SECURITY_DESCRIPTOR_REVISION);
        ::InitializeAcl(&empty, sizeof empty, ACL_REVISION);
        ::SetSecurityDescriptorDacl(&closed, TRUE, &empty, FALSE);
        EXPECT_EQ(::RegSetKeySecurity(target, DACL_SECURITY_INFORMATION, &closed), ERROR_SUCCESS);
        ::RegCloseKey(target);
    }

private:
    HKEY key_ = nullptr;
    bool ok_ = false;
};

}  // namespace

// The system's registry read through the lookup by name (the part before the last backslash
// names the key below the root): only text values count, a key that cannot be opened for
// reading counts as missing.
TEST_F(SysEnvTest, SystemRegistryValuesByTypeAndAccess) {
    TestKey key;
    if (!key.ok()) GTEST_SKIP() << "no write access below HKEY_LOCAL_MACHINE";
    ScopedEnv part("TRAZON_TEST_PART", "C:/inst");
    key.set("", "Text", REG_SZ, std::string("plain value", 12));
    key.set("", "Expand", REG_EXPAND_SZ, std::string("%TRAZON_TEST_PART%/qrx", 23));
    key.set("", "Empty", REG_SZ, std::string(1, '\0'));
    key.set("", "Unterminated", REG_SZ, "abc");
    key.set("", "Number", REG_DWORD, std::string("\x01\x00\x00\x00", 4));
    key.set("", "Binary", REG_BINARY, "text");
    key.set("", "Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
    key.set("Nested", "Deep", REG_SZ, std::string("deep", 5));
    key.set("Locked", "Text", REG_SZ, std::string("hidden", 7));
    key.lock("Locked");

    const std::pair<const char*, const char*> cases[] = {
        {"TrazonTest\\Text", "plain value"},
        {"TrazonTest\\Expand", "C:/inst/qrx"},
        {"TrazonTest\\Empty", ""},
        {"TrazonTest\\Unterminated", "abc"},
        {"TrazonTest\\Number", nullptr},
        {"TrazonTest\\Binary", nullptr},
        {"TrazonTest\\Multi", nullptr},
        {"TrazonTest\\Missing", nullptr},
        {"TrazonTest\\Nested\\Deep", "deep"},
        {"TrazonAbsent\\Text", nullptr},
        {"TrazonTest\\Locked\\Text", nullptr},
    };
    for (const auto& [name, expected] : cases) {
        const char* value = getSysEnv(name);
        if (expected)
            EXPECT_STREQ(value, expected) << name;
        else
            EXPECT_EQ(value, nullptr) << name;
    }
}
#endif
