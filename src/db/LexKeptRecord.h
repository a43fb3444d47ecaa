// Records of the connectivity classes (components, their pins, symbol pins, nets, wires and
// wire connections), which this program never builds: read as lines, brace-balanced, with their
// property lists read as objects, and written back unchanged.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/LexPropBox.h"
#include "db/LexProperty.h"
#include "db/LexSheetObject.h"

class LexKeptRecord : public LexSheetObject {
public:
    ~LexKeptRecord() override;

    bool postLoadCheck() const override { return true; }
    bool forEachOwned(const std::function<bool(LexObject&)>& fn) override;
    // The first property lists directly inside the record (not inside a nested record).
    LexPropertyList* propertyList() override { return ownProperties_; }
    const LexPropertyList* propertyList() const override { return ownProperties_; }
    LexPropBoxList* propBoxList() override { return ownBoxes_; }
    const LexPropBoxList* propBoxList() const override { return ownBoxes_; }
    int write(TokenFile& file) override;
    std::uint32_t read(TokenFile& file, LexReadContext& context) override;

    // A record kept as text has no geometry of its own.
    bool hasBox() const override { return false; }

    // The lines of the record after its "$id" line, nested braces included, property lists
    // left out (they are objects).
    std::vector<std::string> lines() const;

    // The first line after "$id" (empty when the record has none).
    const std::string* headLine() const;
    // Replaces the first line (used by repairs).
    void setHeadLine(std::string line);

protected:
    LexKeptRecord() = default;
    LexKeptRecord(const LexKeptRecord& other);

private:
    // One piece of the record: a text line, or a property list or property box list.
    struct Item {
        std::string line;
        std::unique_ptr<LexPropertyList> properties;
        std::unique_ptr<LexPropBoxList> boxes;
    };

    std::vector<Item> items_;
    LexPropertyList* ownProperties_ = nullptr;
    LexPropBoxList* ownBoxes_ = nullptr;
};

// A placed symbol. Its first line holds the kind word (component kind in the high 16 bits), the
// component number and the attribute word, each "%u".
class LexComponent : public LexKeptRecord {
public:
    LexComponent() = default;
    int typeCode() const override { return kLexTypeComponent; }
    const char* className() const override { return "LexComponent"; }
    std::unique_ptr<LexObject> clone() const override;
    LexComponent* asComponent() override { return this; }
    const LexComponent* asComponent() const override { return this; }

    // The three head values; false when the first line does not hold them.
    bool headValues(std::uint32_t& kind, std::uint32_t& number, std::uint32_t& attr) const;
    // Rewrites the head values, keeping what follows them on the line.
    void setHeadValues(std::uint32_t kind, std::uint32_t number, std::uint32_t attr);
};

class LexCompPin : public LexKeptRecord {
public:
    LexCompPin() = default;
    int typeCode() const override { return kLexTypeCompPin; }
    const char* className() const override { return "LexCompPin"; }
    std::unique_ptr<LexObject> clone() const override;
    LexCompPin* asCompPin() override { return this; }
    const LexCompPin* asCompPin() const override { return this; }
    LexSheetObject* asPinOrConnection() override { return this; }
    const LexSheetObject* asPinOrConnection() const override { return this; }
};

class LexSymbPin : public LexKeptRecord {
public:
    LexSymbPin() = default;
    int typeCode() const override { return kLexTypeSymbPin; }
    const char* className() const override { return "LexSymbPin"; }
    std::unique_ptr<LexObject> clone() const override;
    LexSymbPin* asSymbPin() override { return this; }
    const LexSymbPin* asSymbPin() const override { return this; }
};

// A net. Its first line starts with the net number ("%u").
class LexNet : public LexKeptRecord {
public:
    LexNet() = default;
    int typeCode() const override { return kLexTypeNet; }
    const char* className() const override { return "LexNet"; }
    std::unique_ptr<LexObject> clone() const override;
    LexNet* asNet() override { return this; }
    const LexNet* asNet() const override { return this; }

    // The net number; false when the first line does not start with one.
    bool number(std::uint32_t& value) const;
};

class LexWire : public LexKeptRecord {
public:
    LexWire() = default;
    int typeCode() const override { return kLexTypeWire; }
    const char* className() const override { return "LexWire"; }
    std::unique_ptr<LexObject> clone() const override;
    LexWire* asWire() override { return this; }
    const LexWire* asWire() const override { return this; }
};

class LexWireCons : public LexKeptRecord {
public:
    LexWireCons() = default;
    int typeCode() const override { return kLexTypeWireCons; }
    const char* className() const override { return "LexWireCons"; }
    std::unique_ptr<LexObject> clone() const override;
    LexWireCons* asWireCons() override { return this; }
    const LexWireCons* asWireCons() const override { return this; }
    LexSheetObject* asPinOrConnection() override { return this; }
    const LexSheetObject* asPinOrConnection() const override { return this; }
};
