// The environment lookup on Windows: the process environment, ExpandEnvironmentStringsA and the
// registry below HKEY_LOCAL_MACHINE, opened read-only.
#include "base/SysEnvPlatform.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace sysenv {

bool environmentValue(const char* name, std::string& out) {
    // The value may change between the size query and the read: ask again until it fits.
    DWORD size = 0;
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::vector<char> buffer(size + 1);
        ::SetLastError(ERROR_SUCCESS);
        const DWORD length = ::GetEnvironmentVariableA(name, buffer.data(), size + 1);
        if (length == 0) {
            // An empty value reads as length 0 as well, without an error.
            if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
            out.clear();
            return true;
        }
        if (length <= size) {
            out.assign(buffer.data(), length);
            return true;
        }
        size = length;  // the size asked for, its NUL included
    }
    return false;
}

bool expandEnvironment(const char* text, std::string& out) {
    char scratch[2];
    const DWORD size = ::ExpandEnvironmentStringsA(text, scratch, sizeof scratch);
    if (size == 0) return false;
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1);
    if (::ExpandEnvironmentStringsA(text, buffer.data(), size) == 0) return false;
    buffer.back() = '\0';
    out.assign(buffer.data());
    return true;
}

int readRegistryValue(const std::string& key, const std::string& valueName, int* type,
                      std::string* data) {
    HKEY handle = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return 0;
    DWORD kind = 0;
    DWORD size = 0;
    LONG status = ::RegQueryValueExA(handle, valueName.c_str(), nullptr, &kind, nullptr, &size);
    std::string bytes;
    if (status == ERROR_SUCCESS) {
        bytes.resize(size);
        status = ::RegQueryValueExA(handle, valueName.c_str(), nullptr, &kind,
                                    reinterpret_cast<BYTE*>(bytes.data()), &size);
    }
    ::RegCloseKey(handle);
    // A value that grew after the size was asked for counts as a failed read.
    if (status != ERROR_SUCCESS || size > bytes.size()) return 0;
    bytes.resize(size);
    *type = static_cast<int>(kind);
    *data = std::move(bytes);
    return 1;
}

}  // namespace sysenv
