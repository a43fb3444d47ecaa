// The byte-level statement reader and the statement count.
//
// Bytes are classified with the plain ASCII rules: mnemonic letters are "A" to "Z"; separators
// are white space, ";", ",", "+" and "-"; byte 27 starts an escape sequence. Bytes above 127 are
// ordinary parameter text.

#include <cstring>
#include <exception>

#include "hpgl/HpglInterpreter.h"

namespace {

enum : unsigned char { kPlain = 0, kLetter = 1, kSeparator = 2, kEscape = 4 };

struct ByteClasses {
    unsigned char of[256] = {};
    constexpr ByteClasses() {
        for (int c = 'A'; c <= 'Z'; ++c)
            of[c] = kLetter;
        for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r', ';', ',', '+', '-'}) {
            of[c] = kSeparator;
        }
        of[27] = kEscape;
    }
};
constexpr ByteClasses kClasses;

inline unsigned char classOf(unsigned char c) {
    return kClasses.of[c];
}

enum class Mode { kNormal, kLabel, kEncoded, kTerminator };

// The mode that a pending mnemonic starts the next statement in.
Mode modeAfter(const char* m, size_t n) {
    if (n == 2) {
        if (m[0] == 'L' && m[1] == 'B') return Mode::kLabel;
        if (m[0] == 'P' && m[1] == 'E') return Mode::kEncoded;
        if (m[0] == 'D' && m[1] == 'T') return Mode::kTerminator;
    }
    return Mode::kNormal;
}

}  // namespace

// A mnemonic is complete when it is two mnemonic letters, or one of the escape sequences ESC E,
// ESC %#A and ESC %-1B; an escape sequence also ends at its first capital letter. Outside an
// escape sequence the mnemonic being collected holds only letters, so it is complete at two;
// inside one, every complete form ends in a capital, so the sequence ends exactly at its first
// capital letter. The loop below relies on both facts.
int HpglInterpreter::readStatement(HpglStatement& st) {
    st.clear();
    if (!input_) return 0;
    try {
        std::string& text = text_;
        std::string& mn = mnemonic_;
        text.clear();
        mn.clear();
        bool escape = false;
        bool begun = false;
        Mode mode = Mode::kNormal;
        if (!pendingMnemonic_.empty()) {
            st.append(pendingMnemonic_);
            mode = modeAfter(pendingMnemonic_.data(), pendingMnemonic_.size());
            pendingMnemonic_.clear();
        }
        const unsigned char terminator = labels_.terminator;
        // Ends the parameter being collected; a sign both ends one and begins the next.
        auto finish = [&](unsigned char c) {
            mode = Mode::kNormal;
            if (!text.empty()) {
                st.append(text);
                text.clear();
            }
            if (c == '+' || c == '-') text.push_back(static_cast<char>(c));
        };
        PlotInput& in = *input_;
        for (;;) {
            if (in.pos() == in.end() && !in.refill()) break;
            const unsigned char* p = in.pos();
            const unsigned char* e = in.end();
            if (mode == Mode::kLabel || mode == Mode::kEncoded) {
                // Label text runs up to and including the terminator; encoded data up to ";",
                // which is not part of it.
                const unsigned char stop = mode == Mode::kLabel ? terminator : ';';
                const void* hit = std::memchr(p, stop, static_cast<size_t>(e - p));
                if (hit == nullptr) {
                    text.append(reinterpret_cast<const char*>(p), static_cast<size_t>(e - p));
                    in.advanceTo(e);
                    continue;
                }
                const unsigned char* h = static_cast<const unsigned char*>(hit);
                const unsigned char* last = mode == Mode::kLabel ? h + 1 : h;
                text.append(reinterpret_cast<const char*>(p), static_cast<size_t>(last - p));
                in.advanceTo(h + 1);
                finish(stop);
                continue;
            }
            const unsigned char c = *p++;
            in.advanceTo(p);
            if (mode == Mode::kTerminator) {
                // DT takes exactly the one byte after its mnemonic, whatever it is.
                text.push_back(static_cast<char>(c));
                finish(c);
                continue;
            }
            const unsigned char cls = classOf(c);
            if (cls == kLetter || escape) {
                mn.push_back(static_cast<char>(c));
                begun = true;
                if (escape ? cls == kLetter : mn.size() == 2) {
                    if (!text.empty()) st.append(text);
                    pendingMnemonic_.swap(mn);
                    return 1;
                }
                continue;
            }
            if (cls == kEscape) {
                mn.push_back(static_cast<char>(c));
                escape = true;
                continue;
            }
            if (begun) {
                // A single capital not followed by a second one is parameter text (1E5).
                text += mn;
                mn.clear();
                begun = false;
            }
            if (cls == kSeparator) {
                finish(c);
                continue;
            }
            // Plain parameter bytes: take the whole run at once.
            const unsigned char* q = p;
            while (q != e && classOf(*q) == kPlain)
                ++q;
            text.push_back(static_cast<char>(c));
            text.append(reinterpret_cast<const char*>(p), static_cast<size_t>(q - p));
            in.advanceTo(q);
        }
        // End of input: an unfinished mnemonic is dropped.
        if (!text.empty()) st.append(text);
        return 1;
    } catch (const std::exception&) {
        // Storage for an endless label or parameter ran out: the input ends here.
        input_->stop();
        return 1;
    }
}

// Counts the mnemonics that the reader would find, with the same modes, without building any
// statement. Every statement after the first read of a file begins with the mnemonic that ended
// the read before it, so this is the number of statements that begin with a mnemonic.
long HpglInterpreter::countStatements(long limit) {
    if (!input_) return 0;
    long n = 0;
    Mode mode = modeAfter(pendingMnemonic_.data(), pendingMnemonic_.size());
    pendingMnemonic_.clear();
    const unsigned char terminator = labels_.terminator;
    bool escape = false;
    bool begun = false;
    unsigned char first = 0;
    PlotInput& in = *input_;
    while (n < limit) {
        if (in.pos() == in.end() && !in.refill()) break;
        const unsigned char* p = in.pos();
        const unsigned char* e = in.end();
        if (mode == Mode::kLabel || mode == Mode::kEncoded) {
            const unsigned char stop = mode == Mode::kLabel ? terminator : ';';
            const void* hit = std::memchr(p, stop, static_cast<size_t>(e - p));
            if (hit == nullptr) {
                in.advanceTo(e);
            } else {
                in.advanceTo(static_cast<const unsigned char*>(hit) + 1);
                mode = Mode::kNormal;
            }
            continue;
        }
        if (mode == Mode::kTerminator) {
            in.advanceTo(p + 1);
            mode = Mode::kNormal;
            continue;
        }
        // Normal mode: walk the buffered bytes until a mnemonic switches the mode.
        while (p != e) {
            const unsigned char c = *p++;
            const unsigned char cls = classOf(c);
            if (escape) {
                if (cls == kLetter) {
                    ++n;
                    escape = begun = false;
                }
            } else if (cls == kLetter) {
                if (begun) {
                    ++n;
                    begun = false;
                    const char m[2] = {static_cast<char>(first), static_cast<char>(c)};
                    mode = modeAfter(m, 2);
                    if (mode != Mode::kNormal) break;
                } else {
                    begun = true;
                    first = c;
                }
            } else if (cls == kEscape) {
                escape = true;
            } else {
                begun = false;
            }
            if (n >= limit) break;
        }
        in.advanceTo(p);
    }
    in.rewind();
    return n;
}
