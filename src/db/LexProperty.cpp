#include "db/LexProperty.h"

#include <algorithm>
#include <new>
#include <string>

#include "base/ErrorRecord.h"
#include "db/LexReadContext.h"
#include "db/TokenFile.h"

namespace {

// Number of lines of a value: one more than its line feeds.
std::uint32_t lineCountOf(const std::string& text) {
    return static_cast<std::uint32_t>(std::count(text.begin(), text.end(), '\n')) + 1;
}

bool sameText(LexInterned pooled, std::string_view text) {
    return pooled != nullptr && *pooled == text;
}

}  // namespace

LexProperty::LexProperty(LexInterned name, LexInterned value, bool attributeFlag)
    : flags_(attributeFlag ? kAttributeFlag : 0), name_(name), value_(value) {}

LexProperty::LexProperty(const LexProperty& other)
    : LexObject(other), flags_(other.flags_), name_(other.name_), value_(other.value_) {}

std::unique_ptr<LexObject> LexProperty::clone() const {
    return std::unique_ptr<LexObject>(new LexProperty(*this));
}

void LexProperty::setScope(int scope) {
    flags_ = scope != 0 ? (flags_ | kScopeFlag) : (flags_ & ~kScopeFlag);
}

int LexProperty::write(TokenFile& file) {
    writeRecordHead(file);
    file.writeUnsigned(flags_ & kScopeFlag).space();
    file.writeUnsigned((flags_ & kAttributeFlag) != 0 ? 1 : 0).endLine();
    if (name_ != nullptr) file.writeString(*name_);
    file.endLine();
    if (value_ != nullptr) {
        file.writeUnsigned(lineCountOf(*value_)).endLine();
        file.writeString(*value_).endLine();
    } else {
        file.writeString("0").endLine();
    }
    file.writeString("}").endLine();
    return 1;
}

std::uint32_t LexProperty::read(TokenFile& file, LexReadContext& context) {
    std::uint32_t id = readRecordHead(file, context);
    if (id == 0) return 0;
    std::uint32_t scope = 0;
    std::uint32_t attribute = 0;
    std::uint32_t lines = 0;
    std::string name;
    std::string value;
    if (!file.readUnsigned(scope) || !file.readUnsigned(attribute) || !file.skipRestOfLine() ||
        !file.readLine(name) || !file.readUnsigned(lines) || !file.skipRestOfLine() ||
        !file.readLines(lines, value)) {
        recordError(kLexErrorFormat, kSeverityFormat);
        return 0;
    }
    flags_ = (scope != 0 ? kScopeFlag : 0) | (attribute != 0 ? kAttributeFlag : 0);
    name_ = nullptr;
    value_ = nullptr;
    if (!name.empty() && (name_ = lexIntern(name)) == nullptr) return 0;
    if (lines > 0 && (value_ = lexIntern(value)) == nullptr) return 0;
    if (!lexExpectToken(file, "}")) return 0;
    return id;
}

LexProperty* findPropertyQuiet(const LexPropertyList& list, std::string_view name, int scope) {
    int wanted = scope != 0 ? 1 : 0;
    for (LexProperty* p = list.head(); p != nullptr; p = LexPropertyList::next(p)) {
        if (p->scope() == wanted && sameText(p->name(), name)) return p;
    }
    return nullptr;
}

LexProperty* findProperty(const LexPropertyList& list, std::string_view name, int scope) {
    LexProperty* p = findPropertyQuiet(list, name, scope);
    if (p == nullptr) recordError(kLexErrorNoProperty, kSeverityNote);
    return p;
}

std::unique_ptr<LexProperty> createProperty(std::optional<std::string_view> name,
                                            std::optional<std::string_view> value,
                                            bool attributeFlag) {
    LexInterned pooledName = nullptr;
    LexInterned pooledValue = nullptr;
    if (name && (pooledName = lexIntern(*name)) == nullptr) return nullptr;
    if (value && (pooledValue = lexIntern(*value)) == nullptr) return nullptr;
    try {
        return std::make_unique<LexProperty>(pooledName, pooledValue, attributeFlag);
    } catch (const std::bad_alloc&) {
        recordError(kLexErrorNoMemory, kSeverityError);
        return nullptr;
    }
}

int setPropertyValue(LexProperty& property, std::optional<std::string_view> value) {
    if (!value) {
        property.setValueInterned(nullptr);
        return 1;
    }
    LexInterned pooled = lexIntern(*value);
    if (pooled == nullptr) return 0;
    property.setValueInterned(pooled);
    return 1;
}

int addProperty(LexPropertyList& list, std::unique_ptr<LexProperty>& property, int scope) {
    LexProperty* raw = property.get();
    if (raw == nullptr || raw->listLink().linked) {
        recordError(kLexErrorMisuse, kSeverityMinor);
        return 0;
    }
    raw->setScope(scope);
    if (!list.append(property)) return 0;
    const LexEnvironment* env = list.owner() != nullptr ? list.owner()->environment() : nullptr;
    if (env != nullptr) raw->attach(env);
    return 1;
}
