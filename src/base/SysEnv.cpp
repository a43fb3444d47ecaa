#include "base/SysEnv.h"

#include <cstring>
#include <new>
#include <utility>

#include "base/SysEnvPlatform.h"

namespace {

constexpr const char* kSubkey70 = "Norvel Runtime\\7.0";
constexpr const char* kSubkey60 = "Norvel Runtime\\6.0";
constexpr const char* kSubkeySibling = "Norvel Sibling";
constexpr const char* kSubkeyDebug = "Norvel Runtime\\Debug";

// The 39 names of a runtime group, by position. Positions that this program never looks up
// carry reserved names that no caller uses.
#define NVL_RUNTIME_ROWS(subkey)                                                                   \
    {"NVLRESERVED01", subkey, {}, 0}, {"NVLSYSPATH", subkey, {}, 0},                               \
        {"NVLRESERVED03", subkey, {}, 0}, {"NVLRESERVED04", subkey, {}, 0},                        \
        {"DISPLAY", subkey, {}, 1}, {"HOME", subkey, {}, 0}, {"NVLRESERVED07", subkey, {}, 0},     \
        {"TMPDIR", subkey, {}, 0}, {"NVLRESERVED09", subkey, {}, 0},                               \
        {"NVLRESERVED10", subkey, {}, 0}, {"NVLRESERVED11", subkey, {}, 0},                        \
        {"QRXROOT", subkey, {}, 0}, {"NVLRESERVED13", subkey, {}, 0},                              \
        {"QFONT_PATH", subkey, {}, 0}, {"NVLRESERVED15", subkey, {}, 0},                           \
        {"NVLRESERVED16", subkey, {}, 0}, {"QLANG", subkey, {}, 0}, {"QLOCALROOT", subkey, {}, 0}, \
        {"QMSGCAT", subkey, {}, 0}, {"NVLRESERVED20", subkey, {}, 0},                              \
        {"NVLRESERVED21", subkey, {}, 0}, {"NVLRESERVED22", subkey, {}, 0},                        \
        {"NVLRESERVED23", subkey, {}, 0}, {"QSYSROOT", subkey, {}, 0},                             \
        {"NVLRESERVED25", subkey, {}, 0}, {"NVLRESERVED26", subkey, {}, 0},                        \
        {"NVLRESERVED27", subkey, {}, 0}, {"NVLRESERVED28", subkey, {}, 0},                        \
        {"NVLRESERVED29", subkey, {}, 0}, {"LOGNAME", subkey, {}, 0},                              \
        {"NVLRESERVED31", subkey, {}, 0}, {"NVLRESERVED32", subkey, {}, 0},                        \
        {"NVLRESERVED33", subkey, {}, 0}, {"NVLRESERVED34", subkey, {}, 0},                        \
        {"NVLRESERVED35", subkey, {}, 0}, {"NVLRESERVED36", subkey, {}, 0},                        \
        {"NVL_PROJECT_ROOT", subkey, {}, 0}, {"NVLROOT", subkey, {}, 0}, {                         \
        "NVLRESERVED39", subkey, {}, 0                                                             \
    }

// The known variables: the current runtime's settings, a sibling product's roots (never looked
// up here), the previous runtime's settings, and the installation's debugging switches. The
// table ends with a row whose name is null.
SysEnvEntry gTable[] = {
    NVL_RUNTIME_ROWS(kSubkey70),
    {"NVLSIBLINGROOT1", kSubkeySibling, {}, 0},
    {"NVLSIBLINGROOT2", kSubkeySibling, {}, 0},
    {"NVLSIBLINGROOT3", kSubkeySibling, {}, 0},
    {"NVLSIBLINGROOT4", kSubkeySibling, {}, 0},
    NVL_RUNTIME_ROWS(kSubkey60),
    {"NVLDEBUG01", kSubkeyDebug, {}, 0},
    {"NVLDEBUG02", kSubkeyDebug, {}, 0},
    {"NVLDEBUG03", kSubkeyDebug, {}, 0},
    {"NVLDEBUG04", kSubkeyDebug, {}, 0},
    {"NVLDEBUG05", kSubkeyDebug, {}, 0},
    {"NVLDEBUG06", kSubkeyDebug, {}, 0},
    {"NVLDEBUG07", kSubkeyDebug, {}, 0},
    {"NVLDEBUG08", kSubkeyDebug, {}, 0},
    {"NVLDEBUG09", kSubkeyDebug, {}, 0},
    {"NVLDEBUG10", kSubkeyDebug, {}, 0},
    {nullptr, nullptr, {}, 0},
};

#undef NVL_RUNTIME_ROWS

static_assert(sizeof(gTable) / sizeof(gTable[0]) == 93, "92 rows and the end row");

// The expansion of the last value found for a name outside the table.
std::optional<std::string> gSharedExpansion;

// A value read from the registry by a lookup by name; not cached, held until the next such read.
std::optional<std::string> gRegistryValue;

SysEnvRegistryReader& registryReader() {
    static SysEnvRegistryReader reader;
    return reader;
}

int readRegistry(const std::string& key, const std::string& valueName, int* type,
                 std::string* data) {
    const SysEnvRegistryReader& reader = registryReader();
    if (reader) return reader(key, valueName, type, data);
    return sysenv::readRegistryValue(key, valueName, type, data);
}

// The text of a registry value of a text type, expanded when it is REG_EXPAND_SZ, stored in
// slot. Null when the value is missing, of another type, or cannot be stored.
const char* registryValueInto(const std::string& key, const std::string& valueName,
                              std::optional<std::string>* slot) {
    int type = 0;
    std::string data;
    if (!readRegistry(key, valueName, &type, &data)) return nullptr;
    if (type != kRegistryString && type != kRegistryExpandString) return nullptr;
    // A value read from the registry ends at its first NUL, as a C string would.
    std::size_t nul = data.find('\0');
    if (nul != std::string::npos) data.resize(nul);
    if (type == kRegistryExpandString) return expandEnvValue(data.c_str(), slot);
    try {
        *slot = std::move(data);
    } catch (const std::bad_alloc&) {
        slot->reset();
        return nullptr;
    }
    return (*slot)->c_str();
}

}  // namespace

const SysEnvEntry* sysEnvTable() {
    return gTable;
}

void setSysEnvRegistryReader(SysEnvRegistryReader reader) {
    registryReader() = std::move(reader);
}

const char* expandEnvValue(const char* text, std::optional<std::string>* slot) {
    if (!slot) {
        gSharedExpansion.reset();
        slot = &gSharedExpansion;
    }
    if (!text) return nullptr;
    try {
        std::string out;
        if (!sysenv::expandEnvironment(text, out)) {
            slot->reset();
            return nullptr;
        }
        *slot = std::move(out);
    } catch (const std::bad_alloc&) {
        slot->reset();
        return nullptr;
    }
    return (*slot)->c_str();
}

namespace {

const char* lookUp(const char* name) {
    std::string env;
    for (SysEnvEntry* row = gTable; row->name; ++row) {
        if (std::strcmp(row->name, name) != 0) continue;
        if (row->cached) return row->cached->c_str();
        if (row->registryFirst == 0) {
            if (sysenv::environmentValue(name, env)) {
                if (const char* value = expandEnvValue(env.c_str(), &row->cached)) return value;
            }
        }
        std::string key = std::string(kSysEnvRegistryRoot) + row->subkey;
        if (const char* value = registryValueInto(key, name, &row->cached)) return value;
    }
    if (sysenv::environmentValue(name, env)) return expandEnvValue(env.c_str(), nullptr);

    std::string key = kSysEnvRegistryRoot;
    std::string valueName = name;
    if (const char* slash = std::strrchr(name, '\\')) {
        key.append(name, slash);
        valueName = slash + 1;
    }
    return registryValueInto(key, valueName, &gRegistryValue);
}

}  // namespace

const char* getSysEnv(const char* name) {
    if (!name) return nullptr;
    try {
        return lookUp(name);
    } catch (const std::bad_alloc&) {
        return nullptr;  // a key path that cannot be built finds nothing
    }
}

int setSysEnv(const char* name, const char* value) {
    if (!name) return -1;
    for (SysEnvEntry* row = gTable; row->name; ++row) {
        if (std::strcmp(row->name, name) != 0) continue;
        row->cached.reset();
        try {
            row->cached = std::string(value ? value : "");
        } catch (const std::bad_alloc&) {
            row->cached.reset();
            return -2;
        }
        return 0;
    }
    return -1;
}

void resetSysEnv() {
    for (SysEnvEntry* row = gTable; row->name; ++row)
        row->cached.reset();
    gSharedExpansion.reset();
    gRegistryValue.reset();
}
