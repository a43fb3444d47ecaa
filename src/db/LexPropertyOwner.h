// The part shared by the database objects that own a property list and a property box list (the
// sheet and the drawn sheet objects): the two lists, their deep copies and the slots that hand
// them out.
#pragma once

#include <functional>

#include "db/LexPropBox.h"
#include "db/LexProperty.h"

template <class Base>
class LexPropertyOwner : public Base {
public:
    bool forEachOwned(const std::function<bool(LexObject&)>& fn) override {
        return properties_.forEach(fn) || boxes_.forEach(fn);
    }
    LexPropertyList* propertyList() override { return &properties_; }
    const LexPropertyList* propertyList() const override { return &properties_; }
    LexPropBoxList* propBoxList() override { return &boxes_; }
    const LexPropBoxList* propBoxList() const override { return &boxes_; }

    LexPropertyList& properties() { return properties_; }
    const LexPropertyList& properties() const { return properties_; }
    LexPropBoxList& propBoxes() { return boxes_; }
    const LexPropBoxList& propBoxes() const { return boxes_; }

protected:
    LexPropertyOwner() = default;
    // The copy holds deep copies of both lists.
    LexPropertyOwner(const LexPropertyOwner& other) : Base(other) {
        properties_.copyFrom(other.properties_);
        boxes_.copyFrom(other.boxes_);
    }

    LexPropertyList properties_{this};
    LexPropBoxList boxes_{this};
};
