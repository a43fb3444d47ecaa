#include "db/SettingsTable.h"

#include <utility>

namespace {
const std::string kEmptyText;
}

bool SettingsTable::defined(int index) const {
    const SettingsRow* r = row(index);
    return r != nullptr && r->defined;
}

const SettingsRow* SettingsTable::row(int index) const {
    if (index < 0 || index >= size()) return nullptr;
    return &rows_[static_cast<std::size_t>(index)];
}

double SettingsTable::number(int index, int column) const {
    const SettingsRow* r = row(index);
    if (r == nullptr || column < 0 || static_cast<std::size_t>(column) >= r->cells.size()) {
        return 0.0;
    }
    return r->cells[static_cast<std::size_t>(column)].number;
}

const std::string& SettingsTable::text(int index, int column) const {
    const SettingsRow* r = row(index);
    if (r == nullptr || column < 0 || static_cast<std::size_t>(column) >= r->cells.size()) {
        return kEmptyText;
    }
    return r->cells[static_cast<std::size_t>(column)].text;
}

int SettingsTable::setRow(int index, std::vector<SettingsCell> cells) {
    if (index < 0 || index >= kMaxRows) return 0;
    if (index >= size()) rows_.resize(static_cast<std::size_t>(index) + 1);
    SettingsRow& r = rows_[static_cast<std::size_t>(index)];
    r.defined = true;
    r.cells = std::move(cells);
    return 1;
}
