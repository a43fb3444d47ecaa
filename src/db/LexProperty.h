// A named value attached to a database object: scope and attribute flags, name and value as
// pooled strings, and the property list that holds them in order.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "db/LexList.h"
#include "db/LexObject.h"
#include "db/LexStringPool.h"

class LexProperty : public LexObject {
public:
    static constexpr std::uint32_t kScopeFlag = 0x1;      // set when added with scope 1
    static constexpr std::uint32_t kAttributeFlag = 0x2;  // given at creation

    LexProperty() = default;
    LexProperty(LexInterned name, LexInterned value, bool attributeFlag);

    bool postLoadCheck() const override { return true; }
    int typeCode() const override { return kLexTypeProperty; }
    const char* className() const override { return "LexProperty"; }
    std::unique_ptr<LexObject> clone() const override;
    int write(TokenFile& file) override;
    std::uint32_t read(TokenFile& file, LexReadContext& context) override;
    LexProperty* asProperty() override { return this; }
    const LexProperty* asProperty() const override { return this; }

    int scope() const { return (flags_ & kScopeFlag) != 0 ? 1 : 0; }
    void setScope(int scope);
    bool attributeFlag() const { return (flags_ & kAttributeFlag) != 0; }
    std::uint32_t flags() const { return flags_; }

    // Name and value; either may be null (none).
    LexInterned name() const { return name_; }
    LexInterned value() const { return value_; }
    void setValueInterned(LexInterned value) { value_ = value; }

    LexLink& listLink() { return link_; }
    const LexLink& listLink() const { return link_; }

private:
    LexProperty(const LexProperty& other);

    std::uint32_t flags_ = 0;
    LexInterned name_ = nullptr;
    LexInterned value_ = nullptr;
    LexLink link_;
};

// The properties of one object, in the order they were added.
class LexPropertyList : public LexList<LexProperty> {
public:
    explicit LexPropertyList(LexObject* owner = nullptr) : LexList<LexProperty>(owner) {}
};

// The property of that name and scope; null (30009 at level 1) when there is none.
LexProperty* findProperty(const LexPropertyList& list, std::string_view name, int scope);
// The same without recording anything when it is missing.
LexProperty* findPropertyQuiet(const LexPropertyList& list, std::string_view name, int scope);

// A new property with pooled name and value (std::nullopt: none). Null (30004) when memory is
// exhausted.
std::unique_ptr<LexProperty> createProperty(std::optional<std::string_view> name,
                                            std::optional<std::string_view> value,
                                            bool attributeFlag);

// Replaces the value by the pooled copy of value (std::nullopt: none). 1, or 0 (30004).
int setPropertyValue(LexProperty& property, std::optional<std::string_view> value);

// Appends the property (taking it over), sets its scope flag and, when the list's owner has an
// environment, attaches it. 1, or 0 (30002) when it is already in a list.
int addProperty(LexPropertyList& list, std::unique_ptr<LexProperty>& property, int scope);
