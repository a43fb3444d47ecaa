#include "db/SettingsLexer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Language.h"

namespace {

// Every token of text as "kind:text" (End and Error as "END" and "ERROR").
std::vector<std::string> tokens(std::string_view text, int charset = kCharsetSingleByte) {
    SettingsLexer lex(text, charset);
    std::vector<std::string> out;
    for (;;) {
        SettingsToken t = lex.next();
        switch (t.kind) {
            case SettingsTokenKind::End:
                out.push_back("END");
                return out;
            case SettingsTokenKind::Error:
                out.push_back("ERROR");
                return out;
            case SettingsTokenKind::Key:
                out.push_back("K:" + t.text);
                break;
            case SettingsTokenKind::ColumnCount:
                out.push_back("N:" + t.text);
                break;
            case SettingsTokenKind::Value:
                out.push_back("V:" + t.text);
                break;
            default:
                out.push_back(t.text);
                break;
        }
    }
}

using Tokens = std::vector<std::string>;

TEST(SettingsLexerTest, ClassifiesTokensByWhatPrecedesThem) {
    struct Case {
        std::string_view text;
        Tokens expected;
    };
    const Case cases[] = {
        {"a : b c : d", {"K:a", ":", "V:b", "K:c", ":", "V:d", "END"}},
        {"t 3 { 0 x y }\nk:v",
         {"K:t", "N:3", "{", "V:0", "V:x", "V:y", "}", "K:k", ":", "V:v", "END"}},
        // Inside braces every word is a value, key names included.
        {"t 2 { gridColor : 1 }", {"K:t", "N:2", "{", "V:gridColor", ":", "V:1", "}", "END"}},
        // After ")" outside braces a statement starts.
        {"p : ( a b ) q : r", {"K:p", ":", "(", "V:a", "V:b", ")", "K:q", ":", "V:r", "END"}},
        // A word after a column count starts a statement again.
        {"a 3 b", {"K:a", "N:3", "K:b", "END"}},
        {"# only a comment\n\n   \t\n", {"END"}},
        {"a : b # c : d\ne : f", {"K:a", ":", "V:b", "K:e", ":", "V:f", "END"}},
        {"a : \"x y # {z}\"", {"K:a", ":", "V:x y # {z}", "END"}},
        {"a : \"\"", {"K:a", ":", "V:", "END"}},
        // An unclosed quote ends with the line.
        {"a : \"x y\nb : c", {"K:a", ":", "V:x y", "K:b", ":", "V:c", "END"}},
        {"a : x\\ y\\:z\\#", {"K:a", ":", "V:x y:z#", "END"}},
        // A trailing backslash joins the next line.
        {"a : val\\\nue", {"K:a", ":", "V:value", "END"}},
        {"t 2 { 0 \\\n 1 }", {"K:t", "N:2", "{", "V:0", "V:1", "}", "END"}},
        // Carriage returns and Ctrl-Z at line ends are dropped, before a continuation too.
        {"a : b\r\nc : d\x1a\r\n", {"K:a", ":", "V:b", "K:c", ":", "V:d", "END"}},
        {"a : b\\\r\nc", {"K:a", ":", "V:bc", "END"}},
        // Control bytes and (in a single-byte character set) bytes from 128 are skipped.
        {std::string_view("a : b\x01\x7f\0c\xe9", 10), {"K:a", ":", "V:bc", "END"}},
        {"\x02\x03 a : b", {"K:a", ":", "V:b", "END"}},
        {"}} a : b", {"}", "}", "K:a", ":", "V:b", "END"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tokens(c.text), c.expected) << std::string(c.text);
    }
}

TEST(SettingsLexerTest, KeepsTwoByteCharactersWhole) {
    // Shift_JIS: the second byte 0x5C of this character is no backslash, and 0x81 0x40 is one
    // character; a lone lead byte at the end of the line is dropped.
    std::string sjis = "a : x\x95\x5cy\x81\x40 z\x88";
    EXPECT_EQ(tokens(sjis, kCharsetShiftJis),
              (Tokens{"K:a", ":", "V:x\x95\x5cy\x81\x40", "K:z", "END"}));
    // Half-width katakana are single printable bytes in Shift_JIS.
    EXPECT_EQ(tokens("a : \xb1\xb2", kCharsetShiftJis), (Tokens{"K:a", ":", "V:\xb1\xb2", "END"}));
    // EUC-JP: every byte from 128 leads a pair.
    EXPECT_EQ(tokens("a : \xa4\x22", kCharsetEucJp), (Tokens{"K:a", ":", "V:\xa4\x22", "END"}));
    // In the single-byte set the same bytes are skipped and the backslash escapes.
    EXPECT_EQ(tokens("a : x\x95\\ y", kCharsetSingleByte), (Tokens{"K:a", ":", "V:x y", "END"}));
}

TEST(SettingsLexerTest, OverlongLinesStopTheReading) {
    std::string longest(SettingsLexer::kMaxLine, 'x');
    EXPECT_EQ(tokens("a : " + longest.substr(4)),
              (Tokens{"K:a", ":", "V:" + longest.substr(4), "END"}));
    EXPECT_EQ(tokens("a : b\n" + longest + "x\nc : d"), (Tokens{"K:a", ":", "V:b", "ERROR"}));
    // Continued lines may add up to 4096 bytes, not more.
    std::string half(2047, 'y');
    EXPECT_EQ(tokens(half + "\\\n" + half + "\\\n" + "zzz").back(), "ERROR");
    EXPECT_EQ(tokens(half + "\\\n" + half + "\\\n" + "zz").size(), 2u);
    // Once finished, the lexer keeps answering the same way.
    SettingsLexer lex("a");
    lex.next();
    EXPECT_EQ(lex.next().kind, SettingsTokenKind::End);
    EXPECT_EQ(lex.next().kind, SettingsTokenKind::End);
}

}  // namespace
