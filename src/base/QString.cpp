#include "base/QString.h"

#include <cstdint>
#include <cstring>

#include "base/StringPool.h"
#include "base/StringUtil.h"

namespace {

constexpr std::size_t kMaxLength = UINT32_MAX - 1;

}  // namespace

char* QString::takeBuffer(std::size_t size, std::uint32_t* capacity) {
    if (size > kMaxLength + 1) {
        recordError(513, kSeverityError);
        return nullptr;
    }
    std::size_t usable = 0;
    char* block = poolAllocate(size, &usable);
    if (!block) {
        recordError(513, kSeverityError);
        return nullptr;
    }
    *capacity = usable > kMaxLength + 1 ? static_cast<std::uint32_t>(kMaxLength + 1)
                                        : static_cast<std::uint32_t>(usable);
    return block;
}

void QString::releaseBuffer() {
    if (data_) poolRelease(data_, poolBlockSize(capacity_));
    data_ = nullptr;
    length_ = 0;
    capacity_ = 0;
}

QString::QString() {
    std::uint32_t capacity = 0;
    if (char* block = takeBuffer(1, &capacity)) {
        block[0] = '\0';
        data_ = block;
        capacity_ = capacity;
    }
}

QString::QString(const char* text) : QString() {
    if (text) assign(text, std::strlen(text));
}

QString::QString(std::string_view text) : QString() {
    assign(text.data(), text.size());
}

QString::QString(const QString& other) : QString() {
    assign(other.data_, other.length_);
}

QString::QString(QString&& other) noexcept
    : data_(other.data_), length_(other.length_), capacity_(other.capacity_) {
    other.data_ = nullptr;
    other.length_ = 0;
    other.capacity_ = 0;
}

QString::~QString() {
    releaseBuffer();
}

QString& QString::operator=(const QString& other) {
    if (this != &other) assign(other.data_, other.length_);
    return *this;
}

QString& QString::operator=(QString&& other) noexcept {
    if (this != &other) {
        releaseBuffer();
        data_ = other.data_;
        length_ = other.length_;
        capacity_ = other.capacity_;
        other.data_ = nullptr;
        other.length_ = 0;
        other.capacity_ = 0;
    }
    return *this;
}

QString& QString::operator=(const char* text) {
    if (text)
        assign(text, std::strlen(text));
    else
        assign("", 0);
    return *this;
}

QString& QString::operator=(std::string_view text) {
    assign(text.data(), text.size());
    return *this;
}

int QString::assign(const char* text, std::size_t n) {
    if (!text) n = 0;
    if (n > kMaxLength) {
        recordError(513, kSeverityError);
        return 0;
    }
    if (data_ && n < capacity_) {
        // The text may lie inside this string's own buffer.
        if (n) std::memmove(data_, text, n);
        data_[n] = '\0';
        length_ = static_cast<std::uint32_t>(n);
        return 1;
    }
    std::uint32_t capacity = 0;
    char* block = takeBuffer(n + 1, &capacity);
    if (!block) return 0;
    if (n) std::memcpy(block, text, n);
    block[n] = '\0';
    releaseBuffer();
    data_ = block;
    length_ = static_cast<std::uint32_t>(n);
    capacity_ = capacity;
    return 1;
}

int QString::append(const char* text, std::size_t n) {
    if (!text || n == 0) {
        if (!data_) return assign("", 0);
        return 1;
    }
    if (n > kMaxLength - length_) {
        recordError(513, kSeverityError);
        return 0;
    }
    std::size_t total = static_cast<std::size_t>(length_) + n;
    if (!data_ || total + 1 > capacity_) {
        std::uint32_t capacity = 0;
        char* block = takeBuffer(total + 1, &capacity);
        if (!block) return 0;
        if (length_) std::memcpy(block, data_, length_);
        // The text may lie inside the old buffer: copy it before the old buffer goes.
        std::memcpy(block + length_, text, n);
        block[total] = '\0';
        std::uint32_t length = static_cast<std::uint32_t>(total);
        releaseBuffer();
        data_ = block;
        length_ = length;
        capacity_ = capacity;
        return 1;
    }
    std::memmove(data_ + length_, text, n);
    length_ = static_cast<std::uint32_t>(total);
    data_[length_] = '\0';
    return 1;
}

int QString::append(const char* text) {
    return append(text, text ? std::strlen(text) : 0);
}

int QString::appendDouble(double v) {
    std::string text;
    ::appendDouble(text, v);
    return append(text);
}

int QString::appendInt(long long v) {
    std::string text;
    ::appendInt(text, v);
    return append(text);
}

void QString::clear() {
    if (data_) data_[0] = '\0';
    length_ = 0;
}

int QString::reserve(std::uint32_t n) {
    if (data_ && static_cast<std::size_t>(n) + 1 <= capacity_) return 1;
    if (n > kMaxLength) {
        recordError(513, kSeverityError);
        return 0;
    }
    std::uint32_t capacity = 0;
    char* block = takeBuffer(static_cast<std::size_t>(n) + 1, &capacity);
    if (!block) return 0;
    if (length_) std::memcpy(block, data_, length_);
    block[length_] = '\0';
    std::uint32_t length = length_;
    releaseBuffer();
    data_ = block;
    length_ = length;
    capacity_ = capacity;
    return 1;
}

void QString::truncate(std::uint32_t n) {
    if (n >= length_) return;
    length_ = n;
    data_[n] = '\0';
}

long QString::find(char c, long start) const {
    return findByte(view(), c, start);
}

long QString::findBackward(char c, long fromEnd) const {
    return findByteBackward(view(), c, fromEnd);
}

int QString::toLong(long* out, int base) const {
    return readLong(c_str(), base, out);
}

int QString::toDouble(double* out) const {
    return readDouble(c_str(), out);
}

int QString::compareNoCase(const char* text) const {
    return ::compareNoCase(view(), text ? text : "");
}
