// One HP-GL statement as the reader splits it: the mnemonic first, then every parameter as the
// exact text read for it. Parameters are not converted here; each command handler does that.
#pragma once

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class HpglStatement {
public:
    HpglStatement() = default;
    // A statement built by hand (handlers that run other handlers, tests).
    HpglStatement(std::initializer_list<std::string_view> elements);

    // Number of elements (0 for an empty statement).
    int size() const { return static_cast<int>(ends_.size()); }
    bool empty() const { return ends_.empty(); }
    // Element i, 0 <= i < size(). Element 0 is the mnemonic (or, at the very start of a file,
    // the first parameter text read before any mnemonic). Valid until the statement changes.
    std::string_view operator[](int i) const {
        const std::size_t k = static_cast<std::size_t>(i);
        const std::size_t begin = k == 0 ? 0 : ends_[k - 1];
        return std::string_view(text_.data() + begin, ends_[k] - begin);
    }
    // Number of parameters: size() - 1, or 0 for an empty statement.
    int parameterCount() const { return empty() ? 0 : size() - 1; }

    // Drops every element; the storage is kept for the next statement.
    void clear() {
        length_ = 0;
        ends_.clear();
    }
    void append(std::string_view text) {
        put(text.data(), text.size());
        ends_.push_back(length_);
    }

    // The reader's side: the bytes of the element being read go straight behind the last
    // element, and finishElement makes them an element unless there are none. The reader puts
    // a few bytes at a time, so room is checked inline and the buffer grows out of line.
    void put(char c) {
        if (length_ == text_.size()) grow(1);
        text_[length_++] = c;
    }
    void put(const char* p, std::size_t n) {
        if (n > text_.size() - length_) grow(n);
        if (n != 0) std::memcpy(text_.data() + length_, p, n);
        length_ += n;
    }
    bool elementEmpty() const { return length_ == (ends_.empty() ? 0 : ends_.back()); }
    void finishElement() {
        if (!elementEmpty()) ends_.push_back(length_);
    }

private:
    // Makes room for n more bytes behind the first length_ (throws std::bad_alloc or
    // std::length_error when there is none).
    void grow(std::size_t n);

    // Every element's bytes back to back in the first length_ bytes of text_ (the rest is
    // spare room, so that putting bytes never initialises them first), and where each element
    // ends.
    std::vector<char> text_;
    std::size_t length_ = 0;
    std::vector<std::size_t> ends_;
};
