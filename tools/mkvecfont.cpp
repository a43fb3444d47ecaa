// Builds a proportional single-byte ".vec" stroke font from a text file of glyph strokes.
//
//   mkvecfont input.strokes output.vec
//
// Input: "#" starts a comment. "scale S" multiplies every later number of the design (points,
// radii, advances, cell) by S, so glyphs are drawn on a coarse grid and stored on a finer one.
// "cell W H B" gives the cell width, the cell height and the baseline offset. "glyph CODE ADVANCE"
// starts a glyph (decimal character code, advance in cell units); every following non-empty line
// until the next "glyph" is one stroke, a list of tokens:
//   x,y                      a point (y relative to the baseline, may be negative)
//   a:cx,cy,rx,ry,a0,a1      an elliptic arc from angle a0 to a1 (degrees; clockwise when
//                            a1 < a0), in steps of at most 15 degrees and about 2.5 units of
//                            the stored grid, both ends included
// Points are rounded half away from zero; the baseline offset is added to every y.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Point {
    int x;
    int y;
};

struct Glyph {
    int advance = 0;
    std::vector<std::vector<Point>> strokes;
};

int roundHalfAway(double v) {
    return static_cast<int>(v < 0 ? v - 0.5 : v + 0.5);
}

bool fail(int line, const std::string& what) {
    std::cerr << "line " << line << ": " << what << "\n";
    return false;
}

bool parseNumbers(const std::string& text, std::vector<double>& out) {
    std::stringstream in(text);
    std::string item;
    out.clear();
    while (std::getline(in, item, ',')) {
        char* end = nullptr;
        double v = std::strtod(item.c_str(), &end);
        if (item.empty() || *end != '\0') return false;
        out.push_back(v);
    }
    return true;
}

bool parseStroke(const std::string& text, int line, double scale, std::vector<Point>& stroke) {
    std::stringstream in(text);
    std::string token;
    std::vector<double> v;
    while (in >> token) {
        if (token.rfind("a:", 0) == 0) {
            if (!parseNumbers(token.substr(2), v) || v.size() != 6)
                return fail(line, "bad arc " + token);
            const double kPi = 3.14159265358979323846;
            for (int k = 0; k < 4; ++k)
                v[static_cast<std::size_t>(k)] *= scale;
            double sweep = v[5] - v[4];
            double length = std::fabs(sweep) * kPi / 180.0 * std::max(v[2], v[3]);
            int byAngle = static_cast<int>(std::ceil(std::fabs(sweep) / 15.0));
            int byLength = static_cast<int>(std::ceil(length / 2.5));
            int steps = std::max(1, std::min(byAngle, byLength));
            for (int i = 0; i <= steps; ++i) {
                double a = (v[4] + sweep * i / steps) * kPi / 180.0;
                stroke.push_back({roundHalfAway(v[0] + v[2] * std::cos(a)),
                                  roundHalfAway(v[1] + v[3] * std::sin(a))});
            }
        } else {
            if (!parseNumbers(token, v) || v.size() != 2) return fail(line, "bad point " + token);
            stroke.push_back({roundHalfAway(v[0] * scale), roundHalfAway(v[1] * scale)});
        }
    }
    // Consecutive equal points (from rounding) add nothing, but a lone point stays a dot.
    std::vector<Point> cleaned;
    for (const Point& p : stroke)
        if (cleaned.empty() || cleaned.back().x != p.x || cleaned.back().y != p.y)
            cleaned.push_back(p);
    stroke = cleaned;
    return true;
}

void putBig(std::string& s, std::size_t at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        s[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * (bytes - 1 - i)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: mkvecfont input.strokes output.vec\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 1;
    }
    int cellWidth = 0, cellHeight = 0, baseline = 0;
    double scale = 1.0;
    std::map<int, Glyph> glyphs;
    Glyph* current = nullptr;
    std::string raw;
    int lineNo = 0;
    while (std::getline(in, raw)) {
        ++lineNo;
        std::string line = raw.substr(0, raw.find('#'));
        std::stringstream words(line);
        std::string keyword;
        if (!(words >> keyword)) continue;
        if (keyword == "scale") {
            if (!(words >> scale) || scale <= 0 || scale > 16) return fail(lineNo, "bad scale"), 1;
        } else if (keyword == "cell") {
            double w = 0, h = 0, b = 0;
            if (!(words >> w >> h >> b)) return fail(lineNo, "bad cell"), 1;
            cellWidth = roundHalfAway(w * scale);
            cellHeight = roundHalfAway(h * scale);
            baseline = roundHalfAway(b * scale);
        } else if (keyword == "glyph") {
            int code = 0;
            double design = 0;
            if (!(words >> code >> design) || code < 32 || code > 127 || glyphs.count(code))
                return fail(lineNo, "bad glyph line"), 1;
            int advance = roundHalfAway(design * scale);
            if (advance < 0 || advance > 255) return fail(lineNo, "bad advance"), 1;
            current = &glyphs[code];
            current->advance = advance;
        } else {
            if (!current) return fail(lineNo, "stroke outside a glyph"), 1;
            std::vector<Point> stroke;
            if (!parseStroke(line, lineNo, scale, stroke)) return 1;
            for (const Point& p : stroke)
                if (p.x < 0 || p.x > 127 || p.y + baseline < 0 || p.y + baseline > 127)
                    return fail(lineNo, "point outside the 7-bit grid"), 1;
            if (!stroke.empty()) current->strokes.push_back(stroke);
        }
    }
    if (cellWidth <= 0 || cellHeight <= 0) return fail(lineNo, "no cell line"), 1;

    // Header, proportional index (5-byte records, code c at index bytes 5c - 1 .. 5c + 3), data.
    const std::uint32_t kHeader = 160;
    const std::uint32_t indexSize = 5 * 128;
    std::string index(indexSize, '\0');
    std::string data;
    for (const auto& [code, glyph] : glyphs) {
        std::string bytes;
        for (const auto& stroke : glyph.strokes) {
            for (std::size_t i = 0; i < stroke.size(); ++i) {
                bytes.push_back(static_cast<char>((i > 0 ? 0x80 : 0) | stroke[i].x));
                bytes.push_back(static_cast<char>(stroke[i].y + baseline));
            }
        }
        if (bytes.size() > 254) return fail(0, "glyph " + std::to_string(code) + " too long"), 1;
        std::size_t at = 5 * static_cast<std::size_t>(code) - 1;
        putBig(index, at, kHeader + indexSize + static_cast<std::uint32_t>(data.size()), 3);
        index[at + 3] = static_cast<char>(bytes.size());
        index[at + 4] = static_cast<char>(glyph.advance);
        data += bytes;
    }
    std::string header(kHeader, '\0');
    header.replace(0, 12, "trazon font ");
    putBig(header, 16, 1u | (1u << 16) | (1u << 17), 4);  // single-byte, baseline, proportional
    putBig(header, 20, static_cast<std::uint32_t>(cellWidth), 4);
    putBig(header, 24, static_cast<std::uint32_t>(cellHeight), 4);
    putBig(header, 28, static_cast<std::uint32_t>(baseline), 4);
    putBig(header, 32, indexSize, 4);
    putBig(header, 36, static_cast<std::uint32_t>(data.size()), 4);

    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << header << index << data;
    if (!out) {
        std::cerr << "cannot write " << argv[2] << "\n";
        return 1;
    }
    std::cout << glyphs.size() << " glyphs, " << data.size() << " bytes of strokes\n";
    return 0;
}
