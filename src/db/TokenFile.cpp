#include "db/TokenFile.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "base/DecimalFormat.h"

namespace {

constexpr std::size_t kReadBufferSize = 64 * 1024;
// Longest text a number may take on input (digits of a very long fraction included).
constexpr std::size_t kMaxNumberText = 400;

bool isBlank(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(int c) {
    return c >= '0' && c <= '9';
}

// Takes the run of decimal digits from p (up to end) into v; overflow is set once v passes
// limit, and the rest of the run is passed over all the same. Returns where the run stops.
const char* scanDigits(const char* p, const char* end, std::uint64_t limit, std::uint64_t& v,
                       bool& overflow) {
    for (; p < end && isDigit(static_cast<unsigned char>(*p)); ++p) {
        if (!overflow) {
            v = v * 10 + static_cast<std::uint64_t>(*p - '0');
            if (v > limit) overflow = true;
        }
    }
    return p;
}

// How many of the eight bytes of chunk (first byte lowest) lead as decimal digits.
unsigned leadingDigitCount(std::uint64_t chunk) {
    // A digit byte has the high nibble 3, and keeps it when 6 is added. A carry out of a byte
    // that is no digit can spoil only the bytes after it, which are not counted.
    constexpr std::uint64_t kHigh = 0xF0F0F0F0F0F0F0F0u;
    constexpr std::uint64_t kThrees = 0x3030303030303030u;
    const std::uint64_t other =
        ((chunk & kHigh) ^ kThrees) | (((chunk + 0x0606060606060606u) & kHigh) ^ kThrees);
    return other == 0 ? 8u : static_cast<unsigned>(__builtin_ctzll(other)) / 8u;
}

// The value of the first n digit bytes of chunk (1 <= n <= 8).
std::uint64_t digitValue(std::uint64_t chunk, unsigned n) {
    // The digits move to the top, the bytes after them drop out and zeros lead; then pairs,
    // quads and the octet are combined, each lane staying below its width.
    std::uint64_t v = (chunk - 0x3030303030303030u) << (8 * (8 - n));
    v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FFu;
    v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFu;
    return (v * 10000 + (v >> 32)) & 0xFFFFFFFFu;
}

constexpr std::uint64_t kPowersOfTen[9] = {1,      10,      100,      1000,     10000,
                                           100000, 1000000, 10000000, 100000000};

// Takes the run of decimal digits at p into value, eight bytes at a time, when the run ends
// before end with room to look ahead and has at most 16 digits (which cannot pass 64 bits).
// False, with p and value left as they were, otherwise.
bool takeDigitRun(const char*& p, const char* end, std::uint64_t& value) {
    if constexpr (std::endian::native != std::endian::little) return false;
    std::uint64_t v = 0;
    const char* q = p;
    for (int round = 0; round < 2; ++round) {
        if (end - q < 8) return false;
        std::uint64_t chunk;
        std::memcpy(&chunk, q, 8);
        const unsigned n = leadingDigitCount(chunk);
        if (n != 0) v = v * kPowersOfTen[n] + digitValue(chunk, n);
        q += n;
        if (n < 8) {
            p = q;
            value = v;
            return true;
        }
    }
    return false;
}

// An integer taken from buffered bytes: where it ends (null when it may run on past them), its
// magnitude and sign, and whether it had a digit.
struct ScannedInteger {
    const char* next = nullptr;
    std::uint64_t magnitude = 0;
    bool negative = false;
    bool any = false;
};

// Blanks, an optional "+" (or "-" when allowMinus) and a run of digits from [p, end), as the
// integer reads take them.
inline ScannedInteger scanInteger(const char* p, const char* end, bool allowMinus) {
    ScannedInteger n;
    while (p < end && isBlank(static_cast<unsigned char>(*p)))
        ++p;
    if (p < end && (*p == '+' || (allowMinus && *p == '-'))) {
        n.negative = *p == '-';
        ++p;
    }
    const char* digits = p;
    if (takeDigitRun(p, end, n.magnitude)) {
        n.next = p;
        n.any = p != digits;
    }
    return n;
}

}  // namespace

TokenFile::TokenFile() = default;

TokenFile::~TokenFile() {
    close();
}

void TokenFile::reset() {
    writeError_ = false;
    readError_ = false;
    reading_ = false;
    pos_ = len_ = 0;
    base_ = 0;
    writeLen_ = 0;
}

int TokenFile::open(const std::string& path, int mode) {
    close();
    using platform::OpenMode;
    static const OpenMode kModes[] = {OpenMode::Read,         OpenMode::Write,
                                      OpenMode::Append,       OpenMode::ReadWrite,
                                      OpenMode::ReadWriteNew, OpenMode::ReadAppend};
    if (mode < 0 || mode > 5) return 0;
    owned_ = platform::openFile(path, kModes[mode], 0, openError_);
    if (!owned_.isOpen()) return 0;
    reset();
    file_ = &owned_;
    return 1;
}

void TokenFile::attach(platform::File& file) {
    close();
    reset();
    file_ = &file;
}

int TokenFile::close() {
    if (file_ == nullptr) return 1;
    bool ok = flushWrite();
    if (file_ == &owned_ && !owned_.close()) ok = false;
    file_ = nullptr;
    if (writeError_) ok = false;
    reset();
    return ok ? 1 : 0;
}

bool TokenFile::failed() const {
    return file_ == nullptr || writeError_ || readError_;
}

long TokenFile::tell() const {
    if (file_ == nullptr) return -1;
    if (reading_) return base_ + static_cast<long>(pos_);
    long long at = file_->seek(0, 1);
    if (at < 0) return -1;
    return static_cast<long>(at) + static_cast<long>(writeLen_);
}

int TokenFile::seek(long offset, int origin) {
    if (file_ == nullptr) return 0;
    if (!flushWrite()) return 0;
    long target = offset;
    if (origin == 1) {
        long here = tell();
        if (here < 0) return 0;
        target = here + offset;
    } else if (origin != 0 && origin != 2) {
        return 0;
    }
    if (origin != 2 && target < 0) return 0;
    if (origin != 2 && reading_ && target >= base_ && target <= base_ + static_cast<long>(len_)) {
        pos_ = static_cast<std::size_t>(target - base_);
        return 1;
    }
    reading_ = false;
    pos_ = len_ = 0;
    return file_->seek(origin == 2 ? offset : target, origin == 2 ? 2 : 0) >= 0 ? 1 : 0;
}

int TokenFile::flush() {
    if (file_ == nullptr) return 0;
    bool ok = flushWrite();
    return ok && !failed() ? 1 : 0;
}

bool TokenFile::enterWriting() {
    if (!reading_) return true;
    // Reading and writing share one file position: give back what was read ahead.
    long at = base_ + static_cast<long>(pos_);
    reading_ = false;
    pos_ = len_ = 0;
    return file_->seek(at, 0) >= 0;
}

bool TokenFile::flushWrite() {
    if (writeLen_ == 0) return true;
    if (file_ == nullptr || !enterWriting() || !file_->write(writeBuffer_.get(), writeLen_))
        writeError_ = true;
    writeLen_ = 0;
    return !writeError_;
}

void TokenFile::makeRoom() {
    if (!writeBuffer_) {
        writeBuffer_ = std::make_unique<char[]>(kWriteBufferSize);
        writeLen_ = 0;
    }
    if (kWriteBufferSize - writeLen_ < kMaxReserve) flushWrite();
}

void TokenFile::append(const char* data, std::size_t n) {
    if (file_ == nullptr) return;
    if (n <= kMaxReserve) {
        char* p = reserve(n);
        std::memcpy(p, data, n);
        writeLen_ += n;
        return;
    }
    // A long text goes to the file past the buffer.
    if (!flushWrite() || !enterWriting() || !file_->write(data, n)) writeError_ = true;
}

TokenFile& TokenFile::writeString(const char* text) {
    if (text != nullptr) append(text, std::strlen(text));
    return *this;
}

TokenFile& TokenFile::writeString(std::string_view text) {
    append(text.data(), text.size());
    return *this;
}

TokenFile& TokenFile::writeUnsigned(std::uint32_t value) {
    commit(formatDecimal(reserve(kMaxDecimalChars), value));
    return *this;
}

TokenFile& TokenFile::writeSigned(std::int32_t value) {
    commit(formatDecimal(reserve(kMaxDecimalChars), value));
    return *this;
}

TokenFile& TokenFile::writeLong(long value) {
    commit(formatDecimal(reserve(kMaxDecimalChars), static_cast<std::int64_t>(value)));
    return *this;
}

TokenFile& TokenFile::writeDouble(double value) {
    // Fixed point with six decimals, independent of the process locale. The largest doubles
    // take 309 digits before the point.
    char buf[400];
    auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 6);
    if (result.ec == std::errc()) append(buf, static_cast<std::size_t>(result.ptr - buf));
    return *this;
}

TokenFile& TokenFile::writeChar(char c) {
    char* p = reserve(1);
    *p = c;
    commit(p + 1);
    return *this;
}

int TokenFile::fillBuffer() {
    if (file_ == nullptr || readError_) return 0;
    if (!reading_) {
        if (writeLen_ != 0 && !flushWrite()) return 0;
        long long at = file_->seek(0, 1);
        base_ = at < 0 ? 0 : static_cast<long>(at);
        len_ = pos_ = 0;
        reading_ = true;
    }
    if (buffer_.size() != kReadBufferSize) buffer_.resize(kReadBufferSize);
    base_ += static_cast<long>(len_);
    pos_ = 0;
    len_ = 0;
    // Fills the buffer as far as the file goes (a pipe hands over its data in parts).
    while (len_ < buffer_.size()) {
        long long n = file_->read(buffer_.data() + len_, buffer_.size() - len_);
        if (n < 0) readError_ = true;
        if (n <= 0) break;
        len_ += static_cast<std::size_t>(n);
    }
    return len_ > 0 ? 1 : 0;
}

int TokenFile::peekByte() {
    if (!reading_ || pos_ >= len_) {
        if (!fillBuffer()) return -1;
    }
    return static_cast<unsigned char>(buffer_[pos_]);
}

void TokenFile::skipBlanks() {
    // Whole runs of the buffer at a time; a run that reaches its end continues after a refill.
    while (peekByte() >= 0) {
        const char* p = buffer_.data() + pos_;
        const char* end = buffer_.data() + len_;
        const char* q = p;
        while (q < end && isBlank(static_cast<unsigned char>(*q)))
            ++q;
        pos_ += static_cast<std::size_t>(q - p);
        if (q < end) return;
    }
}

bool TokenFile::takeDigits(std::uint64_t limit, std::uint64_t& v, bool& overflow) {
    bool any = false;
    while (peekByte() >= 0) {
        const char* p = buffer_.data() + pos_;
        const char* end = buffer_.data() + len_;
        const char* q = scanDigits(p, end, limit, v, overflow);
        any = any || q != p;
        pos_ += static_cast<std::size_t>(q - p);
        if (q < end) break;
    }
    return any;
}

bool TokenFile::readMagnitude(bool allowMinus, std::uint64_t limit, bool& negative,
                              std::uint64_t& v) {
    negative = false;
    v = 0;
    // Nearly every number lies wholly in the buffered bytes and is read straight from them.
    // One that reaches the end of the buffer is read again below, where refills are handled.
    if (reading_ && pos_ < len_) {
        const ScannedInteger n =
            scanInteger(buffer_.data() + pos_, buffer_.data() + len_, allowMinus);
        if (n.next != nullptr) {
            pos_ = static_cast<std::size_t>(n.next - buffer_.data());
            negative = n.negative;
            v = n.magnitude;
            return n.any && n.magnitude <= limit;
        }
    }
    bool overflow = false;
    skipBlanks();
    const int c = peekByte();
    if (c == '+' || (allowMinus && c == '-')) {
        negative = c == '-';
        ++pos_;
    }
    const bool any = takeDigits(limit, v, overflow);
    return any && !overflow;
}

bool TokenFile::atEnd() {
    skipBlanks();
    return peekByte() < 0;
}

const char* TokenFile::bufferedAfterBlanks() const {
    if (!reading_ || pos_ >= len_) return nullptr;
    const char* const end = buffer_.data() + len_;
    const char* p = buffer_.data() + pos_;
    while (p < end && isBlank(static_cast<unsigned char>(*p)))
        ++p;
    return p;
}

bool TokenFile::readBufferedToken(std::string_view& out, bool& ok) {
    const char* p = bufferedAfterBlanks();
    if (p == nullptr) return false;
    const char* const begin = buffer_.data();
    const char* const end = begin + len_;
    const char* start = p;
    while (p < end && !isBlank(static_cast<unsigned char>(*p)))
        ++p;
    if (p == end) return false;
    out = std::string_view(start, static_cast<std::size_t>(p - start));
    pos_ = static_cast<std::size_t>(p - begin);
    ok = !out.empty() && out.size() <= kMaxToken;
    return true;
}

bool TokenFile::readToken(std::string& out) {
    // A token that ends inside the buffered bytes is taken in one piece; one that reaches the
    // end of the buffer is read again below, across refills.
    std::string_view buffered;
    bool ok = false;
    if (readBufferedToken(buffered, ok)) {
        out.assign(buffered);
        return ok;
    }
    out.clear();
    skipBlanks();
    for (;;) {
        int c = peekByte();
        if (c < 0 || isBlank(c)) break;
        // Take the whole run of non-blank bytes in this buffer at once.
        std::size_t start = pos_;
        while (pos_ < len_ && !isBlank(static_cast<unsigned char>(buffer_[pos_])))
            ++pos_;
        out.append(buffer_.data() + start, pos_ - start);
        if (out.size() > kMaxToken) return false;
    }
    return !out.empty();
}

bool TokenFile::readTokenView(std::string_view& out) {
    bool ok = false;
    if (readBufferedToken(out, ok)) return ok;
    ok = readToken(tokenCopy_);
    out = tokenCopy_;
    return ok;
}

bool TokenFile::readNumberText(std::string_view allowed, char* buf, std::size_t size) {
    // Collects the longest run of bytes from `allowed`; the caller checks its form.
    std::size_t n = 0;
    for (;;) {
        int c = peekByte();
        if (c < 0 || allowed.find(static_cast<char>(c)) == std::string_view::npos) break;
        if (n + 1 >= size) return false;
        buf[n++] = static_cast<char>(c);
        ++pos_;
    }
    buf[n] = '\0';
    return n > 0;
}

bool TokenFile::readUnsigned(std::uint32_t& out) {
    bool negative = false;
    std::uint64_t v = 0;
    if (!readMagnitude(false, std::numeric_limits<std::uint32_t>::max(), negative, v)) return false;
    out = static_cast<std::uint32_t>(v);
    return true;
}

bool TokenFile::readSigned(std::int32_t& out) {
    bool negative = false;
    std::uint64_t magnitude = 0;
    if (!readMagnitude(true,
                       static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) + 1,
                       negative, magnitude))
        return false;
    std::int64_t v = static_cast<std::int64_t>(magnitude);
    if (negative) v = -v;
    if (v > std::numeric_limits<std::int32_t>::max()) return false;
    out = static_cast<std::int32_t>(v);
    return true;
}

bool TokenFile::readLong(std::int32_t& out) {
    return readSigned(out);
}

bool TokenFile::readLongs(std::int32_t* out, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const ScannedInteger v = reading_ && pos_ < len_ ? scanInteger(buffer_.data() + pos_,
                                                                       buffer_.data() + len_, true)
                                                         : ScannedInteger{};
        if (v.next == nullptr) {
            if (!readSigned(out[i])) return false;
            continue;
        }
        pos_ = static_cast<std::size_t>(v.next - buffer_.data());
        // Within the 32-bit signed range: down to -2^31, up to 2^31 - 1.
        if (!v.any || v.magnitude > (v.negative ? 0x80000000u : 0x7FFFFFFFu)) return false;
        out[i] = v.negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(v.magnitude))
                            : static_cast<std::int32_t>(v.magnitude);
    }
    return true;
}

bool TokenFile::readSigned16(std::int32_t& out) {
    std::int32_t v = 0;
    if (!readSigned(v)) return false;
    out = static_cast<std::int32_t>(static_cast<std::uint32_t>(v) & 0xFFFFu);
    return true;
}

bool TokenFile::readUnsigned16(std::uint32_t& out) {
    skipBlanks();
    std::uint32_t v = 0;
    if (peekByte() == '-') {
        std::int32_t s = 0;
        if (!readSigned(s)) return false;
        v = static_cast<std::uint32_t>(s);
    } else if (!readUnsigned(v)) {
        return false;
    }
    out = v & 0xFFFFu;
    return true;
}

bool TokenFile::readBufferedDouble(double& out) {
    // The same form as below, scanned in the buffered bytes and converted where it lies; any
    // number that does not plainly convert is left to the reading below.
    const char* p = bufferedAfterBlanks();
    if (p == nullptr) return false;
    const char* const begin = buffer_.data();
    const char* const end = begin + len_;
    const char* text = p;
    if (p < end && (*p == '+' || *p == '-')) {
        if (*p == '+') text = p + 1;  // the conversion takes no "+"
        ++p;
    }
    std::size_t digits = 0;
    bool seenPoint = false;
    for (; p < end; ++p) {
        if (isDigit(static_cast<unsigned char>(*p))) {
            ++digits;
        } else if (*p == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (digits == 0) return false;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p < end && (*p == '+' || *p == '-')) ++p;
        const char* const exponent = p;
        while (p < end && isDigit(static_cast<unsigned char>(*p)))
            ++p;
        if (p == exponent || p - exponent > 30) return false;
    }
    // Long texts (which may pass the limits above) go the long way.
    if (p >= end || p - text > 64) return false;
    double v = 0.0;
    auto result = std::from_chars(text, p, v, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != p || !std::isfinite(v)) return false;
    pos_ = static_cast<std::size_t>(p - begin);
    out = v;
    return true;
}

bool TokenFile::readDouble(double& out) {
    if (readBufferedDouble(out)) return true;
    skipBlanks();
    char buf[kMaxNumberText + 8];
    std::size_t n = 0;
    int c = peekByte();
    if (c == '+' || c == '-') {
        if (c == '-') buf[n++] = '-';
        ++pos_;
    }
    std::size_t mantissaDigits = 0;
    bool seenPoint = false;
    for (;;) {
        c = peekByte();
        if (isDigit(c)) {
            ++mantissaDigits;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
        if (n >= kMaxNumberText) return false;
        buf[n++] = static_cast<char>(c);
        ++pos_;
    }
    if (mantissaDigits == 0) return false;
    c = peekByte();
    if (c == 'e' || c == 'E') {
        buf[n++] = 'e';
        ++pos_;
        c = peekByte();
        if (c == '+' || c == '-') {
            buf[n++] = static_cast<char>(c);
            ++pos_;
        }
        char digits[32];
        if (!readNumberText("0123456789", digits, sizeof digits)) return false;
        std::size_t k = std::strlen(digits);
        if (n + k >= sizeof buf) return false;
        std::memcpy(buf + n, digits, k);
        n += k;
    }
    double v = 0.0;
    auto result = std::from_chars(buf, buf + n, v, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != buf + n || !std::isfinite(v)) return false;
    out = v;
    return true;
}

bool TokenFile::skipRestOfLine() {
    bool any = false;
    for (;;) {
        if (peekByte() < 0) return any;
        any = true;
        const char* start = buffer_.data() + pos_;
        const void* nl = std::memchr(start, '\n', len_ - pos_);
        if (nl != nullptr) {
            pos_ += static_cast<std::size_t>(static_cast<const char*>(nl) - start) + 1;
            return true;
        }
        pos_ = len_;
    }
}

bool TokenFile::readLine(std::string& out) {
    return readLine(out, std::numeric_limits<std::size_t>::max());
}

bool TokenFile::readLine(std::string& out, std::size_t limit, bool keepCarriageReturn) {
    out.clear();
    bool any = false;
    for (;;) {
        if (peekByte() < 0) break;
        any = true;
        const char* start = buffer_.data() + pos_;
        const void* nl = std::memchr(start, '\n', len_ - pos_);
        if (nl != nullptr) {
            std::size_t k = static_cast<std::size_t>(static_cast<const char*>(nl) - start);
            if (k > limit - out.size()) {
                k = limit - out.size();
                out.append(start, k);
                pos_ += k;
                return true;
            }
            out.append(start, k);
            pos_ += k + 1;
            if (!keepCarriageReturn && !out.empty() && out.back() == '\r') out.pop_back();
            return true;
        }
        std::size_t k = std::min(len_ - pos_, limit - out.size());
        out.append(start, k);
        pos_ += k;
        if (out.size() >= limit) return true;
    }
    return any;
}

bool TokenFile::readLines(std::uint32_t n, std::string& out) {
    out.clear();
    std::string line;
    for (std::uint32_t i = 0; i < n; ++i) {
        if (!readLine(line)) return false;
        if (i > 0) out.push_back('\n');
        out += line;
    }
    return true;
}

std::uint32_t TokenFile::takeIdentifier() {
    for (;;) {
        if (nextId_ == 0) nextId_ = 1;
        std::uint32_t id = nextId_++;
        if (reserved_ == nullptr || !std::binary_search(reserved_->begin(), reserved_->end(), id))
            return id;
    }
}
