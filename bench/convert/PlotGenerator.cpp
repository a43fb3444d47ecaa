#include "PlotGenerator.h"

#include <cinttypes>

namespace {

// The page in plotter units (an A0 sheet at 40 units per millimetre).
constexpr std::int64_t kPageWidth = 47000;
constexpr std::int64_t kPageHeight = 33000;

// splitmix64: small, fast and the same everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 <= value < n.
    std::int64_t below(std::int64_t n) {
        return static_cast<std::int64_t>(next() % static_cast<std::uint64_t>(n));
    }
    // lo <= value <= hi.
    std::int64_t between(std::int64_t lo, std::int64_t hi) { return lo + below(hi - lo + 1); }
    bool chance(int percent) { return below(100) < percent; }

private:
    std::uint64_t state_;
};

class Writer {
public:
    Writer(PlotKind kind, std::uint64_t seed) : kind_(kind), rnd_(seed) {}

    // Appends one group of statements to text.
    void group(std::string& text) {
        out_ = &text;
        if (kind_ == PlotKind::kStrokes) {
            strokeGroup();
            return;
        }
        const std::int64_t pick = rnd_.below(100);
        if (pick < 38) {
            strokeGroup();
        } else if (pick < 46) {
            relativeStroke();
        } else if (pick < 58) {
            encodedPolyline();
        } else if (pick < 64) {
            arc();
        } else if (pick < 69) {
            circle();
        } else if (pick < 74) {
            rectangle();
        } else if (pick < 78) {
            wedge();
        } else if (pick < 82) {
            polygon();
        } else {
            label();
        }
    }

    void prologue(std::string& text) {
        text +=
            "\x1b"
            "E\x1b%0BIN;IP0,0,47000,33000;SP1;PW0.25;LA1,4;";
        if (kind_ == PlotKind::kMixed) text += "DT\x03;SI0.25,0.35;";
        text += "\n";
    }

private:
    void put(const char* s) { *out_ += s; }
    void number(std::int64_t v) {
        char buf[24];
        std::snprintf(buf, sizeof buf, "%" PRId64, v);
        *out_ += buf;
    }
    // A value with one decimal (for relative moves and sizes).
    void decimal(std::int64_t tenths) {
        if (tenths < 0) {
            *out_ += '-';
            tenths = -tenths;
        }
        number(tenths / 10);
        if (tenths % 10 != 0) {
            *out_ += '.';
            *out_ += static_cast<char>('0' + tenths % 10);
        }
    }
    void pair(std::int64_t x, std::int64_t y) {
        number(x);
        *out_ += ',';
        number(y);
    }

    // The next place to draw: mostly near the last one, sometimes anywhere on the page.
    void wander() {
        if (rnd_.chance(10)) {
            x_ = rnd_.below(kPageWidth);
            y_ = rnd_.below(kPageHeight);
        } else {
            x_ = clampX(x_ + rnd_.between(-1500, 1500));
            y_ = clampY(y_ + rnd_.between(-1500, 1500));
        }
    }
    static std::int64_t clampX(std::int64_t v) {
        return v < 0 ? 0 : v >= kPageWidth ? kPageWidth - 1 : v;
    }
    static std::int64_t clampY(std::int64_t v) {
        return v < 0 ? 0 : v >= kPageHeight ? kPageHeight - 1 : v;
    }

    void maybePen() {
        if (rnd_.chance(4)) {
            put("SP");
            number(rnd_.between(1, 8));
            put(";");
        }
        if (kind_ == PlotKind::kMixed && rnd_.chance(1)) {
            put(rnd_.chance(50) ? "LT;" : "LT2,4;");
        }
        if (kind_ == PlotKind::kMixed && rnd_.chance(1)) {
            put("PW");
            decimal(rnd_.between(1, 8));
            put(";");
        }
    }

    void moveTo() {
        wander();
        put("PU");
        pair(x_, y_);
        put(";");
    }

    // PU to a point, then one PD statement of absolute pairs.
    void strokeGroup() {
        maybePen();
        moveTo();
        put("PD");
        const std::int64_t n = rnd_.chance(20) ? rnd_.between(10, 60) : rnd_.between(1, 9);
        for (std::int64_t i = 0; i < n; ++i) {
            x_ = clampX(x_ + rnd_.between(-400, 400));
            y_ = clampY(y_ + rnd_.between(-400, 400));
            if (i > 0) put(",");
            pair(x_, y_);
        }
        put(";\n");
    }

    void relativeStroke() {
        maybePen();
        moveTo();
        put("PD;PR");
        const std::int64_t n = rnd_.between(1, 12);
        for (std::int64_t i = 0; i < n; ++i) {
            if (i > 0) put(",");
            decimal(rnd_.between(-2000, 2000));
            put(",");
            decimal(rnd_.between(-2000, 2000));
        }
        put(";PU;PA;\n");
    }

    // One PE number: sign folded into the lowest bit, base-64 (or base-32) digits, least
    // significant first, the last one raised by the terminator offset.
    void encoded(std::int64_t v, bool base32) {
        std::uint64_t m =
            v >= 0 ? static_cast<std::uint64_t>(v) * 2 : static_cast<std::uint64_t>(-v) * 2 + 1;
        const std::uint64_t base = base32 ? 32 : 64;
        const std::uint64_t offset = base32 ? 32 : 128;
        while (m >= base) {
            *out_ += static_cast<char>(63 + m % base);
            m /= base;
        }
        *out_ += static_cast<char>(63 + offset + m);
    }

    void encodedPolyline() {
        maybePen();
        wander();
        const bool base32 = rnd_.chance(30);
        const int fraction = rnd_.chance(10) ? 1 : 0;
        put("PE");
        if (base32) put("7");
        if (rnd_.chance(5)) {
            put(":");
            encoded(rnd_.between(1, 8), base32);
        }
        if (fraction != 0) {
            put(">");
            *out_ += static_cast<char>((base32 ? 95 : 191) + fraction);
        }
        put("<=");
        encoded(x_ << fraction, base32);
        encoded(y_ << fraction, base32);
        const std::int64_t n = rnd_.chance(25) ? rnd_.between(10, 80) : rnd_.between(1, 9);
        for (std::int64_t i = 0; i < n; ++i) {
            const std::int64_t dx = rnd_.between(-300, 300);
            const std::int64_t dy = rnd_.between(-300, 300);
            x_ = clampX(x_ + dx);
            y_ = clampY(y_ + dy);
            encoded(dx << fraction, base32);
            encoded(dy << fraction, base32);
        }
        put(";\n");
    }

    void arc() {
        maybePen();
        moveTo();
        switch (rnd_.below(3)) {
            case 0:
                put("PD;AA");
                pair(x_ + rnd_.between(-800, 800), y_ + rnd_.between(-800, 800));
                put(",");
                number(rnd_.between(-359, 359));
                break;
            case 1:
                put("PD;AR");
                pair(rnd_.between(-800, 800), rnd_.between(-800, 800));
                put(",");
                number(rnd_.between(-180, 180));
                break;
            default:
                put("PD;AT");
                pair(x_ + rnd_.between(200, 600), y_ + rnd_.between(200, 600));
                put(",");
                pair(x_ + rnd_.between(700, 1200), y_ + rnd_.between(-100, 100));
                break;
        }
        put(";PU;\n");
    }

    void circle() {
        maybePen();
        moveTo();
        put("CI");
        number(rnd_.between(20, 2000));
        if (rnd_.chance(20)) put(",5");
        put(";\n");
    }

    void rectangle() {
        maybePen();
        moveTo();
        static const char* const kinds[] = {"EA", "ER", "RA", "RR"};
        const int k = static_cast<int>(rnd_.below(4));
        put(kinds[k]);
        const std::int64_t w = rnd_.between(50, 3000);
        const std::int64_t h = rnd_.between(50, 3000);
        if (k == 0 || k == 2) {
            pair(x_ + w, y_ + h);
        } else {
            pair(w, h);
        }
        put(";\n");
    }

    void wedge() {
        maybePen();
        moveTo();
        put(rnd_.chance(50) ? "WG" : "EW");
        number(rnd_.between(50, 1500));
        put(",");
        number(rnd_.between(0, 359));
        put(",");
        number(rnd_.between(10, 350));
        put(";\n");
    }

    void polygon() {
        maybePen();
        moveTo();
        put("PM0;PD");
        const std::int64_t n = rnd_.between(3, 12);
        for (std::int64_t i = 0; i < n; ++i) {
            if (i > 0) put(",");
            pair(clampX(x_ + rnd_.between(-1000, 1000)), clampY(y_ + rnd_.between(-1000, 1000)));
        }
        put(";PU;PM2;");
        put(rnd_.chance(50) ? "FP;EP;\n" : "EP;\n");
    }

    void label() {
        static const char* const words[] = {
            "R12",   "C4",      "10k",   "GND", "VCC",   "Part", "No.", "1234-5", "Rev", "B",
            "DRAWN", "CHECKED", "Scale", "1:1", "Sheet", "of",   "U7",  "74HC00", "Q2",  "2N3904"};
        maybePen();
        moveTo();
        if (rnd_.chance(5)) {
            put("DI");
            pair(rnd_.between(-1, 1), 1);
            put(";");
        }
        if (rnd_.chance(5)) {
            put("SI");
            decimal(rnd_.between(1, 6));
            put(",");
            decimal(rnd_.between(2, 8));
            put(";");
        }
        put("LB");
        const std::int64_t n = rnd_.between(1, 4);
        for (std::int64_t i = 0; i < n; ++i) {
            if (i > 0) put(" ");
            put(words[rnd_.below(20)]);
        }
        put("\x03\n");
    }

    PlotKind kind_;
    Random rnd_;
    std::string* out_ = nullptr;
    std::int64_t x_ = kPageWidth / 2;
    std::int64_t y_ = kPageHeight / 2;
};

template <class Sink>
bool generate(PlotKind kind, std::uint64_t targetBytes, std::uint64_t seed, Sink&& sink) {
    Writer w(kind, seed);
    std::string text;
    w.prologue(text);
    std::uint64_t written = 0;
    while (written + text.size() < targetBytes) {
        w.group(text);
        if (text.size() >= (1u << 20)) {
            if (!sink(text)) return false;
            written += text.size();
            text.clear();
        }
    }
    text += "PU;SP0;\n";
    return sink(text);
}

}  // namespace

bool writePlot(std::FILE* out, PlotKind kind, std::uint64_t targetBytes, std::uint64_t seed) {
    return generate(kind, targetBytes, seed, [out](const std::string& text) {
        return std::fwrite(text.data(), 1, text.size(), out) == text.size();
    });
}

std::string makePlot(PlotKind kind, std::uint64_t targetBytes, std::uint64_t seed) {
    std::string all;
    generate(kind, targetBytes, seed, [&all](const std::string& text) {
        all += text;
        return true;
    });
    return all;
}

bool plotKindFromName(const std::string& name, PlotKind& kind) {
    if (name == "mixed") {
        kind = PlotKind::kMixed;
    } else if (name == "strokes") {
        kind = PlotKind::kStrokes;
    } else {
        return false;
    }
    return true;
}
