#include "db/LexDatabase.h"

#include <charconv>
#include <cstdio>
#include <new>
#include <vector>

#include "base/ErrorRecord.h"
#include "base/PathUtil.h"
#include "base/PlatformFile.h"
#include "base/ReplacementFile.h"
#include "base/StringUtil.h"
#include "base/UserInfo.h"
#include "db/LexClassRegistry.h"
#include "db/LexReadContext.h"
#include "db/LexSaveInfo.h"
#include "db/LexSheet.h"
#include "db/ProjectLayout.h"
#include "db/TokenFile.h"

namespace {

// The first line of a file must be shorter than this.
constexpr std::size_t kMaxFirstLine = 80;
// Files older than this version get the legacy repair.
constexpr double kRepairBelowVersion = 1.1;

bool formatFailure() {
    recordError(kLexErrorFormat, kSeverityFormat);
    return false;
}

// The version token read as a decimal fraction; 0 when it is none.
double versionNumber(const std::string& token) {
    double v = 0.0;
    auto r = std::from_chars(token.data(), token.data() + token.size(), v);
    return r.ec == std::errc() ? v : 0.0;
}

// Reads n tokens; false when the data ends first.
bool skipTokens(TokenFile& file, int n) {
    std::string token;
    for (int i = 0; i < n; ++i) {
        if (!file.readToken(token)) return false;
    }
    return true;
}

bool endsWithNoCase(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() &&
           compareNoCase(text.substr(text.size() - tail.size()), tail) == 0;
}

std::tm currentSaveTime() {
    std::tm t{};
    if (!saveTimeParts(&t)) {
        t = std::tm{};
        t.tm_mday = 1;
        t.tm_year = 70;
    }
    return t;
}

}  // namespace

LexDatabase::LexDatabase() = default;

LexDatabase::~LexDatabase() = default;

std::unique_ptr<LexObject> LexDatabase::clone() const {
    auto copy = std::make_unique<LexDatabase>();
    copy->environment_ = environment_;
    copy->path_ = path_;
    copy->mode_ = mode_;
    copy->version_ = version_;
    forEachChild([&copy](std::string_view key, LexObject& child) {
        std::unique_ptr<LexObject> c = child.clone();
        copy->add(key, c);
        return false;
    });
    return copy;
}

bool LexDatabase::forEachOwned(const std::function<bool(LexObject&)>& fn) {
    return forEachChild([&fn](std::string_view, LexObject& child) { return fn(child); });
}

bool LexDatabase::forEachChild(const std::function<bool(std::string_view, LexObject&)>& fn) const {
    return !children_.forEach(
        [&fn](std::string_view key, const ChildSlot& slot) { return !fn(key, *slot.object); });
}

LexObject* LexDatabase::find(std::string_view key) const {
    const ChildSlot* slot = children_.find(key);
    return slot != nullptr ? slot->object.get() : nullptr;
}

int LexDatabase::add(std::string_view key, std::unique_ptr<LexObject>& child) {
    if (!child || children_.find(key) != nullptr) {
        recordError(kLexErrorNoMemory, kSeverityError);
        return 0;
    }
    LexObject* raw = child.get();
    try {
        ChildSlot slot{std::move(child)};
        if (!children_.insert(key, std::move(slot))) {
            child = std::move(slot.object);
            recordError(kLexErrorNoMemory, kSeverityError);
            return 0;
        }
    } catch (const std::bad_alloc&) {
        recordError(kLexErrorNoMemory, kSeverityError);
        return 0;
    }
    raw->setOwner(this);
    if (environment_ != nullptr) raw->attach(environment_);
    return 1;
}

std::unique_ptr<LexObject> LexDatabase::remove(std::string_view key) {
    ChildSlot slot;
    if (!children_.remove(key, &slot)) return nullptr;
    slot.object->setOwner(nullptr);
    return std::move(slot.object);
}

LexSheet* LexDatabase::sheet() const {
    LexObject* child = find("Sheet");
    return child != nullptr ? child->asSheet() : nullptr;
}

bool LexDatabase::attach(const LexEnvironment* environment) {
    environment_ = environment;
    forEachChild([environment](std::string_view, LexObject& child) {
        child.attach(environment);
        return false;
    });
    return true;
}

void LexDatabase::setSaveTime(const std::tm& t) {
    saveTime_ = t;
    timeSet_ = true;
}

int LexDatabase::write(TokenFile& file) {
    std::tm t = timeSet_ ? saveTime_ : currentSaveTime();
    file.setNextIdentifier(nextId_);
    file.setReservedIdentifiers(&readIds_);
    file.writeString(lexVersionLine(t)).endLine();
    file.writeString("LexDatabase").endLine();
    file.writeString("{").endLine();
    bool stopped = forEachChild([&file](std::string_view key, LexObject& child) {
        file.writeString(key).endLine();
        file.writeString(child.className()).endLine();
        return child.write(file) == 0 || file.failed();
    });
    nextId_ = file.nextIdentifier();
    file.setReservedIdentifiers(nullptr);
    if (stopped) return 0;
    file.writeString("}").endLine();
    return 1;
}

std::uint32_t LexDatabase::read(TokenFile&, LexReadContext&) {
    // A database is a whole file, never a record inside one: reading it as a child would start
    // the file over again and again.
    recordError(kLexErrorFormat, kSeverityFormat);
    return 0;
}

int LexDatabase::load(TokenFile& file) {
    std::string line;
    // The first line is no text value: a carriage return before its line feed counts.
    if (!file.readLine(line, kMaxFirstLine, true) || line.empty() || line.size() >= kMaxFirstLine) {
        return formatFailure();
    }
    if (!file.seek(0, 0)) return formatFailure();

    LexReadContext context;
    std::string token, versionToken, className;
    if (!file.readToken(token)) return formatFailure();
    if (compareNoCase(token, "$Version") == 0) {
        if (!file.readToken(versionToken) || !skipTokens(file, 3) || !file.readToken(className)) {
            return formatFailure();
        }
    } else {
        className = token;
    }
    if (className != "LexDatabase" || !file.readToken(token) || token != "{") {
        return formatFailure();
    }
    bool more = file.readToken(token);
    if (more && compareNoCase(token, "Version") == 0) {
        if (!file.readToken(versionToken) || !skipTokens(file, 3)) return formatFailure();
        more = file.readToken(token);
    }
    version_ = versionToken.empty() ? 0.0 : versionNumber(versionToken);
    context.setVersion(version_);

    while (more && token != "}") {
        std::string key = token;
        if (!file.readToken(className)) return formatFailure();
        std::unique_ptr<LexObject> child = makeLexObject(className);
        if (!child) return 0;
        if (child->read(file, context) == 0) return 0;
        LexObject* raw = child.get();
        if (!add(key, child)) return 0;
        if (!raw->postLoadCheck()) return formatFailure();
        if (version_ < kRepairBelowVersion) {
            if (LexSheet* sheet = raw->asSheet()) sheet->legacyRepair();
        }
        more = file.readToken(token);
    }
    // The data may end without the closing brace, but not inside an over-long token.
    if (!more && !file.atEnd()) return formatFailure();
    if (file.failed()) return formatFailure();
    nextId_ = context.largestIdentifier() + 1;
    if (nextId_ == 0) nextId_ = 1;
    readIds_ = context.identifiers();
    return 1;
}

std::unique_ptr<LexDatabase> LexDatabase::open(const std::string& path,
                                               const LexEnvironment* environment, int mode,
                                               Status* status) {
    // Records the code and hands the failure to the caller who asked for it.
    auto failed = [&](int code, int severity, int sysError = 0) {
        recordError(code, severity);
        reportStatus(status, Status::failure(code, path, sysError));
        return nullptr;
    };
    try {
        auto db = std::make_unique<LexDatabase>();
        db->path_ = path;
        db->mode_ = mode;
        if (mode == kModeCreate) {
            if (pathKind(path) != 0) return failed(kLexErrorExists, kSeverityMinor);
        } else if (mode == kModeUpdate || mode == kModeReadOnly) {
            TokenFile file;
            if (!file.open(path, mode == kModeUpdate ? TokenFile::kModeReadUpdate
                                                     : TokenFile::kModeRead)) {
                return failed(pathKind(path) != 0 ? kLexErrorOpen : kLexErrorMissing,
                              kSeverityMinor, file.error());
            }
            if (!db->load(file)) {
                // The reader recorded its own code; the caller learns whether reading failed.
                const int readError = file.error();
                reportStatus(status,
                             Status::failure(readError != 0 ? kLexErrorOpen : kLexErrorFormat, path,
                                             readError));
                return nullptr;
            }
        } else {
            return failed(kLexErrorMisuse, kSeverityMinor);
        }
        db->attach(environment);
        reportStatus(status, Status::success());
        return db;
    } catch (const std::bad_alloc&) {
        return failed(kLexErrorNoMemory, kSeverityError);
    }
}

std::unique_ptr<LexDatabase> LexDatabase::makeNew(const std::string& path,
                                                  const LexEnvironment* environment) {
    try {
        auto db = std::make_unique<LexDatabase>();
        db->path_ = path;
        db->mode_ = kModeCreate;
        db->attach(environment);
        return db;
    } catch (const std::bad_alloc&) {
        recordError(kLexErrorNoMemory, kSeverityError);
        return nullptr;
    }
}

int LexDatabase::save(Status* status) {
    auto failed = [&](int code, int severity, int sysError = 0) {
        recordError(code, severity);
        reportStatus(status, Status::failure(code, path_, sysError));
        return 0;
    };
    if (mode_ == kModeReadOnly) return failed(kLexErrorReadOnly, kSeverityMinor);
    try {
        // A path that is a link updates the file it names; the link stays as it is.
        std::string target;
        ReplacementFile out;
        if (path_.empty()) return failed(kLexErrorOpen, kSeverityMinor);
        if (const int e = platform::resolveLinks(path_, target); e != 0)
            return failed(kLexErrorOpen, kSeverityMinor, e);
        if (const int e = out.begin(pathDirPart(target), pathFilePart(target), false); e != 0)
            return failed(kLexErrorOpen, kSeverityMinor, e);
        std::tm t = currentSaveTime();
        setSaveTime(t);
        LexSheet* sheetChild = sheet();
        if (sheetChild != nullptr) {
            const LexEnvironment* env = environment();
            updateSaveInformation(*sheetChild, currentUserName(),
                                  formatSaveDate(lexDatePattern(env), t),
                                  formatSaveTime(lexTimePattern(env), t));
        }
        if (sheetChild != nullptr && endsWithNoCase(path_, ".sht")) {
            std::vector<ReferenceLogEntry> entries;
            for (auto& [reference, partName] : sheetChild->componentReferences()) {
                entries.push_back(ReferenceLogEntry{reference, partName});
            }
            // The logs are a by-product: a log that cannot be written does not fail the save.
            writeReferenceLogs(path_, entries);
        }
        if (sheetChild != nullptr && sheetChild->isSymbol()) updateSaveCount(*sheetChild);
        TokenFile file;
        file.attach(out.file());
        const bool written = write(file) != 0;
        timeSet_ = false;
        // The text must have reached the temporary file whole (its last part goes at the close)
        // before the file may take the old one's place.
        const bool complete = file.close() != 0 && written;
        const int committed = complete ? out.commit() : 0;
        if (!complete || committed != 0) {
            const int sysError = complete ? committed : out.file().error();
            out.abandon();
            return failed(kLexErrorOpen, kSeverityMinor, sysError);
        }
        reportStatus(status, Status::success());
        return 1;
    } catch (const std::bad_alloc&) {
        return failed(kLexErrorNoMemory, kSeverityError);
    }
}

int LexDatabase::close(std::unique_ptr<LexDatabase>& database, int how) {
    if (!database) {
        recordError(kLexErrorMisuse, kSeverityMinor);
        return 0;
    }
    bool readOnly = database->mode_ == kModeReadOnly;
    if (how == kCloseSave) {
        if (readOnly) {
            recordError(kLexErrorMisuse, kSeverityMinor);
            return 0;
        }
        if (!database->save()) return 0;
    } else if (how == kCloseSaveUnlessReadOnly) {
        if (!readOnly && !database->save()) return 0;
    } else if (how != kCloseDiscard) {
        recordError(kLexErrorMisuse, kSeverityMinor);
        return 0;
    }
    database.reset();
    return 1;
}
