#include "hpgl/HpglStatement.h"

#include <limits>
#include <stdexcept>

namespace {

// The room a buffer of size `room` grows to so that it holds `needed`: doubled from a small
// start until it does, so that growing step by step stays linear.
std::size_t grownRoom(std::size_t room, std::size_t needed, std::size_t start, std::size_t max) {
    room = room < start ? start : room;
    while (room < needed)
        room = room > max / 2 ? needed : room * 2;
    return room;
}

}  // namespace

HpglStatement::HpglStatement(std::initializer_list<std::string_view> elements) {
    for (std::string_view e : elements)
        append(e);
}

void HpglStatement::growText(std::size_t n) {
    const std::size_t max = std::numeric_limits<std::ptrdiff_t>::max();
    if (n > max - length_) throw std::length_error("statement too long");
    const std::size_t room = grownRoom(textRoom_, length_ + n, 256, max);
    std::unique_ptr<char[]> text(new char[room]);
    if (length_ != 0) std::memcpy(text.get(), text_.get(), length_);
    text_ = std::move(text);
    textRoom_ = room;
}

void HpglStatement::growEnds() {
    const std::size_t max = std::numeric_limits<std::ptrdiff_t>::max() / sizeof(std::size_t);
    if (count_ >= max) throw std::length_error("statement too long");
    const std::size_t room = grownRoom(endsRoom_, count_ + 1, 16, max);
    std::unique_ptr<std::size_t[]> ends(new std::size_t[room]);
    if (count_ != 0) std::memcpy(ends.get(), ends_.get(), count_ * sizeof(std::size_t));
    ends_ = std::move(ends);
    endsRoom_ = room;
}
