// One HP-GL statement as the reader splits it: the mnemonic first, then every parameter as the
// exact text read for it. Parameters are not converted here; each command handler does that.
#pragma once

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

class HpglStatement {
public:
    HpglStatement() = default;
    // A statement built by hand (handlers that run other handlers, tests).
    HpglStatement(std::initializer_list<std::string_view> elements);

    // Number of elements (0 for an empty statement).
    int size() const { return static_cast<int>(count_); }
    bool empty() const { return count_ == 0; }
    // Element i, 0 <= i < size(). Element 0 is the mnemonic (or, at the very start of a file,
    // the first parameter text read before any mnemonic). Valid until the statement changes.
    std::string_view operator[](int i) const {
        const std::size_t k = static_cast<std::size_t>(i);
        const std::size_t begin = k == 0 ? 0 : ends_[k - 1];
        return std::string_view(text_.get() + begin, ends_[k] - begin);
    }
    // Number of parameters: size() - 1, or 0 for an empty statement.
    int parameterCount() const { return empty() ? 0 : size() - 1; }

    // Drops every element; the storage is kept for the next statement.
    void clear() {
        length_ = 0;
        lastEnd_ = 0;
        count_ = 0;
    }
    void append(std::string_view text) {
        put(text.data(), text.size());
        addEnd();
    }

    // The reader's side: the bytes of the element being read go straight behind the last
    // element, and finishElement makes them an element unless there are none. The reader puts
    // a few bytes at a time, so room is checked inline and the storage grows out of line.
    void put(char c) {
        if (length_ == textRoom_) growText(1);
        text_[length_++] = c;
    }
    void put(const char* p, std::size_t n) {
        if (n > textRoom_ - length_) growText(n);
        if (n != 0) std::memcpy(text_.get() + length_, p, n);
        length_ += n;
    }
    // Room for n more bytes of the element being read: the reader writes them at the returned
    // place and then calls added with the number it wrote (at most n).
    char* room(std::size_t n) {
        if (n > textRoom_ - length_) growText(n);
        return text_.get() + length_;
    }
    void added(std::size_t n) { length_ += n; }
    bool elementEmpty() const { return length_ == lastEnd_; }
    void finishElement() {
        if (!elementEmpty()) addEnd();
    }

private:
    void addEnd() {
        if (count_ == endsRoom_) growEnds();
        ends_[count_++] = length_;
        lastEnd_ = length_;
    }
    // Makes room for n more bytes behind the first length_ (throws std::bad_alloc or
    // std::length_error when there is none).
    void growText(std::size_t n);
    // Makes room for one more element end (the same exceptions).
    void growEnds();

    // Every element's bytes back to back in the first length_ bytes of text_ (textRoom_ bytes
    // in all, the rest spare and never initialised), and where each of the count_ elements
    // ends (endsRoom_ slots); lastEnd_ is the end of the last element (0 without one).
    std::unique_ptr<char[]> text_;
    std::size_t textRoom_ = 0;
    std::size_t length_ = 0;
    std::unique_ptr<std::size_t[]> ends_;
    std::size_t endsRoom_ = 0;
    std::size_t count_ = 0;
    std::size_t lastEnd_ = 0;
};
