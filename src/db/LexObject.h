// Root of every schematic database object: owner link, file identifier, class identity, the
// record reader and writer slots, downcasts and the environment link to the settings defaults.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

class TokenFile;
class LexReadContext;
// The settings object that database objects fall back to for their defaults.
class DatabaseSettings;
using LexEnvironment = DatabaseSettings;
class LexPropertyList;
class LexSheetObject;
class LexDatabase;
class LexZone;
class LexGrid;
class LexSheet;
class LexProperty;
class LexPropBox;
class LexArc;
class LexCircle;
class LexPolyline;
class LexPolygon;
class LexText;
class LexComponent;
class LexCompPin;
class LexSymbPin;
class LexNet;
class LexWire;
class LexWireCons;
class LexFrame;
template <class T>
class LexList;
// The list of property boxes that objects carry.
using LexPropBoxList = LexList<LexPropBox>;

// Type codes of the database classes.
inline constexpr int kLexTypeDatabase = 0;
inline constexpr int kLexTypeSheet = 1;
inline constexpr int kLexTypeArc = 2;
inline constexpr int kLexTypeCircle = 3;
inline constexpr int kLexTypePolyline = 4;
inline constexpr int kLexTypePolygon = 5;
inline constexpr int kLexTypeComponent = 7;
inline constexpr int kLexTypeCompPin = 9;
inline constexpr int kLexTypeText = 10;
inline constexpr int kLexTypeProperty = 11;
inline constexpr int kLexTypePropBox = 12;
inline constexpr int kLexTypeSymbPin = 13;
inline constexpr int kLexTypeNet = 14;
inline constexpr int kLexTypeWire = 15;
inline constexpr int kLexTypeWireCons = 16;
inline constexpr int kLexTypeFrame = 17;
inline constexpr int kLexTypeGrid = 18;
inline constexpr int kLexTypeZone = 19;

// Status codes of the database layer, recorded in the process-wide error record.
inline constexpr int kLexErrorOpen = 30001;      // file exists but cannot be opened
inline constexpr int kLexErrorMisuse = 30002;    // list misuse, read-only close, bad handle
inline constexpr int kLexErrorNoMemory = 30004;  // allocation failure, duplicate child key
inline constexpr int kLexErrorReadOnly = 30005;  // save of a read-only database, bad command state
inline constexpr int kLexErrorFormat = 30006;    // unknown class, any format error
inline constexpr int kLexErrorNoProperty = 30009;  // property not found
inline constexpr int kLexErrorExists = 30016;      // file to create exists already
inline constexpr int kLexErrorMissing = 30017;     // file to load does not exist

// Severities used by the database layer besides kSeverityError (4) and kSeverityMinor (2).
inline constexpr int kSeverityFormat = 3;
inline constexpr int kSeverityNote = 1;

class LexObject {
public:
    LexObject();
    virtual ~LexObject();

    // 1. destruction through the virtual destructor above.
    // 2. True when an object just read from a file is usable.
    virtual bool postLoadCheck() const = 0;
    // 3. The class's type code (kLexType...).
    virtual int typeCode() const = 0;
    // 4. The class name written to files.
    virtual const char* className() const = 0;
    // 5. Calls fn on each owned object (properties, property boxes, list members) until it
    // returns true; true when stopped.
    virtual bool forEachOwned(const std::function<bool(LexObject&)>& fn);
    // 6-9. The property list and property box list, null for classes without them.
    virtual LexPropertyList* propertyList() { return nullptr; }
    virtual const LexPropertyList* propertyList() const { return nullptr; }
    virtual LexPropBoxList* propBoxList() { return nullptr; }
    virtual const LexPropBoxList* propBoxList() const { return nullptr; }
    // 10. A deep copy: not attached, no owner, no file identifier.
    virtual std::unique_ptr<LexObject> clone() const = 0;
    // 11. Writes the object's record (the default writes the "$id " line only). 1 on success.
    virtual int write(TokenFile& file);
    // 12. Reads the record into this freshly made object. Nonzero on success; the default reads
    // the "$id" line and returns the identifier.
    virtual std::uint32_t read(TokenFile& file, LexReadContext& context);
    // 13. Identity comparison.
    virtual bool isSame(const LexObject& other) const { return this == &other; }

    // 14-53. Downcasts: the object itself when it is of that kind, else null.
    virtual LexSheetObject* asSheetObject() { return nullptr; }
    virtual const LexSheetObject* asSheetObject() const { return nullptr; }
    virtual LexSheetObject* asPinOrConnection() { return nullptr; }
    virtual const LexSheetObject* asPinOrConnection() const { return nullptr; }
    virtual LexDatabase* asDatabase() { return nullptr; }
    virtual const LexDatabase* asDatabase() const { return nullptr; }
    virtual LexZone* asZone() { return nullptr; }
    virtual const LexZone* asZone() const { return nullptr; }
    virtual LexGrid* asGrid() { return nullptr; }
    virtual const LexGrid* asGrid() const { return nullptr; }
    virtual LexSheet* asSheet() { return nullptr; }
    virtual const LexSheet* asSheet() const { return nullptr; }
    virtual LexProperty* asProperty() { return nullptr; }
    virtual const LexProperty* asProperty() const { return nullptr; }
    virtual LexPropBox* asPropBox() { return nullptr; }
    virtual const LexPropBox* asPropBox() const { return nullptr; }
    virtual LexArc* asArc() { return nullptr; }
    virtual const LexArc* asArc() const { return nullptr; }
    virtual LexCircle* asCircle() { return nullptr; }
    virtual const LexCircle* asCircle() const { return nullptr; }
    virtual LexPolyline* asPolyline() { return nullptr; }
    virtual const LexPolyline* asPolyline() const { return nullptr; }
    virtual LexPolygon* asPolygon() { return nullptr; }
    virtual const LexPolygon* asPolygon() const { return nullptr; }
    virtual LexText* asText() { return nullptr; }
    virtual const LexText* asText() const { return nullptr; }
    virtual LexComponent* asComponent() { return nullptr; }
    virtual const LexComponent* asComponent() const { return nullptr; }
    virtual LexCompPin* asCompPin() { return nullptr; }
    virtual const LexCompPin* asCompPin() const { return nullptr; }
    virtual LexSymbPin* asSymbPin() { return nullptr; }
    virtual const LexSymbPin* asSymbPin() const { return nullptr; }
    virtual LexNet* asNet() { return nullptr; }
    virtual const LexNet* asNet() const { return nullptr; }
    virtual LexWire* asWire() { return nullptr; }
    virtual const LexWire* asWire() const { return nullptr; }
    virtual LexWireCons* asWireCons() { return nullptr; }
    virtual const LexWireCons* asWireCons() const { return nullptr; }
    virtual LexFrame* asFrame() { return nullptr; }
    virtual const LexFrame* asFrame() const { return nullptr; }

    // 54. The settings of the database the object belongs to, found through the owner chain;
    // null without owner.
    virtual const LexEnvironment* environment() const;
    // 55. Called when the object joins a database (default: nothing to pass on, true).
    virtual bool attach(const LexEnvironment* environment);

    // Whether the object is usable through a handle (the default: it carries its class
    // identity).
    virtual bool isValid() const;

    // The object or list owner that holds this object; null when not attached.
    LexObject* owner() const { return owner_; }
    void setOwner(LexObject* owner) { owner_ = owner; }

    // A word that names the object's class, taken by handles as their check word.
    std::uint32_t classIdentity() const;

    // The identifier written after "$id": 0 until the object is first written or when it was
    // never read from a file.
    std::uint32_t fileId() const { return fileId_; }
    void setFileId(std::uint32_t id) { fileId_ = id; }

protected:
    // Copies carry no owner and no identifier.
    LexObject(const LexObject& other);
    LexObject& operator=(const LexObject&) = delete;

    // Writes "$id " and the identifier (given one from the file's counter when it has none).
    void writeIdLine(TokenFile& file);
    // Reads "$id" and a nonzero identifier, registers the object under it; 0 on failure (30006).
    std::uint32_t readIdLine(TokenFile& file, LexReadContext& context);
    // The opening of a record: "{" and the "$id" line.
    void writeRecordHead(TokenFile& file);
    // Reads "{" and the "$id" line; the identifier, or 0 on failure (30006).
    std::uint32_t readRecordHead(TokenFile& file, LexReadContext& context);

private:
    LexObject* owner_ = nullptr;
    std::uint32_t fileId_ = 0;
};

// The class identity word of a type code (what classIdentity() answers for objects of it).
std::uint32_t lexClassIdentity(int typeCode);

// Writes "$id " and the identifier, giving id one from the file's counter when it is 0.
void lexWriteIdLine(TokenFile& file, std::uint32_t& id);
// The opening of a record: "{" and the "$id" line.
void lexWriteRecordHead(TokenFile& file, std::uint32_t& id);

// Reads "$id" and a nonzero identifier and registers object (null for a record kept without
// an object) under it; the identifier, or 0 on failure (30006).
std::uint32_t lexReadIdLine(TokenFile& file, LexReadContext& context, LexObject* object);
// Reads "{" and the "$id" line the same way.
std::uint32_t lexReadRecordHead(TokenFile& file, LexReadContext& context, LexObject* object);

// Reads the opening "{" of a record; records 30006 and returns false when it is missing.
bool lexExpectOpen(TokenFile& file);
// Reads a token that must equal text; records 30006 and returns false otherwise.
bool lexExpectToken(TokenFile& file, const char* text);
