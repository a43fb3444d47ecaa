// Handles by which the driver and the conversion name a database, its sheet, grid and zone, or
// an object of a sheet: small values that carry the object, its kind and a check word, and the
// thin operations that open, fill, save and close a database through them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/Status.h"
#include "db/LexObject.h"
#include "geom/QsBox.h"

class LexSheet;
class LexSheetObject;

// Handle kinds (0: the invalid handle).
inline constexpr std::uint32_t kDbHandleInvalid = 0;
inline constexpr std::uint32_t kDbHandleSheet = 5;
inline constexpr std::uint32_t kDbHandleDatabase = 19;
inline constexpr std::uint32_t kDbHandleGrid = 20;
inline constexpr std::uint32_t kDbHandleZone = 21;
// Kinds of the objects of a sheet, by the list that holds them.
inline constexpr std::uint32_t kDbHandleComponent = 6;
inline constexpr std::uint32_t kDbHandleNet = 8;
inline constexpr std::uint32_t kDbHandlePin = 12;
inline constexpr std::uint32_t kDbHandleArc = 13;
inline constexpr std::uint32_t kDbHandleCircle = 14;
inline constexpr std::uint32_t kDbHandlePolyline = 15;
inline constexpr std::uint32_t kDbHandlePolygon = 16;
inline constexpr std::uint32_t kDbHandleText = 17;
inline constexpr std::uint32_t kDbHandleFrame = 18;

// The handle types, by the kinds they accept: a database (19), a sheet (5), a grid (20), a zone
// (21), or a generic object of a sheet (4 and 6 to 18).
enum class DbHandleType { Database, Sheet, Grid, Zone, Object };

// A plain value, copied freely, owning nothing.
struct DbHandle {
    LexObject* object = nullptr;
    std::uint32_t kind = kDbHandleInvalid;
    std::uint32_t check = 0;  // the object's class identity when the handle was made

    // A handle of the kind on object (the invalid handle for a null object).
    static DbHandle make(LexObject* object, std::uint32_t kind);
    // The handle as one of another type: kept when that type accepts its kind and its object
    // and check word are set, else the invalid handle.
    DbHandle as(DbHandleType type) const;

    bool isNull() const { return object == nullptr || kind == kDbHandleInvalid; }
    // The object when the handle is of the matching kind, else null.
    LexDatabase* database() const;
    LexSheet* sheet() const;
    LexGrid* grid() const;
    LexZone* zone() const;
    LexSheetObject* sheetObject() const;

    friend bool operator==(const DbHandle& a, const DbHandle& b) {
        return a.object == b.object && a.kind == b.kind && a.check == b.check;
    }
};

// True when handles of the type accept the kind.
bool dbHandleAccepts(DbHandleType type, std::uint32_t kind);

// Values of a new zone (the defaults are those of a new zone, made visible).
struct DbZoneValues {
    bool visible = true;
    int mode = 0;  // zone origin 0-3
    int kind = 1;
    std::int32_t pitchX = 1000;
    std::int32_t pitchY = 1000;
    std::string label1;
    std::string label2;
    std::int32_t offsetX = 0;
    std::int32_t offsetY = 0;
    std::int32_t extra = 0;
};

// Values of a new grid.
struct DbGridValues {
    bool visible = true;
    bool secondFlag = true;
    int color = 0;
    int highByte = 1;
    std::int32_t pitchX = 0;
    std::int32_t pitchY = 0;
    int value1 = 0;  // 16-bit
    int value2 = 0;  // 16-bit
};

// The one-time set-ups of the database layer (string pool, class registry, ...), and the text
// metrics of the system fonts for every text measured from then on. 1 when all succeed.
int dbInitialise();

// Opens a database (mode 0 create, 1 update, 2 read-only); the handle layer keeps it until it is
// closed. The environment is not owned and must outlive the database. Invalid handle on failure;
// status, when given, receives what LexDatabase::open says.
DbHandle dbOpen(const std::string& path, const LexEnvironment* environment, int mode,
                Status* status = nullptr);
// An empty database for path whether or not the file exists; its save replaces the file.
DbHandle dbNew(const std::string& path, const LexEnvironment* environment);

// Makes a new child under key: 30002 (invalid handle) without a database or when the key is
// taken, 30004 when the object cannot be made.
DbHandle dbCreateSheet(const DbHandle& database, std::string_view key, int sheetKind);
DbHandle dbCreateZone(const DbHandle& database, std::string_view key, const DbZoneValues& values);
DbHandle dbCreateGrid(const DbHandle& database, std::string_view key, const DbGridValues& values);

// A handle of the kind on the child under key; the invalid handle when there is none or it is
// not of that kind.
DbHandle dbFindChild(const DbHandle& database, std::string_view key, std::uint32_t kind);

// Closes the database as LexDatabase::close does with how (0 save and destroy, 1 destroy, 2 save
// unless read-only and destroy). On success the handle becomes invalid. 1 or 0.
int dbClose(DbHandle& database, int how);
// Saves the database, which stays open (30005 when read-only). 1 or 0; status, when given,
// receives what LexDatabase::save says.
int dbSave(const DbHandle& database, Status* status = nullptr);

// The box of the object: a sheet object's bounding box, a sheet's area, else an empty box.
QsBox dbBoxOf(const DbHandle& handle);
// The object is set and its own validity operation answers true.
bool dbValid(const DbHandle& handle);

// Calls fn with a handle on every object of the sheet's lists (kind by list) in file order until
// it returns true; true when stopped. A handle on a packed entry names a temporary object: it is
// valid only during its call.
bool dbWalkSheet(const DbHandle& sheet, const std::function<bool(const DbHandle&)>& fn);

// Number of databases the handle layer holds open.
int dbOpenCount();
// Destroys every database still open without saving (end of a run, tests).
void dbCloseAll();
