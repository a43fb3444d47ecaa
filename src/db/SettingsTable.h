// One table of a settings file: rows addressed by their index (the first value of each row),
// the values after the index kept as text and, for numeric columns, as numbers.
#pragma once

#include <string>
#include <vector>

// One value of a row: its text as written and, for a numeric column, the number read from it.
struct SettingsCell {
    std::string text;
    double number = 0.0;
};

// A row: defined once the file gave it; rows between given indices stay undefined (empty).
struct SettingsRow {
    bool defined = false;
    std::vector<SettingsCell> cells;  // the values after the index
};

class SettingsTable {
public:
    // Tables never hold more rows than this; a larger index makes its statement invalid.
    static constexpr int kMaxRows = 4096;

    explicit SettingsTable(int columns = 0) : columns_(columns) {}

    // The column count of the statement, the index included.
    int columns() const { return columns_; }
    // Number of rows: the largest index given plus one (0 when empty).
    int size() const { return static_cast<int>(rows_.size()); }
    bool empty() const { return rows_.empty(); }
    bool defined(int index) const;
    // The row, or null when index lies outside the table.
    const SettingsRow* row(int index) const;
    // Value `column` (0 = the first value after the index) of row `index`: its number, or 0 when
    // the row or the column does not exist.
    double number(int index, int column) const;
    // The same as text; empty when the row or the column does not exist.
    const std::string& text(int index, int column) const;

    // Stores a row (growing the table to hold index), replacing a row of the same index.
    // 0 when index is negative or not below kMaxRows.
    int setRow(int index, std::vector<SettingsCell> cells);
    void clear() { rows_.clear(); }

private:
    int columns_;
    std::vector<SettingsRow> rows_;
};
