#include "db/LexClassRegistry.h"

#include <algorithm>
#include <array>
#include <new>

#include "base/ErrorRecord.h"
#include "db/LexDatabase.h"
#include "db/LexGrid.h"
#include "db/LexSheet.h"
#include "db/LexStringPool.h"
#include "db/LexZone.h"

namespace {

struct ClassEntry {
    std::string_view name;
    std::unique_ptr<LexObject> (*make)();
};

template <class T>
std::unique_ptr<LexObject> makeDefault() {
    return std::make_unique<T>();
}

std::unique_ptr<LexObject> makeSheet() {
    return std::make_unique<LexSheet>(LexSheet::kKindUnread);
}

// Sorted by name for binary search.
constexpr std::array<ClassEntry, 18> kClasses = {{
    {"LexArc", makeDefault<LexArc>},
    {"LexCircle", makeDefault<LexCircle>},
    {"LexCompPin", makeDefault<LexCompPin>},
    {"LexComponent", makeDefault<LexComponent>},
    {"LexDatabase", makeDefault<LexDatabase>},
    {"LexFrame", makeDefault<LexFrame>},
    {"LexGrid", makeDefault<LexGrid>},
    {"LexNet", makeDefault<LexNet>},
    {"LexPolygon", makeDefault<LexPolygon>},
    {"LexPolyline", makeDefault<LexPolyline>},
    {"LexPropBox", makeDefault<LexPropBox>},
    {"LexProperty", makeDefault<LexProperty>},
    {"LexSheet", makeSheet},
    {"LexSymbPin", makeDefault<LexSymbPin>},
    {"LexText", makeDefault<LexText>},
    {"LexWire", makeDefault<LexWire>},
    {"LexWireCons", makeDefault<LexWireCons>},
    {"LexZone", makeDefault<LexZone>},
}};

bool registrySorted() {
    return std::is_sorted(kClasses.begin(), kClasses.end(),
                          [](const ClassEntry& a, const ClassEntry& b) { return a.name < b.name; });
}

}  // namespace

int initialiseClassRegistry() {
    return registrySorted() ? 1 : 0;
}

std::unique_ptr<LexObject> makeLexObject(std::string_view className) {
    auto it =
        std::lower_bound(kClasses.begin(), kClasses.end(), className,
                         [](const ClassEntry& e, std::string_view name) { return e.name < name; });
    if (it == kClasses.end() || it->name != className) {
        recordError(kLexErrorFormat, kSeverityFormat);
        return nullptr;
    }
    try {
        return it->make();
    } catch (const std::bad_alloc&) {
        recordError(kLexErrorNoMemory, kSeverityError);
        return nullptr;
    }
}

int lexClassCount() {
    return static_cast<int>(kClasses.size());
}

const char* lexClassName(int i) {
    if (i < 0 || i >= lexClassCount()) return nullptr;
    return kClasses[static_cast<std::size_t>(i)].name.data();
}

int initialiseDatabaseLayer() {
    int ok = initialiseStringPool();
    ok &= initialiseClassRegistry();
    // The names of the save information are pooled up front: every save uses them.
    for (const char* name :
         {"author", "date", "time", "updateUser", "updateDate", "updateTime", "saveCount"}) {
        if (lexIntern(name) == nullptr) ok = 0;
    }
    // Every registered class must answer its own name and type code.
    for (const ClassEntry& e : kClasses) {
        std::unique_ptr<LexObject> probe = makeLexObject(e.name);
        if (!probe || probe->className() != e.name) ok = 0;
    }
    return ok;
}
