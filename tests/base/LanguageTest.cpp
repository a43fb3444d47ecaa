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
    void SetUp() override { TearDown(); }
    void TearDown() override {
        resetSysEnv();
        resetCharsetKind();
    }
};

}  // namespace

TEST_F(LanguageTest, FamilyFromLangAndCharsetKindFromQlang) {
    const std::pair<const char*, int> families[] = {
        {"JAPANESE", kLanguageJapanese}, {"JA_jp", kLanguageJapanese}, {"japan", kLanguageJapanese},
        {"ja_JP.eucJP", kLanguageOther}, {"ko_kr", kLanguageKorean},   {"ZH_CN", kLanguageChinese},
        {"zh_TW", kLanguageOther},       {"", kLanguageOther},
    };
    for (const auto& [lang, family] : families) {
        ScopedEnv env("LANG", lang);
        EXPECT_EQ(languageFamily(), family) << lang;
    }
    EXPECT_EQ(languageFamilyOfId(2066), kLanguageKorean);
    EXPECT_EQ(languageFamilyOfId(4100), kLanguageChinese);

    const std::pair<const char*, int> kinds[] = {{"JaPaN_sjis", kCharsetShiftJis},
                                                 {"jap", kCharsetSingleByte},
                                                 {"xjapan", kCharsetSingleByte}};
    for (const auto& [qlang, kind] : kinds) {
        resetSysEnv();
        resetCharsetKind();
        ScopedEnv env("QLANG", qlang);
        EXPECT_EQ(charsetKind(), kind) << qlang;
    }
    resetSysEnv();
    ScopedEnv later("QLANG", "japanese");
    EXPECT_EQ(charsetKind(), kCharsetSingleByte);  // computed once, kept until reset
}

TEST_F(LanguageTest, BytePositionTests) {
    auto shape = [](const std::string& s, int kind) {
        std::string out;
        for (std::size_t i = 0; i < s.size(); ++i) {
            EXPECT_EQ(
                isSingleByteAt(s, i, kind) + isLeadByteAt(s, i, kind) + isTrailByteAt(s, i, kind),
                1)
                << i;
            out += isSingleByteAt(s, i, kind) ? 'S' : (isLeadByteAt(s, i, kind) ? 'L' : 'T');
        }
        return out;
    };
    // a, a Shift_JIS pair, a half-width katakana, b
    const std::string mixed =
        "a\x82\xA0\xB1"
        "b";
    EXPECT_EQ(shape(mixed, kCharsetShiftJis), "SLTSS");
    EXPECT_EQ(shape(mixed, kCharsetSingleByte), "SSSSS");
    // a half-width katakana pair (142 161), a two-byte character, an ASCII letter
    EXPECT_EQ(shape("\x8E\xB1\xA4\xA2z", kCharsetEucJp), "LTLTS");
    // Lead bytes 0x80, 0xA0, 0xE0 and 0xFF; half-width katakana 0xA1 and 0xDF stand alone, and
    // so does a lead byte with nothing after it.
    EXPECT_EQ(shape("\x80z\xA0z\xE0z\xFFz\xA1\xDF\x82", kCharsetShiftJis), "LTLTLTLTSSS");
    EXPECT_FALSE(isSingleByteAt("ab", 5, kCharsetShiftJis));  // beyond the end
}

TEST(JapaneseCodes, KnownPairsRejectedCodesAndRoundTrips) {
    const std::pair<int, int> pairs[] = {
        {0x8140, 0x2121}, {0x82A0, 0x2422}, {0x889F, 0x3021}, {0x989F, 0x5021},
        {0x9FFC, 0x5E7E}, {0xE040, 0x5F21}, {0xEAA4, 0x7426},
    };
    for (const auto& [sjis, jis] : pairs) {
        EXPECT_EQ(sjisToJis(sjis), jis) << std::hex << sjis;
        EXPECT_EQ(eucToSjis(jis | 0x8080), sjis) << std::hex << jis;
    }
    // Outside the range, in each gap (both edges), second bytes 0x7F, below 0x3F, above 0xFD.
    for (int code : {0x813E, 0xEAAE, 0x853E, 0x854E, 0x83DE, 0x843E, 0x84CE, 0x889E, 0x987F, 0x989E,
                     0x9FFE, 0xE03E, 0x817F, 0x823E, 0x81FE, -1, 0x10000})
        EXPECT_EQ(sjisToEuc(code), -1) << std::hex << code;
    for (int code : {0x813F, 0xEAAD, 0x83DD, 0x843F, 0x84CD, 0x9FFD, 0xE03F, 0x81FD})
        EXPECT_NE(sjisToJis(code), -1) << std::hex << code;
    for (int code : {0xA0A1, 0xA1A0, 0xA1FF, 0x8EB1, 0x2121, -5})
        EXPECT_EQ(eucToSjis(code), -1) << std::hex << code;
    // Every accepted code with a regular second byte comes back unchanged through EUC-JP.
    int converted = 0;
    for (int code = 0x8140; code <= 0xEAAD; ++code) {
        const int low = code & 0xFF;
        if (low < 0x40 || low > 0xFC || low == 0x7F || sjisToEuc(code) < 0) continue;
        ++converted;
        ASSERT_EQ(eucToSjis(sjisToEuc(code)), code) << std::hex << code;
        ASSERT_EQ(jisToSjis(sjisToJis(code)), code) << std::hex << code;
    }
    EXPECT_GT(converted, 7000);
}
