// What every save stamps into a database: the "$Version" header line with the save time, the
// author and update properties of the sheet, and the save counter of a symbol.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "db/LexObject.h"

class LexSheet;

// The header line without its line feed: "$Version 1.100 MM/DD hh:mm:ss YYYY".
std::string lexVersionLine(const std::tm& t);

// A date pattern filled in: "YYYY" the four-digit year, "YY" the year modulo 100, "MM" the month
// and "DD" the day, matched at each position in that order; other characters are copied. An
// empty pattern stands for "YYYY/MM/DD".
std::string formatSaveDate(std::string_view pattern, const std::tm& t);
// A time pattern filled in: "HH" the hour, "MM" the minute and "SS" the second; an empty pattern
// stands for "HH:MM:SS".
std::string formatSaveTime(std::string_view pattern, const std::tm& t);

// The date and time patterns of the environment; without one, QRX_DATE_FORMAT or "YY/MM/DD" and
// QRX_TIME_FORMAT or "HH:MM:SS".
std::string lexDatePattern(const LexEnvironment* env);
std::string lexTimePattern(const LexEnvironment* env);

// Brings the save information of the sheet's scope-0 properties up to date: "author", "date"
// and "time" are created only when absent; "updateUser", "updateDate" and "updateTime" take the
// new values. An empty user name gives the user properties no value. 1, or 0 when memory is
// exhausted.
int updateSaveInformation(LexSheet& sheet, std::string_view userName, std::string_view date,
                          std::string_view time);

// The save counter of a symbol: "saveCount" (scope 0) becomes its old value read as a decimal
// integer plus one, or "1" when created. 1, or 0 when memory is exhausted.
int updateSaveCount(LexSheet& sheet);
