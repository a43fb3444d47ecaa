// Who saves and when: the user name and the time written into save stamps and log banners.
#pragma once

#include <ctime>
#include <string>

// The name of the effective user (the password database; on Windows the logged-on user), else
// the value of LOGNAME or USER; empty when none is known. At most 255 bytes.
std::string currentUserName();

// The save time: SOURCE_DATE_EPOCH when it is set to a whole number of seconds, else now.
std::time_t saveTime();

// The broken-down save time: the instant of SOURCE_DATE_EPOCH in UTC (so that reproducible
// output does not depend on the time zone), else the local time now. 1 on success.
int saveTimeParts(std::tm* out);

// Thread-safe local time of an instant. 1 on success.
int localTimeOf(std::time_t t, std::tm* out);

// The 24-character form "Wed Jun 30 21:49:08 1993" (weekday, month, day blank-padded to two
// places, time, four-digit year), without a line feed.
std::string timeText24(const std::tm& t);
