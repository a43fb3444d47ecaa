#include "base/Language.h"

#include <gtest/gtest.h>

#include <string>

#include "base/JapaneseCodes.h"
#include "base/SysEnv.h"
#include "support/TestSupport.h"

using testsupport::ScopedEnv;

namespace {

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetSysEnv();
        resetCharsetKind();
    }
    void TearDown() override {
        resetSysEnv();
        resetCharsetKind();
    }
};

}  // namespace

TEST_F(LanguageTest, FamilyFromLangWholeWordsIgnoringCase) {
    const std::pair<const char*, int> cases[] = {
        {"JAPANESE", kLanguageJapanese}, {"ja", kLanguageJapanese},
        {"JA_jp", kLanguageJapanese},    {"japan", kLanguageJapanese},
        {"ja_JP.eucJP", kLanguageOther}, {"Korean", kLanguageKorean},
        {"ko_kr", kLanguageKorean},      {"chinese", kLanguageChinese},
        {"ZH_CN", kLanguageChinese},     {"zh_TW", kLanguageOther},
        {"C", kLanguageOther},           {"", kLanguageOther},
    };
    for (const auto& [lang, family] : cases) {
        ScopedEnv env("LANG", lang);
        EXPECT_EQ(languageFamily(), family) << lang;
    }
    ScopedEnv unset("LANG", std::nullopt);
    EXPECT_EQ(languageFamily(), kLanguageOther);
}

TEST_F(LanguageTest, CharsetKindFromQlangIsComputedOnce) {
    const std::pair<const char*, int> cases[] = {
        {"japanese", kCharsetShiftJis},   {"JAPAN", kCharsetShiftJis},
        {"JaPaN_sjis", kCharsetShiftJis}, {"jap", kCharsetSingleByte},
        {"english", kCharsetSingleByte},  {"xjapan", kCharsetSingleByte},
    };
    for (const auto& [qlang, kind] : cases) {
        resetSysEnv();
        resetCharsetKind();
        ScopedEnv env("QLANG", qlang);
        EXPECT_EQ(charsetKind(), kind) << qlang;
    }
    resetSysEnv();
    resetCharsetKind();
    {
        ScopedEnv unset("QLANG", std::nullopt);
        EXPECT_EQ(charsetKind(), kCharsetSingleByte);
    }
    resetSysEnv();
    ScopedEnv later("QLANG", "japanese");
    EXPECT_EQ(charsetKind(), kCharsetSingleByte);  // kept until reset
}

TEST_F(LanguageTest, BytePositionTests) {
    // a, a Shift_JIS pair, a half-width katakana, b
    const std::string sjis =
        "a\x82\xA0\xB1"
        "b";
    const char* sjisExpected = "SLTSS";
    // a half-width katakana pair (142 161), a two-byte character, an ASCII letter
    const std::string euc = "\x8E\xB1\xA4\xA2z";
    const char* eucExpected = "LTLTS";
    auto shape = [](const std::string& s, int kind) {
        std::string out;
        for (std::size_t i = 0; i < s.size(); ++i) {
            int marks =
                isSingleByteAt(s, i, kind) + isLeadByteAt(s, i, kind) + isTrailByteAt(s, i, kind);
            EXPECT_EQ(marks, 1) << i;
            out += isSingleByteAt(s, i, kind) ? 'S' : (isLeadByteAt(s, i, kind) ? 'L' : 'T');
        }
        return out;
    };
    EXPECT_EQ(shape(sjis, kCharsetShiftJis), sjisExpected);
    EXPECT_EQ(shape(euc, kCharsetEucJp), eucExpected);
    EXPECT_EQ(shape(sjis, kCharsetSingleByte), "SSSSS");
    // A lead byte at the end has no partner and stands alone.
    EXPECT_EQ(shape("ab\x82", kCharsetShiftJis), "SSS");
    // Three lead bytes in a row: the third begins no pair because nothing follows it.
    EXPECT_EQ(shape("\x82\x82\x82", kCharsetShiftJis), "LTS");
    EXPECT_FALSE(isSingleByteAt(sjis, 5, kCharsetShiftJis));
    EXPECT_FALSE(isTrailByteAt("", 0, kCharsetShiftJis));
    for (int b : {0x80, 0xA0, 0xE0, 0xFF})
        EXPECT_TRUE(isLeadByte(b, kCharsetShiftJis)) << b;
    for (int b : {0x41, 0xA1, 0xDF})
        EXPECT_FALSE(isLeadByte(b, kCharsetShiftJis)) << b;
}

TEST(JapaneseCodes, KnownPairs) {
    struct Pair {
        int sjis;
        int jis;
    };
    const Pair pairs[] = {
        {0x8140, 0x2121},  // ideographic space
        {0x82A0, 0x2422},  // hiragana a
        {0x889F, 0x3021},  // first level-1 kanji
        {0x989F, 0x5021},  // first level-2 kanji
        {0x9FFC, 0x5E7E}, {0xE040, 0x5F21}, {0xEAA4, 0x7426},
    };
    for (const Pair& p : pairs) {
        EXPECT_EQ(sjisToJis(p.sjis), p.jis) << std::hex << p.sjis;
        EXPECT_EQ(sjisToEuc(p.sjis), p.jis | 0x8080) << std::hex << p.sjis;
        EXPECT_EQ(eucToSjis(p.jis | 0x8080), p.sjis) << std::hex << p.jis;
    }
}

TEST(JapaneseCodes, RejectedCodesAndRoundTrips) {
    const int rejected[] = {0x813E, 0xEAAE, 0x0041, 0xFFFF, 0x853E, 0x8548, 0x854E, 0x83DE,
                            0x843E, 0x84CE, 0x8740, 0x889E, 0x987F, 0x989E, 0x9FFE, 0xA040,
                            0xDF40, 0xE03E, 0x817F, 0x823E, 0x8200, 0x81FE, -1,     0x10000};
    for (int code : rejected) {
        EXPECT_EQ(sjisToJis(code), -1) << std::hex << code;
        EXPECT_EQ(sjisToEuc(code), -1) << std::hex << code;
    }
    // The edges of the accepted range and of the gaps convert.
    for (int code :
         {0x813F, 0xEAAD, 0x83DD, 0x843F, 0x84CD, 0x889F, 0x989F, 0x9FFD, 0xE03F, 0x81FD}) {
        EXPECT_NE(sjisToJis(code), -1) << std::hex << code;
    }
    for (int code : {0xA0A1, 0xA1A0, 0xA1FF, 0x8EB1, 0x2121, 0xFFA1, -5}) {
        EXPECT_EQ(eucToJis(code), -1) << std::hex << code;
        EXPECT_EQ(eucToSjis(code), -1) << std::hex << code;
    }
    // Every accepted code with a regular second byte comes back unchanged through EUC-JP.
    int converted = 0;
    for (int code = 0x8140; code <= 0xEAAD; ++code) {
        int low = code & 0xFF;
        if (low < 0x40 || low > 0xFC || low == 0x7F) continue;
        int euc = sjisToEuc(code);
        if (euc < 0) continue;
        ++converted;
        ASSERT_EQ(eucToSjis(euc), code) << std::hex << code;
        ASSERT_EQ(jisToSjis(sjisToJis(code)), code) << std::hex << code;
    }
    EXPECT_GT(converted, 7000);
}
