// The environment lookup on POSIX systems: getenv, the %NAME% expansion done here by the Windows
// rule, and no registry.
#include "base/SysEnvPlatform.h"

#include <cstdlib>
#include <cstring>

namespace sysenv {

bool environmentValue(const char* name, std::string& out) {
    const char* value = std::getenv(name);
    if (!value) return false;
    out = value;
    return true;
}

bool expandEnvironment(const char* text, std::string& out) {
    out.clear();
    const char* p = text;
    while (*p) {
        if (*p != '%') {
            const char* q = std::strchr(p, '%');
            std::size_t n = q ? static_cast<std::size_t>(q - p) : std::strlen(p);
            out.append(p, n);
            p += n;
            continue;
        }
        const char* close = std::strchr(p + 1, '%');
        if (!close) {
            out.append(p);
            break;
        }
        std::string name(p + 1, close);
        const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
        if (value) {
            out.append(value);
            p = close + 1;
        } else {
            // An unset name stays as written; its closing "%" may open the next reference.
            out.append(p, close);
            p = close;
        }
    }
    return true;
}

int readRegistryValue(const std::string&, const std::string&, int*, std::string*) {
    return 0;
}

}  // namespace sysenv
