// The pen map (-r file): for each plotter pen the colour and style numbers that its objects get
// in the schematic database, with built-in defaults for pens the file does not name.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

struct PenMapEntry {
    int32_t pen = 0;
    int32_t colour = 0;
    int32_t style = 0;
};

class PenMap {
public:
    // Fills the table from the file: one "pen colour style" line each, "#" lines are comments.
    // Reading stops (keeping what was read) at a negative pen, a colour outside 0..15, a style
    // outside 0..3 or a pen already in the table. An empty path or an unreadable file reads
    // nothing. Problems are silent; the result is always 0.
    int read(const std::string& path);

    // The colour and style of a pen: from the table, else the defaults (colour p below 16, then
    // 1 to 15 repeating; style 1 below pen 1, then 1, 2, 3 for each run of 15 pens).
    int32_t colourOf(int32_t pen) const;
    int32_t styleOf(int32_t pen) const;

    static int32_t defaultColour(int32_t pen);
    static int32_t defaultStyle(int32_t pen);

    const std::vector<PenMapEntry>& entries() const { return entries_; }

private:
    const PenMapEntry* find(int32_t pen) const;

    std::vector<PenMapEntry> entries_;
    std::unordered_map<int32_t, size_t> index_;  // pen -> position in entries_
};
