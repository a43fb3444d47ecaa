#include "db/SettingsLexer.h"

#include <utility>

#include "base/Language.h"
#include "base/PlatformFile.h"

namespace {

bool isSpecial(char c) {
    return c == '{' || c == '}' || c == '(' || c == ')' || c == ':';
}

}  // namespace

SettingsLexer::SettingsLexer(std::string_view text, int charset)
    : text_(text), charset_(charset != 0 ? charset : charsetKind()) {}

std::string_view SettingsLexer::takePhysicalLine() {
    std::size_t start = pos_;
    std::size_t lf = text_.find('\n', start);
    std::size_t end = lf == std::string_view::npos ? text_.size() : lf;
    pos_ = lf == std::string_view::npos ? text_.size() : lf + 1;
    ++lineNo_;
    while (end > start && (text_[end - 1] == '\r' || text_[end - 1] == '\x1a'))
        --end;
    return text_.substr(start, end - start);
}

bool SettingsLexer::loadLine() {
    line_.clear();
    col_ = 0;
    if (pos_ >= text_.size()) return false;
    for (;;) {
        std::string_view physical = takePhysicalLine();
        if (physical.size() > kMaxLine) {
            error_ = true;
            return false;
        }
        bool continued = !physical.empty() && physical.back() == '\\';
        if (continued) physical.remove_suffix(1);
        if (line_.size() + physical.size() > kMaxJoinedLine) {
            error_ = true;
            return false;
        }
        line_.append(physical);
        if (!continued || pos_ >= text_.size()) return true;
    }
}

void SettingsLexer::takeCharacter(std::string& word, bool keepControl) {
    unsigned char c = static_cast<unsigned char>(line_[col_]);
    if (c >= 128 && isLeadByte(c, charset_)) {
        if (col_ + 1 < line_.size()) {
            word.append(line_, col_, 2);
            col_ += 2;
        } else {
            ++col_;  // a lead byte without its second byte
        }
        return;
    }
    bool printable =
        (c >= 0x20 && c < 0x7f) || (charset_ == kCharsetShiftJis && c >= 161 && c <= 223);
    if (printable || (keepControl && c != 0 && c < 128)) word.push_back(static_cast<char>(c));
    ++col_;
}

SettingsToken SettingsLexer::make(SettingsTokenKind kind, std::string text) {
    SettingsToken t;
    t.kind = kind;
    t.text = std::move(text);
    t.line = lineNo_;
    prev_ = kind;
    return t;
}

SettingsToken SettingsLexer::classifyWord(std::string word) {
    SettingsTokenKind kind;
    if (braceDepth_ > 0 || parenDepth_ > 0 || prev_ == SettingsTokenKind::Colon) {
        kind = SettingsTokenKind::Value;
    } else if (prev_ == SettingsTokenKind::Key) {
        kind = SettingsTokenKind::ColumnCount;
    } else {
        kind = SettingsTokenKind::Key;
    }
    return make(kind, std::move(word));
}

SettingsToken SettingsLexer::next() {
    for (;;) {
        if (finished_) {
            SettingsToken t;
            t.kind = error_ ? SettingsTokenKind::Error : SettingsTokenKind::End;
            t.line = lineNo_;
            return t;
        }
        if (col_ >= line_.size()) {
            if (!loadLine()) finished_ = true;
            continue;
        }
        char c = line_[col_];
        if (c == ' ' || c == '\t') {
            ++col_;
            continue;
        }
        if (c == '#') {
            col_ = line_.size();
            continue;
        }
        if (isSpecial(c)) {
            ++col_;
            switch (c) {
                case '{':
                    ++braceDepth_;
                    return make(SettingsTokenKind::Open, "{");
                case '}':
                    if (braceDepth_ > 0) --braceDepth_;
                    return make(SettingsTokenKind::Close, "}");
                case '(':
                    ++parenDepth_;
                    return make(SettingsTokenKind::LParen, "(");
                case ')':
                    if (parenDepth_ > 0) --parenDepth_;
                    return make(SettingsTokenKind::RParen, ")");
                default:
                    return make(SettingsTokenKind::Colon, ":");
            }
        }
        std::string word;
        if (c == '"') {
            // A quoted word runs to the next double quote, or to the end of the line.
            ++col_;
            while (col_ < line_.size() && line_[col_] != '"')
                takeCharacter(word, true);
            if (col_ < line_.size()) ++col_;
            return classifyWord(std::move(word));
        }
        while (col_ < line_.size()) {
            c = line_[col_];
            if (c == ' ' || c == '\t' || c == '#' || c == '"' || isSpecial(c)) break;
            if (c == '\\') {
                ++col_;
                if (col_ < line_.size()) takeCharacter(word, false);
                continue;
            }
            takeCharacter(word, false);
        }
        // A run of bytes that were all skipped makes no word.
        if (!word.empty()) return classifyWord(std::move(word));
    }
}

bool readSettingsText(const std::string& path, std::size_t limit, std::string& text, int* error) {
    text.clear();
    int failure = 0;
    if (error == nullptr) error = &failure;
    *error = 0;
    // A pipe is read to its end; a directory or a device holds no settings.
    platform::File file = platform::openInput(path, true, *error);
    if (!file.isOpen()) return false;
    char buffer[65536];
    for (;;) {
        const long long n = file.read(buffer, sizeof buffer);
        if (n < 0) {
            *error = file.error();
            return false;
        }
        if (n == 0) return true;
        if (static_cast<std::size_t>(n) > limit - text.size()) return false;
        text.append(buffer, static_cast<std::size_t>(n));
    }
}
