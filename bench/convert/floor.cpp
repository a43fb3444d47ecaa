// bench_floor PLOT OUTPUT BYTES: the least a converter of PLOT into a file of BYTES bytes must
// do. It reads the plot, reads every number in it (decimal parameters, and the base-64 and
// base-32 numbers of encoded polylines), scales each to an integer coordinate, writes lines of
// those coordinates until the output has BYTES bytes, and replaces OUTPUT the way a careful
// program does (a temporary file beside it, synced, renamed, the directory synced). The
// benchmark compares the converter's CPU time with this program's on the same plot.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The coordinates read, as the integers a converter would write.
std::vector<std::int64_t> values;

enum class Mode { kNormal, kLabel, kEncoded };

// Reads every number of the plot.
bool readPlot(const char* path) {
    const int fd = ::open(path, O_RDONLY);
    if (fd < 0) return false;
    std::vector<unsigned char> buf(1 << 18);
    Mode mode = Mode::kNormal;
    char prev = 0;
    bool base32 = false;
    // A decimal number being read: digits so far, a fraction's scale, its sign.
    bool inNumber = false;
    std::int64_t digits = 0;
    std::int64_t scale = 1;
    bool negative = false;
    bool fraction = false;
    // An encoded number being read.
    std::uint64_t magnitude = 0;
    std::uint64_t power = 1;
    auto endNumber = [&]() {
        if (!inNumber) return;
        const double v = static_cast<double>(negative ? -digits : digits) / scale * 40.0;
        values.push_back(static_cast<std::int64_t>(v < 0 ? v - 0.5 : v + 0.5));
        inNumber = false;
    };
    for (;;) {
        const ssize_t n = ::read(fd, buf.data(), buf.size());
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        for (ssize_t i = 0; i < n; ++i) {
            const unsigned char c = buf[static_cast<size_t>(i)];
            if (mode == Mode::kLabel) {
                if (c == 3) mode = Mode::kNormal;
                continue;
            }
            if (mode == Mode::kEncoded) {
                if (c == ';') {
                    mode = Mode::kNormal;
                } else if (c == '7') {
                    base32 = true;
                } else if (c >= 63) {
                    const std::uint64_t base = base32 ? 32 : 64;
                    std::uint64_t d = c - 63u;
                    const bool last = d >= (base32 ? 32u : 128u);
                    if (last) d -= base32 ? 32u : 128u;
                    magnitude += d * power;
                    power *= base;
                    if (last) {
                        const std::int64_t v = (magnitude & 1) != 0
                                                   ? -static_cast<std::int64_t>(magnitude / 2)
                                                   : static_cast<std::int64_t>(magnitude / 2);
                        values.push_back(v * 40);
                        magnitude = 0;
                        power = 1;
                    }
                }
                continue;
            }
            if (c >= '0' && c <= '9') {
                if (!inNumber) {
                    inNumber = true;
                    digits = 0;
                    scale = 1;
                    fraction = false;
                    negative = prev == '-';
                }
                digits = digits * 10 + (c - '0');
                if (fraction) scale *= 10;
            } else if (c == '.' && inNumber) {
                fraction = true;
            } else {
                endNumber();
                if (prev == 'L' && c == 'B') mode = Mode::kLabel;
                if (prev == 'P' && c == 'E') {
                    mode = Mode::kEncoded;
                    base32 = false;
                }
            }
            prev = static_cast<char>(c);
        }
    }
    endNumber();
    ::close(fd);
    return true;
}

char* formatInt(std::int64_t v, char* p) {
    char tmp[24];
    char* e = tmp + sizeof tmp;
    char* s = e;
    std::uint64_t m = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    do {
        *--s = static_cast<char>('0' + m % 10);
        m /= 10;
    } while (m != 0);
    if (v < 0) *--s = '-';
    std::memcpy(p, s, static_cast<size_t>(e - s));
    return p + (e - s);
}

bool writeAll(int fd, const char* p, size_t n) {
    while (n > 0) {
        const ssize_t k = ::write(fd, p, n);
        if (k <= 0) return false;
        p += k;
        n -= static_cast<size_t>(k);
    }
    return true;
}

// Lines "$Point x y 0" of the values read (over again when they run out) up to exactly bytes.
bool writeOutput(const std::string& target, std::uint64_t bytes) {
    const std::string dir = target.find('/') == std::string::npos
                                ? std::string(".")
                                : target.substr(0, target.rfind('/'));
    const std::string temp = target + ".floor-tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_TRUNC, 0666);
    if (fd < 0) return false;
    std::vector<char> buf(1 << 18);
    size_t used = 0;
    std::uint64_t written = 0;
    size_t k = 0;
    bool ok = true;
    while (ok && written < bytes) {
        if (used + 64 > buf.size()) {
            ok = writeAll(fd, buf.data(), used);
            written += used;
            used = 0;
            continue;
        }
        char* p = buf.data() + used;
        std::memcpy(p, "$Point ", 7);
        p = formatInt(values.empty() ? 0 : values[k % values.size()], p + 7);
        *p++ = ' ';
        p = formatInt(values.empty() ? 0 : values[(k + 1) % values.size()], p);
        std::memcpy(p, " 0\n", 3);
        p += 3;
        k += 2;
        used = static_cast<size_t>(p - buf.data());
        if (written + used >= bytes) {
            used = static_cast<size_t>(bytes - written);
            ok = writeAll(fd, buf.data(), used);
            written += used;
        }
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_floor PLOT OUTPUT BYTES\n");
        return 2;
    }
    if (!readPlot(argv[1])) {
        std::perror(argv[1]);
        return 1;
    }
    if (!writeOutput(argv[2], std::strtoull(argv[3], nullptr, 10))) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}
