#include "hpgl/HpglStatement.h"

HpglStatement::HpglStatement(std::initializer_list<std::string_view> elements) {
    for (std::string_view e : elements)
        append(e);
}
