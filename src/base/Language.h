// The user's language: its family (for fonts and settings that differ by language), the
// character-set kind with which multi-byte text is split, and the byte-position tests that keep
// double-byte characters whole.
#pragma once

#include <cstddef>
#include <string_view>

// Language families.
inline constexpr int kLanguageOther = 0;
inline constexpr int kLanguageJapanese = 1;
inline constexpr int kLanguageKorean = 2;
inline constexpr int kLanguageChinese = 3;

// Character-set kinds.
inline constexpr int kCharsetSingleByte = 256;
inline constexpr int kCharsetShiftJis = 512;
inline constexpr int kCharsetEucJp = 513;

// The family from LANG (whole words, case ignored), else from the system's default language.
int languageFamily();

// The family of a system language identifier (1041 Japanese; 1042, 2066 Korean; 1028, 2052,
// 3076, 4100 Chinese; anything else other).
int languageFamilyOfId(int languageId);

// 512 when QLANG begins with "japan" (any case), else 256; computed at the first call and kept.
// The first call also sets the numeric locale to "C".
int charsetKind();

// Forgets the computed kind, so that the next call looks at QLANG again (for tests).
void resetCharsetKind();

// Whether byte b can begin a two-byte character in the given kind.
bool isLeadByte(unsigned char b, int kind);

// Tests of the byte at pos in s, scanning from the start of s so that every two-byte character
// is taken as a whole. A lead byte without a following byte counts as a single byte. Positions
// at or beyond the end give false.
bool isSingleByteAt(std::string_view s, std::size_t pos, int kind);
bool isLeadByteAt(std::string_view s, std::size_t pos, int kind);
bool isTrailByteAt(std::string_view s, std::size_t pos, int kind);

// The same tests in the process's kind (charsetKind()).
inline bool isSingleByteAt(std::string_view s, std::size_t pos) {
    return isSingleByteAt(s, pos, charsetKind());
}
inline bool isLeadByteAt(std::string_view s, std::size_t pos) {
    return isLeadByteAt(s, pos, charsetKind());
}
inline bool isTrailByteAt(std::string_view s, std::size_t pos) {
    return isTrailByteAt(s, pos, charsetKind());
}
