#include "convert/DbHandle.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "base/ErrorRecord.h"
#include "db/LexClassRegistry.h"
#include "db/LexDatabase.h"
#include "db/LexGrid.h"
#include "db/LexSheet.h"
#include "db/LexZone.h"
#include "font/TextMeasure.h"

namespace {

// The databases opened through handles, owned until they are closed.
std::vector<std::unique_ptr<LexDatabase>>& openDatabases() {
    static std::vector<std::unique_ptr<LexDatabase>> databases;
    return databases;
}

bool isObjectKind(std::uint32_t kind) {
    return kind == 4 || (kind >= 6 && kind <= 18);
}

// Whether the object is of the class a handle kind names.
bool matchesKind(LexObject* object, std::uint32_t kind) {
    if (object == nullptr) return false;
    switch (kind) {
        case kDbHandleDatabase:
            return object->asDatabase() != nullptr;
        case kDbHandleSheet:
            return object->asSheet() != nullptr;
        case kDbHandleGrid:
            return object->asGrid() != nullptr;
        case kDbHandleZone:
            return object->asZone() != nullptr;
        default:
            return isObjectKind(kind) && object->asSheetObject() != nullptr;
    }
}

// Adds a child made by the caller; the shared steps of the three creations.
DbHandle addChild(const DbHandle& database, std::string_view key, std::unique_ptr<LexObject> child,
                  std::uint32_t kind) {
    LexDatabase* db = database.database();
    if (db == nullptr || db->find(key) != nullptr) {
        recordError(kLexErrorMisuse, kSeverityMinor);
        return DbHandle();
    }
    if (!child || !child->isValid()) {
        recordError(kLexErrorNoMemory, kSeverityError);
        return DbHandle();
    }
    LexObject* raw = child.get();
    if (!db->add(key, child)) return DbHandle();
    return DbHandle::make(raw, kind);
}

template <class T>
std::unique_ptr<T> makeObject() {
    try {
        return std::make_unique<T>();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

DbHandle DbHandle::make(LexObject* object, std::uint32_t kind) {
    DbHandle h;
    if (object == nullptr || kind == kDbHandleInvalid) return h;
    h.object = object;
    h.kind = kind;
    h.check = object->classIdentity();
    return h;
}

bool dbHandleAccepts(DbHandleType type, std::uint32_t kind) {
    switch (type) {
        case DbHandleType::Database:
            return kind == kDbHandleDatabase;
        case DbHandleType::Sheet:
            return kind == kDbHandleSheet;
        case DbHandleType::Grid:
            return kind == kDbHandleGrid;
        case DbHandleType::Zone:
            return kind == kDbHandleZone;
        case DbHandleType::Object:
            return isObjectKind(kind);
    }
    return false;
}

DbHandle DbHandle::as(DbHandleType type) const {
    if (object == nullptr || check == 0 || !dbHandleAccepts(type, kind)) return DbHandle();
    return *this;
}

LexDatabase* DbHandle::database() const {
    return kind == kDbHandleDatabase && object != nullptr ? object->asDatabase() : nullptr;
}

LexSheet* DbHandle::sheet() const {
    return kind == kDbHandleSheet && object != nullptr ? object->asSheet() : nullptr;
}

LexGrid* DbHandle::grid() const {
    return kind == kDbHandleGrid && object != nullptr ? object->asGrid() : nullptr;
}

LexZone* DbHandle::zone() const {
    return kind == kDbHandleZone && object != nullptr ? object->asZone() : nullptr;
}

LexSheetObject* DbHandle::sheetObject() const {
    return isObjectKind(kind) && object != nullptr ? object->asSheetObject() : nullptr;
}

int dbInitialise() {
    // The texts of the databases, and the labels converted into them, are measured with the
    // installation's stroke fonts.
    useSystemFontMetrics();
    return initialiseDatabaseLayer();
}

namespace {

// Keeps an opened or new database in the table of open databases.
DbHandle keepOpen(std::unique_ptr<LexDatabase> db) {
    if (!db) return DbHandle();
    LexDatabase* raw = db.get();
    try {
        openDatabases().push_back(std::move(db));
    } catch (const std::bad_alloc&) {
        recordError(kLexErrorNoMemory, kSeverityError);
        return DbHandle();
    }
    return DbHandle::make(raw, kDbHandleDatabase);
}

}  // namespace

DbHandle dbOpen(const std::string& path, const LexEnvironment* environment, int mode,
                Status* status) {
    return keepOpen(LexDatabase::open(path, environment, mode, status));
}

DbHandle dbNew(const std::string& path, const LexEnvironment* environment) {
    return keepOpen(LexDatabase::makeNew(path, environment));
}

DbHandle dbCreateSheet(const DbHandle& database, std::string_view key, int sheetKind) {
    if (database.database() == nullptr) {
        recordError(kLexErrorMisuse, kSeverityMinor);
        return DbHandle();
    }
    std::unique_ptr<LexSheet> sheet;
    try {
        sheet = std::make_unique<LexSheet>(sheetKind);
    } catch (const std::bad_alloc&) {
    }
    return addChild(database, key, std::move(sheet), kDbHandleSheet);
}

DbHandle dbCreateZone(const DbHandle& database, std::string_view key, const DbZoneValues& values) {
    if (database.database() == nullptr) {
        recordError(kLexErrorMisuse, kSeverityMinor);
        return DbHandle();
    }
    std::unique_ptr<LexZone> zone = makeObject<LexZone>();
    if (zone) {
        zone->setVisible(values.visible);
        zone->setMode(values.mode);
        zone->setKind(values.kind);
        zone->setPitch(values.pitchX, values.pitchY);
        zone->setLabels(values.label1, values.label2);
        zone->setOffset(values.offsetX, values.offsetY);
        zone->setExtra(values.extra);
    }
    return addChild(database, key, std::move(zone), kDbHandleZone);
}

DbHandle dbCreateGrid(const DbHandle& database, std::string_view key, const DbGridValues& values) {
    if (database.database() == nullptr) {
        recordError(kLexErrorMisuse, kSeverityMinor);
        return DbHandle();
    }
    std::unique_ptr<LexGrid> grid = makeObject<LexGrid>();
    if (grid) {
        grid->setVisible(values.visible);
        grid->setSecondFlag(values.secondFlag);
        grid->setColor(values.color);
        grid->setHighByte(values.highByte);
        grid->setPitch(values.pitchX, values.pitchY);
        grid->setValues(values.value1, values.value2);
    }
    return addChild(database, key, std::move(grid), kDbHandleGrid);
}

DbHandle dbFindChild(const DbHandle& database, std::string_view key, std::uint32_t kind) {
    LexDatabase* db = database.database();
    if (db == nullptr) return DbHandle();
    LexObject* child = db->find(key);
    if (!matchesKind(child, kind)) return DbHandle();
    return DbHandle::make(child, kind);
}

int dbClose(DbHandle& database, int how) {
    LexDatabase* db = database.database();
    auto& all = openDatabases();
    auto it = std::find_if(all.begin(), all.end(),
                           [db](const std::unique_ptr<LexDatabase>& p) { return p.get() == db; });
    if (db == nullptr || it == all.end()) {
        recordError(kLexErrorMisuse, kSeverityMinor);
        return 0;
    }
    // Registering a symbol's name after its save is a no-op in this program.
    if (!LexDatabase::close(*it, how)) return 0;
    all.erase(it);
    database = DbHandle();
    return 1;
}

int dbSave(const DbHandle& database, Status* status) {
    LexDatabase* db = database.database();
    if (db == nullptr) {
        recordError(kLexErrorMisuse, kSeverityMinor);
        reportStatus(status, Status::failure(kLexErrorMisuse, {}));
        return 0;
    }
    return db->save(status);
}

QsBox dbBoxOf(const DbHandle& handle) {
    if (LexSheetObject* o = handle.sheetObject()) return o->box();
    if (LexSheet* s = handle.sheet()) return s->sheetBox();
    return QsBox();
}

bool dbValid(const DbHandle& handle) {
    return handle.object != nullptr && handle.kind != kDbHandleInvalid && handle.object->isValid();
}

bool dbWalkSheet(const DbHandle& sheet, const std::function<bool(const DbHandle&)>& fn) {
    LexSheet* s = sheet.sheet();
    if (s == nullptr) return false;
    return s->forEachListObject([&fn](LexSheetObject& o, int kind) {
        return fn(DbHandle::make(&o, static_cast<std::uint32_t>(kind)));
    });
}

int dbOpenCount() {
    return static_cast<int>(openDatabases().size());
}

void dbCloseAll() {
    openDatabases().clear();
}
