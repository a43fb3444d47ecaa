#include "db/LexKeptRecord.h"

#include <charconv>

#include "base/ErrorRecord.h"
#include "db/LexReadContext.h"
#include "db/LexRecordIo.h"
#include "db/TokenFile.h"

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Reads the unsigned numbers at the start of a line; returns how many were read (at most n)
// and where the text after the last one starts.
int leadingNumbers(std::string_view line, std::uint32_t* values, int n, std::size_t* end) {
    std::size_t pos = 0;
    int got = 0;
    while (got < n) {
        std::size_t p = pos;
        while (p < line.size() && (line[p] == ' ' || line[p] == '\t'))
            ++p;
        std::uint32_t v = 0;
        auto r = std::from_chars(line.data() + p, line.data() + line.size(), v);
        if (r.ec != std::errc()) break;
        values[got++] = v;
        pos = static_cast<std::size_t>(r.ptr - line.data());
    }
    if (end != nullptr) *end = pos;
    return got;
}

bool formatFailure() {
    recordError(kLexErrorFormat, kSeverityFormat);
    return false;
}

}  // namespace

LexKeptRecord::~LexKeptRecord() = default;

LexKeptRecord::LexKeptRecord(const LexKeptRecord& other) : LexSheetObject(other) {
    for (const Item& item : other.items_) {
        Item copy;
        copy.line = item.line;
        if (item.properties) {
            copy.properties = std::make_unique<LexPropertyList>(this);
            copy.properties->copyFrom(*item.properties);
            if (item.properties.get() == other.ownProperties_)
                ownProperties_ = copy.properties.get();
        }
        if (item.boxes) {
            copy.boxes = std::make_unique<LexPropBoxList>(this);
            copy.boxes->copyFrom(*item.boxes);
            if (item.boxes.get() == other.ownBoxes_) ownBoxes_ = copy.boxes.get();
        }
        items_.push_back(std::move(copy));
    }
}

bool LexKeptRecord::forEachOwned(const std::function<bool(LexObject&)>& fn) {
    for (Item& item : items_) {
        if (item.properties && item.properties->forEach(fn)) return true;
        if (item.boxes && item.boxes->forEach(fn)) return true;
    }
    return false;
}

std::vector<std::string> LexKeptRecord::lines() const {
    std::vector<std::string> out;
    for (const Item& item : items_) {
        if (!item.properties && !item.boxes) out.push_back(item.line);
    }
    return out;
}

const std::string* LexKeptRecord::headLine() const {
    if (items_.empty()) return nullptr;
    const Item& first = items_.front();
    if (first.properties || first.boxes || first.line == "{" || first.line == "}") return nullptr;
    return &first.line;
}

void LexKeptRecord::setHeadLine(std::string line) {
    if (headLine() != nullptr) {
        items_.front().line = std::move(line);
    } else {
        Item item;
        item.line = std::move(line);
        items_.insert(items_.begin(), std::move(item));
    }
}

int LexKeptRecord::write(TokenFile& file) {
    writeRecordHead(file);
    for (const Item& item : items_) {
        if (item.properties) {
            file.writeString("$LexPropertyList").endLine();
            if (!writeLexList(file, *item.properties)) return 0;
        } else if (item.boxes) {
            file.writeString("$LexPropBoxList").endLine();
            if (!writeLexList(file, *item.boxes)) return 0;
        } else {
            file.writeString(item.line).endLine();
        }
    }
    file.writeString("}").endLine();
    return 1;
}

std::uint32_t LexKeptRecord::read(TokenFile& file, LexReadContext& context) {
    std::uint32_t id = readRecordHead(file, context);
    if (id == 0) return 0;
    file.skipRestOfLine();
    items_.clear();
    ownProperties_ = nullptr;
    ownBoxes_ = nullptr;
    long depth = 1;
    std::string line;
    for (;;) {
        if (!file.readLine(line)) {
            formatFailure();
            return 0;
        }
        std::string_view t = trimmed(line);
        Item item;
        if (t == "{") {
            ++depth;
            item.line = "{";
        } else if (t == "}") {
            if (--depth == 0) break;
            item.line = "}";
        } else if (t == "$LexPropertyList") {
            item.properties = std::make_unique<LexPropertyList>(this);
            if (!readLexList(file, context, *item.properties)) return 0;
            file.skipRestOfLine();
            if (depth == 1 && ownProperties_ == nullptr) ownProperties_ = item.properties.get();
        } else if (t == "$LexPropBoxList") {
            item.boxes = std::make_unique<LexPropBoxList>(this);
            if (!readLexList(file, context, *item.boxes)) return 0;
            file.skipRestOfLine();
            if (depth == 1 && ownBoxes_ == nullptr) ownBoxes_ = item.boxes.get();
        } else {
            // Nested records keep their identifiers: new objects must not take them.
            if (t.substr(0, 4) == "$id ") {
                std::uint32_t nested = 0;
                if (leadingNumbers(t.substr(4), &nested, 1, nullptr) == 1)
                    context.noteIdentifier(nested);
            }
            item.line = std::move(line);
        }
        items_.push_back(std::move(item));
    }
    return id;
}

std::unique_ptr<LexObject> LexComponent::clone() const {
    return std::unique_ptr<LexObject>(new LexComponent(*this));
}

bool LexComponent::headValues(std::uint32_t& kind, std::uint32_t& number,
                              std::uint32_t& attr) const {
    const std::string* head = headLine();
    std::uint32_t v[3] = {0, 0, 0};
    if (head == nullptr || leadingNumbers(*head, v, 3, nullptr) != 3) return false;
    kind = v[0];
    number = v[1];
    attr = v[2];
    return true;
}

void LexComponent::setHeadValues(std::uint32_t kind, std::uint32_t number, std::uint32_t attr) {
    std::string rest;
    const std::string* head = headLine();
    std::uint32_t v[3];
    std::size_t end = 0;
    if (head != nullptr && leadingNumbers(*head, v, 3, &end) == 3) rest = head->substr(end);
    setHeadLine(std::to_string(kind) + " " + std::to_string(number) + " " + std::to_string(attr) +
                rest);
}

std::unique_ptr<LexObject> LexCompPin::clone() const {
    return std::unique_ptr<LexObject>(new LexCompPin(*this));
}

std::unique_ptr<LexObject> LexSymbPin::clone() const {
    return std::unique_ptr<LexObject>(new LexSymbPin(*this));
}

std::unique_ptr<LexObject> LexNet::clone() const {
    return std::unique_ptr<LexObject>(new LexNet(*this));
}

bool LexNet::number(std::uint32_t& value) const {
    const std::string* head = headLine();
    return head != nullptr && leadingNumbers(*head, &value, 1, nullptr) == 1;
}

std::unique_ptr<LexObject> LexWire::clone() const {
    return std::unique_ptr<LexObject>(new LexWire(*this));
}

std::unique_ptr<LexObject> LexWireCons::clone() const {
    return std::unique_ptr<LexObject>(new LexWireCons(*this));
}
