#include "hpgl/HpglStatement.h"

#include <stdexcept>

HpglStatement::HpglStatement(std::initializer_list<std::string_view> elements) {
    for (std::string_view e : elements)
        append(e);
}

void HpglStatement::grow(std::size_t n) {
    if (n > text_.max_size() - length_) throw std::length_error("statement too long");
    const std::size_t needed = length_ + n;
    std::size_t room = text_.size() < 256 ? 256 : text_.size();
    while (room < needed)
        room = room > text_.max_size() / 2 ? needed : room * 2;
    text_.resize(room);
}
