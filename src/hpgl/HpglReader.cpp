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

// What the scanner does with the bytes it reads: the reader keeps parameter text and the
// mnemonic; the count keeps only what decides the mode after a mnemonic.
struct StatementCollector {
    HpglStatement& st;
    // The mnemonic being collected: its first two bytes in head, all of it in longForm once it
    // is longer (only escape sequences are).
    std::string& longForm;
    char head[2] = {0, 0};
    size_t size = 0;

    void text(unsigned char c) { st.put(static_cast<char>(c)); }
    void text(const unsigned char* p, size_t n) { st.put(reinterpret_cast<const char*>(p), n); }
    // A run of plain parameter bytes from first on, which ends at the first byte of another
    // class or at end; returns where it ended. The bytes are copied as they are classified.
    const unsigned char* plainRun(const unsigned char* first, const unsigned char* end) {
        char* const to = st.room(static_cast<size_t>(end - first));
        char* w = to;
        const unsigned char* p = first;
        do {
            *w++ = static_cast<char>(*p++);
        } while (p != end && classOf(*p) == kPlain);
        st.added(static_cast<size_t>(w - to));
        return p;
    }
    void finish() { st.finishElement(); }
    void mnemonicByte(unsigned char c) {
        if (size < 2) {
            head[size] = static_cast<char>(c);
        } else {
            if (size == 2) longForm.assign(head, 2);
            longForm.push_back(static_cast<char>(c));
        }
        ++size;
    }
    size_t mnemonicSize() const { return size; }
    std::string_view mnemonic() const {
        return size <= 2 ? std::string_view(head, size) : std::string_view(longForm);
    }
    // A single capital that turned out to be parameter text.
    void mnemonicToText() {
        const std::string_view m = mnemonic();
        st.put(m.data(), m.size());
        size = 0;
    }
    Mode modeAfterMnemonic() const { return modeAfter(head, size); }
};

struct CountingCollector {
    char first[2] = {0, 0};
    size_t size = 0;

    void text(unsigned char) {}
    void text(const unsigned char*, size_t) {}
    const unsigned char* plainRun(const unsigned char* first, const unsigned char* end) {
        const unsigned char* p = first + 1;
        while (p != end && classOf(*p) == kPlain)
            ++p;
        return p;
    }
    void finish() {}
    void mnemonicByte(unsigned char c) {
        if (size < 2) first[size] = static_cast<char>(c);
        ++size;
    }
    size_t mnemonicSize() const { return size; }
    void mnemonicToText() { size = 0; }
    Mode modeAfterMnemonic() const { return modeAfter(first, size); }
};

// Reads the bytes of one statement after its mnemonic, starting in mode. True when the
// statement ends at a complete mnemonic (held by the collector), false at the end of input (an
// unfinished mnemonic is dropped). A mnemonic is complete when it is two mnemonic letters, or
// one of the escape sequences ESC E, ESC %#A and ESC %-1B; an escape sequence also ends at its
// first capital letter. Outside an escape sequence the mnemonic being collected holds only
// letters, so it is complete at two; inside one, every complete form ends in a capital, so the
// sequence ends exactly at its first capital letter. The loop relies on both facts.
template <class Collector>
bool scanStatement(PlotInput& in, Mode mode, unsigned char terminator, Collector& out) {
    bool escape = false;
    bool begun = false;
    // Ends the parameter being collected; a sign both ends one and begins the next.
    auto finish = [&](unsigned char c) {
        mode = Mode::kNormal;
        out.finish();
        if (c == '+' || c == '-') out.text(c);
    };
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
                out.text(p, static_cast<size_t>(e - p));
                in.advanceTo(e);
                continue;
            }
            const unsigned char* h = static_cast<const unsigned char*>(hit);
            const unsigned char* last = mode == Mode::kLabel ? h + 1 : h;
            out.text(p, static_cast<size_t>(last - p));
            in.advanceTo(h + 1);
            finish(stop);
            continue;
        }
        if (mode == Mode::kTerminator) {
            // DT takes exactly the one byte after its mnemonic, whatever it is.
            const unsigned char c = *p;
            in.advanceTo(p + 1);
            out.text(c);
            finish(c);
            continue;
        }
        // Normal mode: walk the buffered bytes.
        while (p != e) {
            const unsigned char c = *p++;
            const unsigned char cls = classOf(c);
            if (cls == kPlain && !escape) {
                if (begun) {
                    // A single capital not followed by a second one is parameter text (1E5).
                    out.mnemonicToText();
                    begun = false;
                }
                // Plain parameter bytes: take the whole run at once. A comma, the commonest
                // byte behind one, ends the parameter here as the separator branch would.
                p = out.plainRun(p - 1, e);
                if (p != e && *p == ',') {
                    ++p;
                    finish(',');
                }
                continue;
            }
            if (cls == kLetter || escape) {
                out.mnemonicByte(c);
                begun = true;
                if (escape ? cls == kLetter : out.mnemonicSize() == 2) {
                    in.advanceTo(p);
                    out.finish();
                    return true;
                }
                continue;
            }
            if (cls == kEscape) {
                out.mnemonicByte(c);
                escape = true;
                continue;
            }
            // A separator.
            if (begun) {
                out.mnemonicToText();
                begun = false;
            }
            finish(c);
        }
        in.advanceTo(p);
    }
    // End of input: an unfinished mnemonic is dropped.
    out.finish();
    return false;
}

}  // namespace

int HpglInterpreter::readStatement(HpglStatement& st) {
    st.clear();
    if (!input_) return 0;
    try {
        Mode mode = Mode::kNormal;
        if (pendingSize_ != 0) {
            const std::string_view m = pendingMnemonic();
            st.append(m);
            mode = modeAfter(m.data(), m.size());
            pendingSize_ = 0;
        }
        StatementCollector out{st, mnemonic_};
        if (scanStatement(*input_, mode, labels_.terminator, out)) {
            if (out.size > 2) pendingLong_.swap(mnemonic_);
            pendingHead_[0] = out.head[0];
            pendingHead_[1] = out.head[1];
            pendingSize_ = out.size;
        }
        return 1;
    } catch (const std::exception&) {
        // Storage for an endless label or parameter ran out: the input ends here.
        input_->stop();
        return 1;
    }
}

// Counts the mnemonics that the reader would find, with the same scanner and modes, keeping
// nothing of the statements. Every statement after the first read of a file begins with the
// mnemonic that ended the read before it, so this is the number of statements that begin with
// a mnemonic.
long HpglInterpreter::countStatements(long limit) {
    if (!input_) return 0;
    long n = 0;
    const std::string_view pending = pendingMnemonic();
    Mode mode = modeAfter(pending.data(), pending.size());
    pendingSize_ = 0;
    const unsigned char terminator = labels_.terminator;
    while (n < limit) {
        CountingCollector out;
        if (!scanStatement(*input_, mode, terminator, out)) break;
        ++n;
        mode = out.modeAfterMnemonic();
    }
    input_->rewind();
    return n;
}
