// Lookup of installation settings and environment variables: the process environment, then the
// installation's registry, with %NAME% expansion and a per-run cache of the known variables.
#pragma once

#include <functional>
#include <optional>
#include <string>

// One row of the known-variable table. `cached` is empty until the variable has been found or
// set in this run; a found empty value is a cached empty string, not "not cached".
struct SysEnvEntry {
    const char* name;
    const char* subkey;
    std::optional<std::string> cached;
    int registryFirst;
};

// The value of the variable, or null when it is set nowhere. The text is owned by the lookup:
// copy it at once. A cached value lives until the end of the run (or resetSysEnv); a value of a
// variable outside the table lives until the next lookup of such a variable.
const char* getSysEnv(const char* name);

// Gives the first table row named `name` the value for the rest of the run, without touching
// the process environment. 0 on success, -1 when no row has that name, -2 when the copy cannot
// be made.
int setSysEnv(const char* name, const char* value);

// Replaces every %NAME% in text by the environment's value of NAME (an unset NAME stays as
// written), stores the result in *slot, or in the shared expansion buffer when slot is null, and
// returns it; null when the text is null or the result cannot be stored.
const char* expandEnvValue(const char* text, std::optional<std::string>* slot);

// Forgets every cached value and the shared expansion buffer (for tests and a fresh start).
void resetSysEnv();

// The table itself (ended by a row whose name is null), for inspection.
const SysEnvEntry* sysEnvTable();

// The root of the installation's registry keys (below HKEY_LOCAL_MACHINE), ending in a backslash.
inline constexpr const char* kSysEnvRegistryRoot = "Software\\Korvane\\";

// Registry value types that count as text.
inline constexpr int kRegistryString = 1;        // REG_SZ
inline constexpr int kRegistryExpandString = 2;  // REG_EXPAND_SZ

// Reads one registry value below HKEY_LOCAL_MACHINE: key is the full key path (root prefix
// included). Returns 1 and fills type and data when the key opens and the value exists (of any
// type), else 0. The platform reader finds nothing on systems without a registry.
using SysEnvRegistryReader = std::function<int(const std::string& key, const std::string& valueName,
                                               int* type, std::string* data)>;

// Replaces the registry reader (an empty function restores the platform one). Lets tests give
// the lookup a registry to read.
void setSysEnvRegistryReader(SysEnvRegistryReader reader);
