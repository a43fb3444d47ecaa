// Splits the text of a settings file (or of a circuit's path table) into tokens, each classified
// by what precedes it: keys, column counts, values, braces, parentheses and colons.
#pragma once

#include <string>
#include <string_view>

enum class SettingsTokenKind {
    Key,          // a word at the start of a statement
    ColumnCount,  // a word directly after a key
    Open,         // "{"
    Close,        // "}"
    LParen,       // "("
    RParen,       // ")"
    Colon,        // ":"
    Value,        // a word after a colon, or any word inside braces or parentheses
    End,          // the end of the text
    Error,        // an over-long line: the reading cannot go on
};

struct SettingsToken {
    SettingsTokenKind kind = SettingsTokenKind::End;
    std::string text;  // the word (without quotes), or the special character
    int line = 0;      // the physical line on which the token ends
};

class SettingsLexer {
public:
    // Longest physical line (without its line feed), and longest line after continuations.
    static constexpr std::size_t kMaxLine = 4095;
    static constexpr std::size_t kMaxJoinedLine = 4096;

    // The text is not copied: it must outlive the lexer. charset is a character-set kind
    // (256, 512, 513); 0 takes the process's kind.
    explicit SettingsLexer(std::string_view text, int charset = 0);

    // The next token. After End or Error every further call gives the same kind again.
    SettingsToken next();

private:
    // Reads the next logical line (continuations joined) into line_. false at the end of the
    // text or on an over-long line (error_ set).
    bool loadLine();
    // Physical line at pos_: its bytes without line feed, carriage returns and Ctrl-Z at its end.
    std::string_view takePhysicalLine();
    // Appends the character at col_ of line_ to word when it is printable or a two-byte
    // character, advancing col_ past it; other bytes are skipped.
    void takeCharacter(std::string& word, bool keepControl);
    SettingsToken classifyWord(std::string word);
    SettingsToken make(SettingsTokenKind kind, std::string text);

    std::string_view text_;
    std::size_t pos_ = 0;
    std::string line_;
    std::size_t col_ = 0;
    int lineNo_ = 0;
    int charset_;
    int braceDepth_ = 0;
    int parenDepth_ = 0;
    SettingsTokenKind prev_ = SettingsTokenKind::End;  // End: start of the text
    bool finished_ = false;
    bool error_ = false;
};

// Reads the whole of a settings file (or path table) into text. False when it cannot be opened
// or read (error, when given, receives the system's error number), or holds more than limit
// bytes (error 0). Allocation failures are thrown.
bool readSettingsText(const std::string& path, std::size_t limit, std::string& text,
                      int* error = nullptr);
