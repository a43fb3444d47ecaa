#include "db/LexObject.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "base/ErrorRecord.h"
#include "db/LexReadContext.h"
#include "db/TokenFile.h"

LexObject::LexObject() = default;

LexObject::LexObject(const LexObject&) {}

LexObject::~LexObject() = default;

bool LexObject::forEachOwned(const std::function<bool(LexObject&)>&) {
    return false;
}

int LexObject::write(TokenFile& file) {
    writeIdLine(file);
    return 1;
}

std::uint32_t LexObject::read(TokenFile& file, LexReadContext& context) {
    return readIdLine(file, context);
}

const LexEnvironment* LexObject::environment() const {
    return owner_ != nullptr ? owner_->environment() : nullptr;
}

bool LexObject::attach(const LexEnvironment*) {
    return true;
}

bool LexObject::isValid() const {
    return classIdentity() == lexClassIdentity(typeCode());
}

std::uint32_t LexObject::classIdentity() const {
    return lexClassIdentity(typeCode());
}

std::uint32_t lexClassIdentity(int typeCode) {
    // "LX" in the high half keeps the word nonzero for every class, the database's type 0 too.
    return 0x4C580000u | (static_cast<std::uint32_t>(typeCode) & 0xFFFFu);
}

void LexObject::writeIdLine(TokenFile& file) {
    lexWriteIdLine(file, fileId_);
}

void lexWriteIdLine(TokenFile& file, std::uint32_t& id) {
    if (id == 0) id = file.takeIdentifier();
    file.writeString("$id ").writeUnsigned(id).endLine();
}

void lexWriteRecordHead(TokenFile& file, std::uint32_t& id) {
    file.writeString("{").endLine();
    lexWriteIdLine(file, id);
}

std::uint32_t LexObject::readIdLine(TokenFile& file, LexReadContext& context) {
    const std::uint32_t id = lexReadIdLine(file, context, this);
    if (id != 0) fileId_ = id;
    return id;
}

std::uint32_t lexReadIdLine(TokenFile& file, LexReadContext& context, LexObject* object) {
    std::string_view token;
    std::uint32_t id = 0;
    if (!file.readTokenView(token) || token != "$id" || !file.readUnsigned(id) || id == 0 ||
        !context.registerObject(id, object)) {
        recordError(kLexErrorFormat, kSeverityFormat);
        return 0;
    }
    return id;
}

std::uint32_t lexReadRecordHead(TokenFile& file, LexReadContext& context, LexObject* object) {
    if (!lexExpectOpen(file)) return 0;
    return lexReadIdLine(file, context, object);
}

void LexObject::writeRecordHead(TokenFile& file) {
    lexWriteRecordHead(file, fileId_);
}

std::uint32_t LexObject::readRecordHead(TokenFile& file, LexReadContext& context) {
    if (!lexExpectOpen(file)) return 0;
    return readIdLine(file, context);
}

bool lexExpectToken(TokenFile& file, const char* text) {
    std::string_view token;
    if (!file.readTokenView(token) || token != text) {
        recordError(kLexErrorFormat, kSeverityFormat);
        return false;
    }
    return true;
}

bool lexExpectOpen(TokenFile& file) {
    return lexExpectToken(file, "{");
}

bool LexReadContext::registerObject(std::uint32_t id, LexObject* object) {
    if (id == 0) return false;
    if (ordered_.empty() || id > ordered_.back().first) {
        // Above every identifier of the sorted vector, so in neither container yet.
        ordered_.emplace_back(id, object);
    } else if (locate(id, nullptr) || !others_.emplace(id, object).second) {
        return false;
    }
    noteIdentifier(id);
    return true;
}

LexObject* LexReadContext::find(std::uint32_t id) const {
    LexObject* object = nullptr;
    return locate(id, &object) ? object : nullptr;
}

bool LexReadContext::locate(std::uint32_t id, LexObject** object) const {
    auto at = std::lower_bound(ordered_.begin(), ordered_.end(), id,
                               [](const std::pair<std::uint32_t, LexObject*>& e,
                                  std::uint32_t key) { return e.first < key; });
    LexObject* found = nullptr;
    if (at != ordered_.end() && at->first == id) {
        found = at->second;
    } else {
        auto it = others_.find(id);
        if (it == others_.end()) return false;
        found = it->second;
    }
    if (object != nullptr) *object = found;
    return true;
}

void LexReadContext::noteIdentifier(std::uint32_t id) {
    if (id > largest_) largest_ = id;
    seen_.push_back(id);
}

std::vector<std::uint32_t> LexReadContext::identifiers() const {
    std::vector<std::uint32_t> ids = seen_;
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}
