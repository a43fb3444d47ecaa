// Byte-string helpers shared by every subsystem: case-insensitive comparison, the orderings of
// names and versions, numbers as text ("C" conventions) and searches that respect double-byte
// characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Compares byte by byte after toupper; the difference of the first differing pair, 0 when equal.
// A null text compares as empty.
int compareNoCase(const char* a, const char* b);
int compareNoCase(std::string_view a, std::string_view b);

// Orders names that end in numbers (A9 before A10, A1 before A01). Null or empty names come
// first. Negative, 0 or positive.
int compareNames(const char* a, const char* b);

// Orders version texts (1.9 and 1.10, 2.0.1 and 2.0). Negative, 0 or positive.
int compareVersions(const char* a, const char* b);

// Appends v as "%.10g" does in the "C" locale (ten significant digits, no trailing zeros),
// whatever the process's locale.
void appendDouble(std::string& out, double v);
std::string formatDouble(double v);

// Appends the decimal form of v.
void appendInt(std::string& out, long long v);
std::string formatInt(long long v);

// Reads an integer (strtol with the given base) from the start of text. When no character is
// consumed *out becomes 0, error 515 is recorded and the result is 0; otherwise 1. When end is
// given it receives the first byte not read.
int readLong(const char* text, int base, long* out, const char** end = nullptr);

// Reads a double as strtod does in the "C" locale (the decimal separator is always "."), with
// the same failure rule as readLong.
int readDouble(const char* text, double* out, const char** end = nullptr);

// Position of the byte c at or after start, -1 when absent or when start lies outside s. A byte
// that is the second half of a double-byte character (in the process's character set) never
// matches.
long findByte(std::string_view s, char c, long start = 0);

// Position of the byte c searching backwards from fromEnd places before the end (0 is the last
// byte); -1 when absent or fromEnd lies outside s. Never stops inside a double-byte character.
long findByteBackward(std::string_view s, char c, long fromEnd = 0);

// The length of the well-formed UTF-8 sequence at the start of text (2 to 4 bytes: no overlong
// forms, no surrogates, nothing beyond U+10FFFF); 0 when there is none, also for ASCII.
std::size_t utf8SequenceLength(std::string_view text);
