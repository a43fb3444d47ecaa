#include "db/PathTable.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <string>

#include "base/ReplacementFile.h"
#include "db/SettingsLexer.h"

namespace {

// A path table is a handful of lines; anything larger than this is no path table.
constexpr std::size_t kMaxTableFile = std::size_t{1} << 20;

}  // namespace

std::size_t PathTable::lowerBound(std::string_view key) const {
    auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                               [](const Entry& e, std::string_view k) { return e.key < k; });
    return static_cast<std::size_t>(it - entries_.begin());
}

const std::string* PathTable::find(std::string_view key) const {
    std::size_t i = lowerBound(key);
    if (i < entries_.size() && entries_[i].key == key) return &entries_[i].value;
    return nullptr;
}

void PathTable::set(std::string_view key, std::string_view value) {
    std::size_t i = lowerBound(key);
    if (i < entries_.size() && entries_[i].key == key) {
        entries_[i].value = std::string(value);
        return;
    }
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(i),
                    Entry{std::string(key), std::string(value)});
}

int PathTable::remove(std::string_view key) {
    std::size_t i = lowerBound(key);
    if (i < entries_.size() && entries_[i].key == key) {
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
        return 1;
    }
    return 0;
}

void PathTable::parse(std::string_view text) {
    entries_.clear();
    SettingsLexer lex(text);
    std::optional<SettingsToken> pending;
    auto next = [&]() {
        if (pending) {
            SettingsToken t = std::move(*pending);
            pending.reset();
            return t;
        }
        return lex.next();
    };
    for (;;) {
        SettingsToken t = next();
        if (t.kind == SettingsTokenKind::End || t.kind == SettingsTokenKind::Error) return;
        if (t.kind != SettingsTokenKind::Key) continue;
        SettingsToken colon = next();
        if (colon.kind != SettingsTokenKind::Colon) {
            pending = std::move(colon);
            continue;
        }
        SettingsToken value = next();
        if (value.kind != SettingsTokenKind::Value) {
            pending = std::move(value);
            continue;
        }
        set(t.text, value.text);
    }
}

int PathTable::read(std::string_view path) {
    entries_.clear();
    try {
        std::string text;
        if (!readSettingsText(std::string(path), kMaxTableFile, text)) return 0;
        parse(text);
        return 1;
    } catch (const std::exception&) {
        entries_.clear();
        return 0;
    }
}

std::string PathTable::text() const {
    std::string out;
    for (const Entry& e : entries_) {
        out += e.key;
        out += " : \"";
        out += e.value;
        out += "\"\n";
    }
    return out;
}

int PathTable::write(std::string_view path, int* error) const {
    int failure = 0;
    if (error == nullptr) error = &failure;
    *error = 0;
    if (path.empty()) return 0;
    try {
        // Written beside and renamed into place, so that a reader finds the whole table or
        // none; a link in the table's place is refused.
        *error = replaceFileContent(std::string(path), text());
        return *error == 0 ? 1 : 0;
    } catch (const std::exception&) {
        return 0;
    }
}
