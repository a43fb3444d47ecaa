// A circuit's path table ("rcpath"): settings names mapped to directories, kept sorted by name
// and found by binary search. Read with the lexical rules of the settings files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class PathTable {
public:
    struct Entry {
        std::string key;
        std::string value;
    };

    // Reads the table from a file, replacing what it held. 1 on success; 0 when the file cannot
    // be read (the table is then empty).
    int read(std::string_view path);
    // Reads entries ("key : value") from text, replacing what the table held. Statements that
    // are not of that form are passed over. A later entry for a key replaces the earlier one.
    void parse(std::string_view text);

    // The value of key (byte-wise comparison), or null.
    const std::string* find(std::string_view key) const;
    // Adds an entry, or replaces the value of an existing key.
    void set(std::string_view key, std::string_view value);
    // Removes key; 1 when it was present.
    int remove(std::string_view key);
    void clear() { entries_.clear(); }

    // The written form: one line per entry in key order: key, " : ", the value in double
    // quotes, line feed.
    std::string text() const;
    // Writes text() to path, replacing the file only once the whole table is written. 1 on
    // success, 0 when the file cannot be written (or path or its directory is a link); error,
    // when given, receives the system's error number then.
    int write(std::string_view path, int* error = nullptr) const;

    const std::vector<Entry>& entries() const { return entries_; }
    std::size_t size() const { return entries_.size(); }

private:
    // Position of key, or of the entry before which it belongs.
    std::size_t lowerBound(std::string_view key) const;

    std::vector<Entry> entries_;
};
