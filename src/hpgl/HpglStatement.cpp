#include "hpgl/HpglStatement.h"

HpglStatement::HpglStatement(std::initializer_list<std::string_view> elements) {
    for (std::string_view e : elements)
        append(e);
}

void HpglStatement::append(std::string_view text) {
    const size_t i = static_cast<size_t>(count_);
    if (i < elements_.size()) {
        elements_[i].assign(text.data(), text.size());
    } else {
        elements_.emplace_back(text);
    }
    ++count_;
}
