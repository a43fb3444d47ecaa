#include "db/LexSheet.h"

#include <charconv>

#include "base/ErrorRecord.h"
#include "db/LexReadContext.h"
#include "db/LexRecordIo.h"
#include "db/TokenFile.h"

namespace {

constexpr std::int32_t kNewSheetWidth = 29700;
constexpr std::int32_t kNewSheetHeight = 21000;
constexpr int kMaxSheetColor = 16;

bool formatFailure() {
    recordError(kLexErrorFormat, kSeverityFormat);
    return false;
}

// Text of a property value, or "" when there is none.
std::string valueText(const LexPropertyList* list, std::string_view name) {
    if (list == nullptr) return {};
    LexProperty* p = findPropertyQuiet(*list, name, 0);
    return p != nullptr && p->value() != nullptr ? *p->value() : std::string();
}

// True when the text is a decimal integer equal to wanted.
bool isNumber(const std::string& text, long wanted) {
    long v = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    return r.ec == std::errc() && r.ptr == text.data() + text.size() && v == wanted;
}

template <class T>
bool walk(const LexList<T>& list, const std::function<bool(LexSheetObject&)>& fn) {
    for (T* e = list.head(); e != nullptr; e = LexList<T>::next(e)) {
        if (fn(*e)) return true;
    }
    return false;
}

// The nine list kinds in file order.
constexpr int kListKinds[] = {kLexListArcs,       kLexListCircles,  kLexListTexts,
                              kLexListPolylines,  kLexListPolygons, kLexListFrames,
                              kLexListComponents, kLexListPins,     kLexListNets};

// The class whose objects a list packs; 0 for lists that pack none.
int packedType(int listKind) {
    switch (listKind) {
        case kLexListTexts:
            return kLexTypeText;
        case kLexListPolylines:
            return kLexTypePolyline;
        case kLexListPolygons:
            return kLexTypePolygon;
        default:
            return 0;
    }
}

template <class T>
int appendTo(LexList<T>& list, std::unique_ptr<LexSheetObject>& object) {
    std::unique_ptr<T> typed(static_cast<T*>(object.release()));
    int ok = list.append(typed);
    if (!ok) object.reset(typed.release());
    return ok;
}

template <class T>
std::unique_ptr<LexSheetObject> removeFrom(LexList<T>& list, LexSheetObject* object) {
    return std::unique_ptr<LexSheetObject>(list.remove(static_cast<T*>(object)).release());
}

}  // namespace

LexSheet::LexSheet(int kind)
    : kind_(static_cast<std::uint8_t>(kind)), box_(0, 0, kNewSheetWidth, kNewSheetHeight) {}

LexSheet::~LexSheet() = default;

LexSheet::LexSheet(const LexSheet& other)
    : LexPropertyOwner(other),
      attr_(other.attr_),
      kind_(other.kind_),
      name_(other.name_),
      box_(other.box_),
      nextComponent_(other.nextComponent_),
      nextNet_(other.nextNet_),
      nextWireCons_(other.nextWireCons_),
      packed_(other.packed_) {
    arcs_.copyFrom(other.arcs_);
    circles_.copyFrom(other.circles_);
    texts_.copyFrom(other.texts_);
    polylines_.copyFrom(other.polylines_);
    polygons_.copyFrom(other.polygons_);
    frames_.copyFrom(other.frames_);
    components_.copyFrom(other.components_);
    pins_.copyFrom(other.pins_);
    nets_.copyFrom(other.nets_);
}

std::unique_ptr<LexObject> LexSheet::clone() const {
    return std::unique_ptr<LexObject>(new LexSheet(*this));
}

bool LexSheet::forEachOwned(const std::function<bool(LexObject&)>& fn) {
    if (LexPropertyOwner::forEachOwned(fn)) return true;
    return forEachListObject([&fn](LexSheetObject& o, int) { return fn(o); });
}

bool LexSheet::attach(const LexEnvironment* environment) {
    // Packed entries measure their boxes with the sheet's settings whenever they are unpacked.
    for (int kind : kListKinds) {
        walkObjects(kind, [environment](LexSheetObject& o) {
            o.attach(environment);
            return false;
        });
    }
    return true;
}

int LexSheet::color() const {
    if ((attr_ & kColorDefault) == 0) return static_cast<int>((attr_ >> 8) & 0xFFu);
    return lexDefaultIndex(environment(), kind_ == kKindSymbol ? SettingsDefault::SymbSheetColor
                                                               : SettingsDefault::SchmSheetColor);
}

int LexSheet::rawColor() const {
    return (attr_ & kColorDefault) != 0 ? -1 : static_cast<int>((attr_ >> 8) & 0xFFu);
}

void LexSheet::setColor(int color) {
    if (color < 0) {
        attr_ |= kColorDefault;
        return;
    }
    attr_ = (attr_ & ~(0xFFu << 8) & ~kColorDefault) |
            ((static_cast<std::uint32_t>(color) & 0xFFu) << 8);
}

void LexSheet::setSizeColor(int color) {
    attr_ = (attr_ & ~(0xFFu << 16)) | ((static_cast<std::uint32_t>(color) & 0xFFu) << 16);
}

void LexSheet::setDisplayFlag(int flag) {
    attr_ = flag != 0 ? (attr_ | kDisplayFlag) : (attr_ & ~kDisplayFlag);
}

void LexSheet::setCounters(std::uint32_t component, std::uint32_t net, std::uint32_t wireCons) {
    nextComponent_ = component;
    nextNet_ = net;
    nextWireCons_ = wireCons;
}

int LexSheet::addObject(std::unique_ptr<LexSheetObject>& object) {
    if (!object || object->listLink().linked) {
        recordError(kLexErrorMisuse, kSeverityMinor);
        return 0;
    }
    LexSheetObject* raw = object.get();
    int ok = 0;
    switch (raw->typeCode()) {
        case kLexTypeArc:
            ok = appendTo(arcs_, object);
            break;
        case kLexTypeCircle:
            ok = appendTo(circles_, object);
            break;
        case kLexTypeText:
            ok = appendTo(texts_, object);
            break;
        case kLexTypePolyline:
            ok = appendTo(polylines_, object);
            break;
        case kLexTypePolygon:
            ok = appendTo(polygons_, object);
            break;
        case kLexTypeFrame:
            ok = appendTo(frames_, object);
            break;
        case kLexTypeComponent: {
            LexComponent* c = raw->asComponent();
            std::uint32_t kind = 0, number = 0, attr = 0;
            ok = appendTo(components_, object);
            if (ok && c->headValues(kind, number, attr) && number == 0) {
                c->setHeadValues(kind, nextComponent_, attr);
                nextComponent_ += attr >> 16;
            }
            break;
        }
        case kLexTypeSymbPin:
            ok = appendTo(pins_, object);
            break;
        case kLexTypeNet: {
            LexNet* n = raw->asNet();
            std::uint32_t number = 0;
            ok = appendTo(nets_, object);
            if (ok && n->number(number) && number == 0) {
                const std::string* head = n->headLine();
                std::size_t skip = head->find_first_not_of(" \t");
                std::size_t end = head->find_first_not_of("0123456789", skip);
                n->setHeadLine(std::to_string(nextNet_) +
                               (end == std::string::npos ? std::string() : head->substr(end)));
                ++nextNet_;
            }
            break;
        }
        default:
            recordError(kLexErrorMisuse, kSeverityMinor);
            return 0;
    }
    if (ok) raw->attach(environment());
    return ok;
}

std::unique_ptr<LexSheetObject> LexSheet::removeObject(LexSheetObject* object) {
    if (object == nullptr || object->owner() != this) {
        recordError(kLexErrorMisuse, kSeverityMinor);
        return nullptr;
    }
    switch (object->typeCode()) {
        case kLexTypeArc:
            return removeFrom(arcs_, object);
        case kLexTypeCircle:
            return removeFrom(circles_, object);
        case kLexTypeText:
            return removeFrom(texts_, object);
        case kLexTypePolyline:
            return removeFrom(polylines_, object);
        case kLexTypePolygon:
            return removeFrom(polygons_, object);
        case kLexTypeFrame:
            return removeFrom(frames_, object);
        case kLexTypeComponent:
            return removeFrom(components_, object);
        case kLexTypeSymbPin:
            return removeFrom(pins_, object);
        case kLexTypeNet:
            return removeFrom(nets_, object);
        default:
            recordError(kLexErrorMisuse, kSeverityMinor);
            return nullptr;
    }
}

long LexSheet::addPacked(const LexSheetObject& object) {
    const int type = object.typeCode();
    const LexPropertyList* properties = object.propertyList();
    if ((type != kLexTypePolyline && type != kLexTypePolygon && type != kLexTypeText) ||
        (properties != nullptr && !properties->empty())) {
        recordError(kLexErrorMisuse, kSeverityMinor);
        return -1;
    }
    const long index = packed_.add(object);
    if (index < 0) recordError(kLexErrorNoMemory, kSeverityError);
    return index;
}

long LexSheet::addPackedPolyline(std::uint32_t attr, const LexVertexBlock& block) {
    const long index = packed_.addPolyline(attr, 0, block);
    if (index < 0) recordError(kLexErrorNoMemory, kSeverityError);
    return index;
}

bool LexSheet::removePacked(int typeCode, std::size_t index) {
    if (packed_.remove(typeCode, index)) return true;
    recordError(kLexErrorMisuse, kSeverityMinor);
    return false;
}

bool LexSheet::walkObjects(int listKind, const std::function<bool(LexSheetObject&)>& fn) const {
    switch (listKind) {
        case kLexListArcs:
            return walk(arcs_, fn);
        case kLexListCircles:
            return walk(circles_, fn);
        case kLexListTexts:
            return walk(texts_, fn);
        case kLexListPolylines:
            return walk(polylines_, fn);
        case kLexListPolygons:
            return walk(polygons_, fn);
        case kLexListFrames:
            return walk(frames_, fn);
        case kLexListComponents:
            return walk(components_, fn);
        case kLexListPins:
            return walk(pins_, fn);
        case kLexListNets:
            return walk(nets_, fn);
        default:
            return false;
    }
}

bool LexSheet::forEachInList(int listKind, const std::function<bool(LexSheetObject&)>& fn) const {
    if (walkObjects(listKind, fn)) return true;
    const int type = packedType(listKind);
    // The temporaries take the sheet as their owner for its settings; they never join it.
    return type != 0 && packed_.forEach(type, const_cast<LexSheet*>(this), fn);
}

bool LexSheet::forEachListObject(const std::function<bool(LexSheetObject&, int)>& fn) const {
    for (int kind : kListKinds) {
        if (forEachInList(kind, [&fn, kind](LexSheetObject& o) { return fn(o, kind); }))
            return true;
    }
    return false;
}

std::size_t LexSheet::objectCount() const {
    return arcs_.size() + circles_.size() + texts_.size() + polylines_.size() + polygons_.size() +
           frames_.size() + components_.size() + pins_.size() + nets_.size() + packed_.size();
}

std::size_t LexSheet::objectCount(int listKind) const {
    std::size_t n = 0;
    walkObjects(listKind, [&n](LexSheetObject&) {
        ++n;
        return false;
    });
    const int type = packedType(listKind);
    return type != 0 ? n + packed_.count(type) : n;
}

int LexSheet::moveObjects(const QsPoint& delta) {
    // Check every box first so that a move that cannot be made changes nothing.
    bool fits = !forEachListObject([&delta](LexSheetObject& o, int) {
        if (!o.hasBox()) return false;
        const QsBox& b = o.box();
        return !fitsInt32(static_cast<std::int64_t>(b.x1) + delta.x) ||
               !fitsInt32(static_cast<std::int64_t>(b.x2) + delta.x) ||
               !fitsInt32(static_cast<std::int64_t>(b.y1) + delta.y) ||
               !fitsInt32(static_cast<std::int64_t>(b.y2) + delta.y);
    });
    if (!fits) return 0;
    for (int kind : kListKinds) {
        walkObjects(kind, [&delta](LexSheetObject& o) {
            o.move(delta);
            return false;
        });
    }
    return packed_.move(delta, this) ? 1 : 0;
}

bool LexSheet::objectsExtent(QsBox& box) const {
    bool any = false;
    QsBox extent;
    forEachListObject([&](LexSheetObject& o, int kind) {
        if (kind == kLexListComponents || !o.hasBox()) return false;
        if (!any) {
            extent = o.box();
            any = true;
        } else {
            extent.include(o.box());
        }
        return false;
    });
    if (any) box = extent;
    return any;
}

std::vector<std::pair<std::string, std::string>> LexSheet::componentReferences() const {
    std::vector<std::pair<std::string, std::string>> out;
    for (LexComponent* c = components_.head(); c != nullptr; c = LexList<LexComponent>::next(c)) {
        out.emplace_back(valueText(c->propertyList(), "reference"),
                         valueText(c->propertyList(), "partName"));
    }
    return out;
}

void LexSheet::legacyRepair() {
    LexProperty* kind = findPropertyQuiet(properties_, "componentKind", 0);
    if (kind != nullptr && kind->value() != nullptr && isNumber(*kind->value(), 12)) {
        LexProperty* type = findPropertyQuiet(properties_, "componentType", 0);
        if (type != nullptr) {
            setPropertyValue(*type, "powerBox");
        } else {
            std::unique_ptr<LexProperty> created =
                createProperty("componentType", "powerBox", false);
            if (created) addProperty(properties_, created, 0);
        }
    }
    for (LexComponent* c = components_.head(); c != nullptr; c = LexList<LexComponent>::next(c)) {
        std::uint32_t kindWord = 0, number = 0, attr = 0;
        if (c->headValues(kindWord, number, attr) && (kindWord >> 16) == 12) {
            c->setHeadValues((kindWord & 0xFFFF0000u) | 0x400u, number, attr);
        }
    }
}

int LexSheet::write(TokenFile& file) {
    file.writeString("{").endLine();
    if (name_) {
        file.writeString(*name_);
    } else {
        file.writeChar(' ');
    }
    file.endLine();
    file.writeSigned(kind_).endLine();
    file.writeUnsigned(static_cast<std::uint32_t>(displayFlag())).space();
    file.writeSigned(rawColor()).space();
    file.writeUnsigned(static_cast<std::uint32_t>(sizeColor())).endLine();
    file.writeLong(box_.x1).space().writeLong(box_.y1).space().writeLong(box_.x2).space();
    file.writeLong(box_.y2).endLine();
    file.writeUnsigned(nextComponent_).space().writeUnsigned(nextNet_).space();
    file.writeUnsigned(nextWireCons_).endLine();
    if (!writePropertyLists(file, properties_, boxes_)) return 0;
    file.writeString("$LexArcList").endLine();
    if (!writeLexList(file, arcs_)) return 0;
    file.writeString("$LexCircleList").endLine();
    if (!writeLexList(file, circles_)) return 0;
    file.writeString("$LexTextList").endLine();
    if (!writeLexList(file, texts_,
                      [this](TokenFile& f) { return packed_.write(kLexTypeText, f); }))
        return 0;
    file.writeString("$LexPolylineList").endLine();
    if (!writeLexList(file, polylines_,
                      [this](TokenFile& f) { return packed_.write(kLexTypePolyline, f); }))
        return 0;
    file.writeString("$LexPolygonList").endLine();
    if (!writeLexList(file, polygons_,
                      [this](TokenFile& f) { return packed_.write(kLexTypePolygon, f); }))
        return 0;
    file.writeString("$LexFrameList").endLine();
    if (kind_ == kKindSymbol) {
        // Symbols keep no frames in their files.
        file.writeString("{").endLine().writeString("}").endLine();
    } else if (!writeLexList(file, frames_)) {
        return 0;
    }
    file.writeString("$LexComponentList").endLine();
    if (!writeLexList(file, components_)) return 0;
    file.writeString("$LexPinList").endLine();
    if (!writeLexList(file, pins_)) return 0;
    file.writeString("$LexNetList").endLine();
    if (!writeLexList(file, nets_)) return 0;
    file.writeString("}").endLine();
    return 1;
}

template <class T>
bool LexSheet::unpackInto(LexList<T>& list, int typeCode) {
    for (std::size_t i = 0; i < packed_.entryCount(typeCode); ++i) {
        std::unique_ptr<LexSheetObject> object = packed_.unpack(typeCode, i, nullptr);
        if (!object) continue;  // removed
        std::unique_ptr<T> typed(static_cast<T*>(object.release()));
        if (!list.append(typed)) return false;
    }
    packed_.clear(typeCode);
    return true;
}

template <class T>
bool LexSheet::readPackedList(TokenFile& file, LexReadContext& context, LexList<T>& list,
                              int typeCode) {
    if (!lexExpectOpen(file)) return false;
    typename T::Body body;
    std::string_view token;
    for (;;) {
        if (!file.readTokenView(token)) return formatFailure();
        if (token == "}") return true;
        // Nothing refers to these records by identifier: a packed one is registered without
        // an object (a property box naming it finds no property, as it would find none in it).
        const std::uint32_t id = lexReadRecordHead(file, context, nullptr);
        if (id == 0 || !T::readRecordBody(file, body)) return false;
        if (!file.readTokenView(token)) return formatFailure();
        if (token == "}") {
            if (body.packInto(packed_, id) >= 0) continue;
            recordError(kLexErrorNoMemory, kSeverityError);
            return false;
        }
        if (token != "$LexPropertyList") return formatFailure();
        auto element = std::make_unique<T>();
        element->setFileId(id);
        element->setBody(std::move(body));
        body = typename T::Body();
        if (!readPropertyLists(file, context, element->properties(), element->propBoxes(), true) ||
            !lexExpectToken(file, "}")) {
            return false;
        }
        if (!unpackInto(list, typeCode) || !list.append(element)) return false;
    }
}

std::uint32_t LexSheet::read(TokenFile& file, LexReadContext& context) {
    std::string token;
    // A missing opening brace fails the sheet without a code of its own.
    if (!file.readToken(token) || token != "{") return 0;
    std::string name;
    std::int32_t kind = 0, color = 0;
    std::uint32_t display = 0, sizeColor = 0, c1 = 0, c2 = 0, c3 = 0;
    std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (!file.skipRestOfLine() || !file.readLine(name) || !file.readSigned(kind) ||
        !file.readUnsigned(display) || !file.readSigned(color) || !file.readUnsigned(sizeColor) ||
        !file.readLong(x1) || !file.readLong(y1) || !file.readLong(x2) || !file.readLong(y2) ||
        !file.readUnsigned(c1) || !file.readUnsigned(c2) || !file.readUnsigned(c3)) {
        {
            formatFailure();
            return 0;
        }
    }
    name_ = std::move(name);
    kind_ = static_cast<std::uint8_t>(kind);
    attr_ = 0;
    setDisplayFlag(display != 0 ? 1 : 0);
    // Colour indices outside 0-16 are repaired to 0; a negative sheet colour follows the default.
    if (color < 0) {
        setColor(-1);
    } else {
        setColor(color <= kMaxSheetColor ? color : 0);
    }
    setSizeColor(
        sizeColor <= static_cast<std::uint32_t>(kMaxSheetColor) ? static_cast<int>(sizeColor) : 0);
    box_.x1 = x1;
    box_.y1 = y1;
    box_.x2 = x2;
    box_.y2 = y2;
    setCounters(c1, c2, c3);
    if (!readPropertyLists(file, context, properties_, boxes_)) return 0;
    for (;;) {
        if (!file.readToken(token)) {
            formatFailure();
            return 0;
        }
        if (token == "}") break;
        bool ok;
        if (token == "$LexArcList") {
            ok = readLexList(file, context, arcs_);
        } else if (token == "$LexCircleList") {
            ok = readLexList(file, context, circles_);
        } else if (token == "$LexTextList") {
            ok = readPackedList(file, context, texts_, kLexTypeText);
        } else if (token == "$LexPolylineList") {
            ok = readPackedList(file, context, polylines_, kLexTypePolyline);
        } else if (token == "$LexPolygonList") {
            ok = readPackedList(file, context, polygons_, kLexTypePolygon);
        } else if (token == "$LexFrameList") {
            ok = readLexList(file, context, frames_);
        } else if (token == "$LexComponentList") {
            ok = readLexList(file, context, components_);
        } else if (token == "$LexPinList") {
            ok = readLexList(file, context, pins_);
        } else if (token == "$LexNetList") {
            ok = readLexList(file, context, nets_);
        } else {
            // An unknown list marker fails the sheet without a code of its own.
            return 0;
        }
        if (!ok) return 0;
    }
    // Connections between nets, pins and components are kept as the identifiers written in
    // their records; identifiers read are written back unchanged, so they stay valid.
    return 1;
}
