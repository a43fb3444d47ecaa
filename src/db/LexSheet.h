// A schematic sheet or a symbol (the child "Sheet" of a database): name, kind, colours, area,
// numbering counters, properties and the nine typed lists of everything drawn on it.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/LexArc.h"
#include "db/LexCircle.h"
#include "db/LexFrame.h"
#include "db/LexKeptRecord.h"
#include "db/LexObject.h"
#include "db/LexPackedObjects.h"
#include "db/LexPolygon.h"
#include "db/LexPolyline.h"
#include "db/LexPropBox.h"
#include "db/LexProperty.h"
#include "db/LexPropertyOwner.h"
#include "db/LexText.h"
#include "geom/QsBox.h"

// The kind each sheet list hands its objects over with when the sheet is walked.
inline constexpr int kLexListArcs = 13;
inline constexpr int kLexListCircles = 14;
inline constexpr int kLexListTexts = 17;
inline constexpr int kLexListPolylines = 15;
inline constexpr int kLexListPolygons = 16;
inline constexpr int kLexListFrames = 18;
inline constexpr int kLexListComponents = 6;
inline constexpr int kLexListPins = 12;
inline constexpr int kLexListNets = 8;

class LexSheet : public LexPropertyOwner<LexObject> {
public:
    // Sheet kinds.
    static constexpr int kKindSchematic = 0;
    static constexpr int kKindSymbol = 1;
    static constexpr int kKindUnread = 2;  // made by the class registry, before its record

    // Attribute word: bit 0 the sheet colour follows the default; bit 1 display flag; bits 8-15
    // sheet colour; bits 16-23 sheet-size colour.
    static constexpr std::uint32_t kColorDefault = 0x1;
    static constexpr std::uint32_t kDisplayFlag = 0x2;

    // A new sheet of the kind: no name, explicit colour 0, display flag 0, area 0 0 29700 21000,
    // counters 1, empty lists.
    explicit LexSheet(int kind = kKindSchematic);
    ~LexSheet() override;

    bool postLoadCheck() const override { return true; }
    int typeCode() const override { return kLexTypeSheet; }
    const char* className() const override { return "LexSheet"; }
    // The properties, the property boxes, then every object of the lists.
    bool forEachOwned(const std::function<bool(LexObject&)>& fn) override;
    std::unique_ptr<LexObject> clone() const override;
    int write(TokenFile& file) override;
    std::uint32_t read(TokenFile& file, LexReadContext& context) override;
    LexSheet* asSheet() override { return this; }
    const LexSheet* asSheet() const override { return this; }
    // Passes the environment to every object of the lists.
    bool attach(const LexEnvironment* environment) override;

    int kind() const { return kind_; }
    void setKind(int kind) { kind_ = static_cast<std::uint8_t>(kind); }
    bool isSymbol() const { return kind_ == kKindSymbol; }

    // The name; std::nullopt for none (written as a single blank line).
    const std::optional<std::string>& name() const { return name_; }
    void setName(std::optional<std::string> name) { name_ = std::move(name); }

    std::uint32_t attributes() const { return attr_; }
    void setAttributes(std::uint32_t attr) { attr_ = attr; }
    // Sheet colour: the index in effect (the sheet default of the settings when the flag is set),
    // the raw value (-1 for the default), and the setter (negative: follow the default).
    int color() const;
    int rawColor() const;
    void setColor(int color);
    int sizeColor() const { return static_cast<int>((attr_ >> 16) & 0xFFu); }
    void setSizeColor(int color);
    int displayFlag() const { return (attr_ & kDisplayFlag) != 0 ? 1 : 0; }
    void setDisplayFlag(int flag);

    // The sheet's area.
    const QsBox& sheetBox() const { return box_; }
    void setSheetBox(const QsBox& box) { box_ = box; }

    // Numbering counters (1 in a new sheet).
    std::uint32_t nextComponentNumber() const { return nextComponent_; }
    std::uint32_t nextNetNumber() const { return nextNet_; }
    std::uint32_t nextWireConsNumber() const { return nextWireCons_; }
    void setCounters(std::uint32_t component, std::uint32_t net, std::uint32_t wireCons);

    // The nine lists, in file order.
    LexList<LexArc>& arcs() { return arcs_; }
    LexList<LexCircle>& circles() { return circles_; }
    LexList<LexText>& texts() { return texts_; }
    LexList<LexPolyline>& polylines() { return polylines_; }
    LexList<LexPolygon>& polygons() { return polygons_; }
    LexList<LexFrame>& frames() { return frames_; }
    LexList<LexComponent>& components() { return components_; }
    LexList<LexSymbPin>& pins() { return pins_; }
    LexList<LexNet>& nets() { return nets_; }
    const LexList<LexArc>& arcs() const { return arcs_; }
    const LexList<LexCircle>& circles() const { return circles_; }
    const LexList<LexText>& texts() const { return texts_; }
    const LexList<LexPolyline>& polylines() const { return polylines_; }
    const LexList<LexPolygon>& polygons() const { return polygons_; }
    const LexList<LexFrame>& frames() const { return frames_; }
    const LexList<LexComponent>& components() const { return components_; }
    const LexList<LexSymbPin>& pins() const { return pins_; }
    const LexList<LexNet>& nets() const { return nets_; }

    // Appends the object to the list of its class (taking it over), sets its owner to the sheet
    // and attaches the sheet's environment. A component without a number gets the component
    // counter, which advances by the high 16 bits of the component's attribute word; a net
    // without a number gets the net counter, which advances by one. 1, or 0 with 30002 for an
    // object of no sheet list or one already in a list (the object stays with the caller).
    // The save writes a list's objects before its packed entries (see packed()).
    int addObject(std::unique_ptr<LexSheetObject>& object);
    // Takes the object out of its list and hands it back; null (30002) when it is not there.
    std::unique_ptr<LexSheetObject> removeObject(LexSheetObject* object);

    // The polylines, polygons and texts kept packed. Each of the three lists is the list's
    // objects followed by its packed entries, in the order they were added; the save writes
    // them so. Packed entries are handed to the walks below as temporary objects.
    const LexPackedObjects& packed() const { return packed_; }
    // Packs a copy of a polyline, polygon or text without properties into the list of its
    // class, with the sheet's settings for its box. The entry's index (see LexPackedObjects),
    // or -1 with 30002 for another object or one with properties, 30004 when storage ran out.
    long addPacked(const LexSheetObject& object);
    // Packs a new polyline of the given attribute word and records, as addPacked packs a
    // LexPolyline made of them, without making the object. The index, or -1 with 30004.
    long addPackedPolyline(std::uint32_t attr, const LexVertexBlock& block);
    // Takes a packed entry out again; false (30002) when there is no such entry.
    bool removePacked(int typeCode, std::size_t index);

    // Calls fn(object, list kind) for every object of the nine lists in file order until it
    // returns true; true when stopped. Packed entries come as temporary objects after the
    // objects of their list: what fn changes in them is not kept.
    bool forEachListObject(const std::function<bool(LexSheetObject&, int)>& fn) const;
    // The same for one list (kLexList...).
    bool forEachInList(int listKind, const std::function<bool(LexSheetObject&)>& fn) const;
    // Total number of objects in the nine lists, packed entries included.
    std::size_t objectCount() const;
    // Number of objects in one list (kLexList...), packed entries included.
    std::size_t objectCount(int listKind) const;

    // Moves every object of the lists by delta. 1, or 0 when an object would leave the 32-bit
    // range (objects moved before it stay moved back: nothing changes).
    int moveObjects(const QsPoint& delta);
    // The union of the boxes of the lists' objects, components and records kept as text left
    // out. False (box untouched) when there is no such object.
    bool objectsExtent(QsBox& box) const;

    // The "reference" and "partName" values of every component, in list order (empty text for
    // a missing value).
    std::vector<std::pair<std::string, std::string>> componentReferences() const;

    // Repair applied to sheets of files older than version 1.1.
    void legacyRepair();

private:
    LexSheet(const LexSheet& other);
    // Calls fn for the objects of one list, packed entries left out.
    bool walkObjects(int listKind, const std::function<bool(LexSheetObject&)>& fn) const;
    // Reads a list of texts, polylines or polygons (typeCode the class's): records without
    // properties are packed, the others become objects. Before such an object the entries
    // packed so far become objects too, so that the list keeps the order of the file.
    template <class T>
    bool readPackedList(TokenFile& file, LexReadContext& context, LexList<T>& list, int typeCode);
    // Appends the packed entries of the class to its list as objects and drops the entries.
    template <class T>
    bool unpackInto(LexList<T>& list, int typeCode);

    std::uint32_t attr_ = 0;
    std::uint8_t kind_ = kKindSchematic;
    std::optional<std::string> name_;
    QsBox box_;
    std::uint32_t nextComponent_ = 1;
    std::uint32_t nextNet_ = 1;
    std::uint32_t nextWireCons_ = 1;
    LexList<LexArc> arcs_{this};
    LexList<LexCircle> circles_{this};
    LexList<LexText> texts_{this};
    LexList<LexPolyline> polylines_{this};
    LexList<LexPolygon> polygons_{this};
    LexList<LexFrame> frames_{this};
    LexList<LexComponent> components_{this};
    LexList<LexSymbPin> pins_{this};
    LexList<LexNet> nets_{this};
    LexPackedObjects packed_;
};
