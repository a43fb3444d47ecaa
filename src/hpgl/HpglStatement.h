// One HP-GL statement as the reader splits it: the mnemonic first, then every parameter as the
// exact text read for it. Parameters are not converted here; each command handler does that.
#pragma once

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
    int size() const { return count_; }
    bool empty() const { return count_ == 0; }
    // Element i, 0 <= i < size(). Element 0 is the mnemonic (or, at the very start of a file,
    // the first parameter text read before any mnemonic).
    const std::string& operator[](int i) const { return elements_[static_cast<size_t>(i)]; }
    // Number of parameters: size() - 1, or 0 for an empty statement.
    int parameterCount() const { return count_ > 0 ? count_ - 1 : 0; }

    // Drops every element; the storage is kept for the next statement.
    void clear() { count_ = 0; }
    void append(std::string_view text);

private:
    // Slots beyond count_ keep their capacity so that reading a file allocates rarely.
    std::vector<std::string> elements_;
    int count_ = 0;
};
