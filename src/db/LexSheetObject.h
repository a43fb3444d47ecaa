// Base of everything a sheet holds in its lists: the list link, the bounding box and the
// attribute word whose index fields can fall back to the settings defaults.
#pragma once

#include <cstdint>
#include <memory>
#include <new>

#include "base/ErrorRecord.h"
#include "db/LexList.h"
#include "db/LexObject.h"
#include "db/ResourceSettings.h"
#include "geom/QsBox.h"

// One index field of an attribute word: its bit position and width, and the flag bit (in the
// first attribute word) that selects the settings default instead.
struct LexAttrField {
    std::uint8_t shift;
    std::uint8_t bits;
    std::uint8_t defaultBit;
    SettingsDefault key;
};

// The value written to files: -1 when the default flag is set, else the field.
int lexFieldRaw(std::uint32_t word, std::uint32_t flags, const LexAttrField& f);
// Setter rule: a value of 0 or more is masked to the field width, stored, and the default flag
// cleared; a negative value sets the default flag and leaves the field.
void lexFieldSet(std::uint32_t& word, std::uint32_t& flags, const LexAttrField& f, int value);
// The index in effect: the field, or the environment's default when the flag is set (the
// built-in default of the key without environment).
int lexFieldValue(std::uint32_t word, std::uint32_t flags, const LexAttrField& f,
                  const LexEnvironment* env);
// The default index of a key from the environment, or the built-in default without one.
int lexDefaultIndex(const LexEnvironment* env, SettingsDefault key);

// An owned copy of a geometry for a sheet object; null (30004 recorded) when memory runs out.
template <class T, class From>
std::unique_ptr<T> lexCopyGeometry(const From& from) {
    try {
        return std::make_unique<T>(from);
    } catch (const std::bad_alloc&) {
        recordError(kLexErrorNoMemory, kSeverityError);
        return nullptr;
    }
}

class LexSheetObject : public LexObject {
public:
    LexSheetObject* asSheetObject() override { return this; }
    const LexSheetObject* asSheetObject() const override { return this; }

    // The list link (used by LexList).
    LexLink& listLink() { return link_; }
    const LexLink& listLink() const { return link_; }

    // The bounding box, recomputed after every geometric change.
    const QsBox& box() const { return box_; }
    // Whether the object has a box at all (records kept as text have none).
    virtual bool hasBox() const { return true; }
    // Recomputes the box from the geometry.
    virtual void updateBox() {}
    // Moves the geometry by delta and updates the box. 1 on success, 0 when a coordinate would
    // leave the 32-bit range (nothing moved).
    virtual int move(const QsPoint& delta);

    // The attribute word (layout per class).
    std::uint32_t attributes() const { return attr_; }
    void setAttributes(std::uint32_t attr) { attr_ = attr; }
    bool isVisible() const { return (attr_ & 1u) != 0; }
    void setVisible(bool visible);

    // Objects join a database through their sheet; the box may depend on the settings.
    bool attach(const LexEnvironment* environment) override;

protected:
    LexSheetObject() = default;
    LexSheetObject(const LexSheetObject& other);

    // True when the box moved by delta stays within the 32-bit range.
    bool boxMoveFits(const QsPoint& delta) const;

    std::uint32_t attr_ = 0;
    QsBox box_;

private:
    LexLink link_;
};
