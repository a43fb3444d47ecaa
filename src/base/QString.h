// The system's byte string (owned buffer, length and capacity; a null buffer counts as empty)
// and growable arrays of strings and of plain 32-bit and 64-bit values.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "base/ErrorRecord.h"

class QString {
public:
    // An empty string with a one-byte buffer holding the NUL.
    QString();
    // A copy of text (a null text gives an empty string).
    QString(const char* text);  // NOLINT: implicit on purpose, strings are made from literals
    QString(std::string_view text);
    QString(const std::string& text) : QString(std::string_view(text)) {}
    QString(const QString& other);
    QString(QString&& other) noexcept;
    ~QString();

    QString& operator=(const QString& other);
    QString& operator=(QString&& other) noexcept;
    QString& operator=(const char* text);
    QString& operator=(std::string_view text);
    QString& operator=(const std::string& text) { return *this = std::string_view(text); }

    // Replaces the content. 1 on success; 0 (with error 513 recorded and the string unchanged)
    // when a buffer cannot be had.
    int assign(const char* text, std::size_t n);

    // Appends bytes; the same failure rule as assign.
    int append(const char* text, std::size_t n);
    int append(const char* text);
    int append(std::string_view text) { return append(text.data(), text.size()); }
    int append(const std::string& text) { return append(text.data(), text.size()); }
    int append(const QString& other) { return append(other.data_, other.length_); }
    int append(char c) { return append(&c, 1); }
    // Appends a double as "%.10g" and an integer in decimal.
    int appendDouble(double v);
    int appendInt(long long v);

    QString& operator+=(const char* text) {
        append(text);
        return *this;
    }
    QString& operator+=(std::string_view text) {
        append(text);
        return *this;
    }
    QString& operator+=(const std::string& text) {
        append(text);
        return *this;
    }
    QString& operator+=(const QString& other) {
        append(other);
        return *this;
    }
    QString& operator+=(char c) {
        append(c);
        return *this;
    }

    // The text; never null ("" for a null buffer).
    const char* c_str() const { return data_ ? data_ : ""; }
    // The buffer itself; may be null.
    const char* data() const { return data_; }
    std::uint32_t length() const { return length_; }
    std::uint32_t capacity() const { return capacity_; }
    bool empty() const { return length_ == 0; }
    std::string_view view() const { return std::string_view(c_str(), length_); }
    std::string toStdString() const { return std::string(view()); }
    operator std::string_view() const { return view(); }  // NOLINT

    // The byte at i (NUL at and beyond the length).
    char operator[](std::uint32_t i) const { return i < length_ ? data_[i] : '\0'; }

    // Makes the string empty, keeping its buffer.
    void clear();
    // Makes room for n bytes plus the NUL. 1 on success, else 0 with error 513.
    int reserve(std::uint32_t n);
    // Shortens the string to n bytes (no effect when it is not longer).
    void truncate(std::uint32_t n);

    // Searches for a byte forwards from start, or backwards from fromEnd places before the end
    // (0 is the last byte); -1 when absent. Never stops on the second byte of a double-byte
    // character.
    long find(char c, long start = 0) const;
    long findBackward(char c, long fromEnd = 0) const;

    // Reads an integer / a double from the start of the text (see readLong, readDouble).
    int toLong(long* out, int base = 10) const;
    int toDouble(double* out) const;

    // Case-insensitive comparison with a text (see compareNoCase).
    int compareNoCase(const char* text) const;

    friend bool operator==(const QString& a, const QString& b) { return a.view() == b.view(); }
    friend bool operator==(const QString& a, const char* b) {
        return a.view() == std::string_view(b ? b : "");
    }
    friend bool operator==(const QString& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const QString& a, const std::string& b) { return a.view() == b; }
    // Unsigned byte order, a proper prefix first.
    friend bool operator<(const QString& a, const QString& b) { return a.view() < b.view(); }
    friend bool operator<(const QString& a, const char* b) {
        return a.view() < std::string_view(b ? b : "");
    }

private:
    // Takes a new buffer of at least `size` bytes (content not copied). Null on failure.
    static char* takeBuffer(std::size_t size, std::uint32_t* capacity);
    void releaseBuffer();

    char* data_ = nullptr;
    std::uint32_t length_ = 0;
    std::uint32_t capacity_ = 0;
};

// A growable array: asking for element i (a negative i counts as 0) grows the capacity to
// i + min(max(capacity, 1), 256) when i is not below it, and the count to i + 1 when i is not
// below it. New elements are value-initialised (empty strings, zeros).
template <typename T>
class QGrowArray {
public:
    QGrowArray() = default;
    QGrowArray(const QGrowArray& other) { copyFrom(other); }
    QGrowArray(QGrowArray&& other) noexcept { moveFrom(other); }
    QGrowArray& operator=(const QGrowArray& other) {
        if (this != &other) copyFrom(other);
        return *this;
    }
    QGrowArray& operator=(QGrowArray&& other) noexcept {
        if (this != &other) moveFrom(other);
        return *this;
    }

    int count() const { return count_; }
    int capacity() const { return capacity_; }
    bool empty() const { return count_ == 0; }

    // Element i, grown into existence. Null (with error 513 recorded) when the array cannot grow.
    T* at(int i) {
        if (i < 0) i = 0;
        if (i >= capacity_ && !grow(i)) return nullptr;
        if (i >= count_) count_ = i + 1;
        return &items_[i];
    }
    // Element i as at() gives it; when the array cannot grow, a spare element that is reset on
    // every failure.
    T& operator[](int i) {
        T* item = at(i);
        if (item) return *item;
        spare_ = T{};
        return spare_;
    }
    // Element i when it is below the count, else null; never grows.
    const T* get(int i) const { return i >= 0 && i < count_ ? &items_[i] : nullptr; }

    // Appends a value at index count. 1 on success, 0 when the array cannot grow.
    int append(const T& value) {
        T* item = at(count_);
        if (!item) return 0;
        *item = value;
        return 1;
    }
    // Forgets the elements (count 0), keeping the storage; the old elements are reset.
    void clear() {
        for (int k = 0; k < count_; ++k)
            items_[k] = T{};
        count_ = 0;
    }

    const T* begin() const { return items_.get(); }
    const T* end() const { return items_.get() + count_; }
    T* begin() { return items_.get(); }
    T* end() { return items_.get() + count_; }

private:
    bool grow(int i) {
        int step = std::min(std::max(capacity_, 1), 256);
        if (i > INT_MAX - step) {
            recordError(513, kSeverityError);
            return false;
        }
        int newCapacity = i + step;
        std::unique_ptr<T[]> fresh(new (std::nothrow) T[static_cast<std::size_t>(newCapacity)]());
        if (!fresh) {
            recordError(513, kSeverityError);
            return false;
        }
        for (int k = 0; k < count_; ++k)
            fresh[k] = std::move(items_[k]);
        items_ = std::move(fresh);
        capacity_ = newCapacity;
        return true;
    }
    void copyFrom(const QGrowArray& other) {
        std::unique_ptr<T[]> fresh;
        if (other.capacity_ > 0) {
            fresh.reset(new (std::nothrow) T[static_cast<std::size_t>(other.capacity_)]());
            if (!fresh) {
                recordError(513, kSeverityError);
                return;
            }
            for (int k = 0; k < other.count_; ++k)
                fresh[k] = other.items_[k];
        }
        items_ = std::move(fresh);
        capacity_ = other.capacity_;
        count_ = other.count_;
    }
    void moveFrom(QGrowArray& other) {
        items_ = std::move(other.items_);
        capacity_ = other.capacity_;
        count_ = other.count_;
        other.capacity_ = 0;
        other.count_ = 0;
    }

    std::unique_ptr<T[]> items_;
    int count_ = 0;
    int capacity_ = 0;
    T spare_{};
};

// An array of strings.
using QStringArray = QGrowArray<QString>;
// Arrays of plain 32-bit and 64-bit values.
using QInt32Array = QGrowArray<std::int32_t>;
using QInt64Array = QGrowArray<std::int64_t>;
