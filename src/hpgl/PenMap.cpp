#include "hpgl/PenMap.h"

#include <cstdio>
#include <exception>

#include "base/PlatformFile.h"

namespace {

// A line is read into a buffer of this size: longer lines come in pieces of at most 254 bytes,
// each treated as a line of its own.
constexpr size_t kLineBuffer = 255;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads one "%d" conversion: white space, an optional sign and at least one digit, the value
// within 32 bits. Advances p past what was read.
bool readInt(const char*& p, int32_t& out) {
    while (isSpace(*p))
        ++p;
    const char* q = p;
    const bool negative = *q == '-';
    if (*q == '+' || *q == '-') ++q;
    if (*q < '0' || *q > '9') return false;
    int64_t v = 0;
    for (; *q >= '0' && *q <= '9'; ++q) {
        v = v * 10 + (*q - '0');
        if (v > int64_t{INT32_MAX} + 1) return false;
    }
    if (negative) v = -v;
    if (v < INT32_MIN || v > INT32_MAX) return false;
    out = static_cast<int32_t>(v);
    p = q;
    return true;
}

// Three numbers as "%d %d %d" would scan them.
bool scanEntry(const char* line, PenMapEntry& e) {
    const char* p = line;
    return readInt(p, e.pen) && readInt(p, e.colour) && readInt(p, e.style);
}

}  // namespace

int PenMap::read(const std::string& path) {
    if (path.empty()) return 0;
    // A pipe is read to its end; a directory or a device is no pen map.
    int error = 0;
    std::FILE* f = platform::openInput(path, true, error).releaseToStream("r");
    if (f == nullptr) return 0;
    try {
        char line[kLineBuffer];
        while (std::fgets(line, sizeof line, f) != nullptr) {
            // Cut at the first carriage return or line feed.
            for (char* c = line; *c != '\0'; ++c) {
                if (*c == '\r' || *c == '\n') {
                    *c = '\0';
                    break;
                }
            }
            if (line[0] == '#' || line[0] == '\0') continue;
            PenMapEntry e;
            if (!scanEntry(line, e)) continue;
            if (e.pen < 0 || e.colour < 0 || e.colour > 15 || e.style < 0 || e.style > 3 ||
                find(e.pen) != nullptr) {
                break;
            }
            entries_.push_back(e);
            index_.emplace(e.pen, entries_.size() - 1);
        }
    } catch (const std::exception&) {
        // Out of memory: the entries read so far stay in force.
        if (index_.size() != entries_.size()) entries_.pop_back();
    }
    std::fclose(f);
    return 0;
}

const PenMapEntry* PenMap::find(int32_t pen) const {
    const auto it = index_.find(pen);
    return it == index_.end() ? nullptr : &entries_[it->second];
}

int32_t PenMap::defaultColour(int32_t pen) {
    return pen < 16 ? pen : ((pen - 16) % 15) + 1;
}

int32_t PenMap::defaultStyle(int32_t pen) {
    return pen < 1 ? 1 : (((pen - 1) / 15) % 3) + 1;
}

int32_t PenMap::colourOf(int32_t pen) const {
    const PenMapEntry* e = find(pen);
    return e != nullptr ? e->colour : defaultColour(pen);
}

int32_t PenMap::styleOf(int32_t pen) const {
    const PenMapEntry* e = find(pen);
    return e != nullptr ? e->style : defaultStyle(pen);
}
