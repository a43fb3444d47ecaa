#include "base/Language.h"

#include <clocale>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "base/StringUtil.h"
#include "base/SysEnv.h"

namespace {

int gCharsetKind = 0;  // 0 until computed

// The system's default language identifier. Systems without one report US English, whose
// family is "other".
int systemDefaultLanguageId() {
#if defined(_WIN32)
    return ::GetSystemDefaultLangID();
#else
    return 1033;
#endif
}

}  // namespace

int languageFamilyOfId(int languageId) {
    switch (languageId) {
        case 1041:
            return kLanguageJapanese;
        case 1042:
        case 2066:
            return kLanguageKorean;
        case 1028:
        case 2052:
        case 3076:
        case 4100:
            return kLanguageChinese;
        default:
            return kLanguageOther;
    }
}

int languageFamily() {
    const char* lang = getSysEnv("LANG");
    if (!lang) return languageFamilyOfId(systemDefaultLanguageId());
    static const struct {
        const char* word;
        int family;
    } kWords[] = {
        {"japanese", kLanguageJapanese}, {"Ja_JP", kLanguageJapanese}, {"ja", kLanguageJapanese},
        {"Japan", kLanguageJapanese},    {"korean", kLanguageKorean},  {"ko_KR", kLanguageKorean},
        {"chinese", kLanguageChinese},   {"zh_CN", kLanguageChinese},
    };
    for (const auto& entry : kWords) {
        if (compareNoCase(lang, entry.word) == 0) return entry.family;
    }
    return kLanguageOther;
}

int charsetKind() {
    if (gCharsetKind != 0) return gCharsetKind;
    const char* qlang = getSysEnv("QLANG");
    int kind = kCharsetSingleByte;
    if (qlang && compareNoCase(std::string_view(qlang).substr(0, 5), "japan") == 0) {
        kind = kCharsetShiftJis;
    }
    // Numbers are always read and written with a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    gCharsetKind = kind;
    return kind;
}

void resetCharsetKind() {
    gCharsetKind = 0;
}

bool isLeadByte(unsigned char b, int kind) {
    switch (kind) {
        case kCharsetShiftJis:
            return b >= 128 && !(b >= 161 && b <= 223);
        case kCharsetEucJp:
            // Every byte from 128 on leads a two-byte character (142 with a half-width kana).
            return b >= 128;
        default:
            return false;
    }
}

namespace {

// 0: single byte, 1: lead byte, 2: trail byte; -1 outside the string.
int classify(std::string_view s, std::size_t pos, int kind) {
    if (pos >= s.size()) return -1;
    std::size_t i = 0;
    for (;;) {
        bool pair = isLeadByte(static_cast<unsigned char>(s[i]), kind) && i + 1 < s.size();
        if (i == pos) return pair ? 1 : 0;
        if (pair && i + 1 == pos) return 2;
        i += pair ? 2 : 1;
    }
}

}  // namespace

bool isSingleByteAt(std::string_view s, std::size_t pos, int kind) {
    return classify(s, pos, kind) == 0;
}

bool isLeadByteAt(std::string_view s, std::size_t pos, int kind) {
    return classify(s, pos, kind) == 1;
}

bool isTrailByteAt(std::string_view s, std::size_t pos, int kind) {
    return classify(s, pos, kind) == 2;
}
