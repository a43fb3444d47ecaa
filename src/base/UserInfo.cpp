#include "base/UserInfo.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <vector>

#include "base/SysEnv.h"

namespace {

constexpr std::size_t kMaxUserName = 255;

std::string limited(const char* name) {
    std::string out(name);
    if (out.size() > kMaxUserName) out.resize(kMaxUserName);
    return out;
}

// The value of SOURCE_DATE_EPOCH when it is a whole number (optionally signed) that fits.
bool sourceDateEpoch(std::time_t* out) {
    const char* text = getSysEnv("SOURCE_DATE_EPOCH");
    if (!text || !*text) return false;
    const char* p = text;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    if (!*p) return false;
    long long value = 0;
    for (; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
        int digit = *p - '0';
        if (value > (0x7FFFFFFFFFFFFFFFLL - digit) / 10) return false;
        value = value * 10 + digit;
    }
    *out = static_cast<std::time_t>(negative ? -value : value);
    return true;
}

}  // namespace

std::string currentUserName() {
#if defined(_WIN32)
    char name[kMaxUserName + 2];
    DWORD size = sizeof name;
    if (::GetUserNameA(name, &size) && name[0] != '\0') return limited(name);
#else
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 && size < (1 << 20) ? static_cast<std::size_t>(size) : 16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_name && *found->pw_name) {
        return limited(found->pw_name);
    }
#endif
    for (const char* variable : {"LOGNAME", "USER"}) {
        const char* value = getSysEnv(variable);
        if (value && *value) return limited(value);
    }
    return {};
}

std::time_t saveTime() {
    std::time_t t = 0;
    if (sourceDateEpoch(&t)) return t;
    return std::time(nullptr);
}

int saveTimeParts(std::tm* out) {
    std::time_t t = 0;
#if defined(_WIN32)
    if (sourceDateEpoch(&t)) return ::gmtime_s(out, &t) == 0 ? 1 : 0;
#else
    if (sourceDateEpoch(&t)) return ::gmtime_r(&t, out) ? 1 : 0;
#endif
    return localTimeOf(std::time(nullptr), out);
}

int localTimeOf(std::time_t t, std::tm* out) {
#if defined(_WIN32)
    return ::localtime_s(out, &t) == 0 ? 1 : 0;
#else
    return ::localtime_r(&t, out) ? 1 : 0;
#endif
}

std::string timeText24(const std::tm& t) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const char* day = t.tm_wday >= 0 && t.tm_wday < 7 ? kDays[t.tm_wday] : "???";
    const char* month = t.tm_mon >= 0 && t.tm_mon < 12 ? kMonths[t.tm_mon] : "???";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s %s %2d %02d:%02d:%02d %d", day, month, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec, t.tm_year + 1900);
    return buffer;
}
