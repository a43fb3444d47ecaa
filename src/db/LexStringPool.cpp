#include "db/LexStringPool.h"

#include <memory>
#include <new>

#include "base/ErrorRecord.h"
#include "db/LexHashTable.h"
#include "db/LexObject.h"

namespace {

LexHashTable<std::unique_ptr<std::string>>& pool() {
    // Never destroyed: pooled strings stay valid for objects that outlive static destruction.
    static auto* table = new LexHashTable<std::unique_ptr<std::string>>();
    return *table;
}

}  // namespace

int initialiseStringPool() {
    try {
        pool();
        return 1;
    } catch (const std::bad_alloc&) {
        recordError(kLexErrorNoMemory, kSeverityError);
        return 0;
    }
}

LexInterned lexIntern(std::string_view text) {
    try {
        auto& table = pool();
        if (auto* found = table.find(text)) return found->get();
        auto copy = std::make_unique<std::string>(text);
        LexInterned result = copy.get();
        table.insert(text, std::move(copy));
        return result;
    } catch (const std::bad_alloc&) {
        recordError(kLexErrorNoMemory, kSeverityError);
        return nullptr;
    }
}

std::size_t lexInternedCount() {
    return pool().size();
}

void resetLexStringPool() {
    pool().clear();
}
