#include "convert/OutputDatabase.h"

#include <cerrno>

#include "db/LexDatabase.h"
#include "db/LexSheet.h"

OutputDatabase::~OutputDatabase() {
    if (database_.database() != nullptr) dbClose(database_, LexDatabase::kCloseDiscard);
}

Status OutputDatabase::lock(const std::string& path, std::chrono::milliseconds wait) {
    // Runs that add to one output take turns. A link to nothing cannot become an output.
    std::string target;
    if (const int error = platform::resolveLinks(path, target); error != 0)
        return Status::failure(kOutputLinkBroken, path, error);
    const int error = lock_.acquire(target + ".lock", wait);
    if (error == 0 || error == ENOENT || error == EACCES || error == EROFS) return Status();
    return Status::failure(kOutputInUse, path, error);
}

Status OutputDatabase::open(const std::string& path, const LexEnvironment* settings,
                            bool keepExisting, bool symbol) {
    platform::FileStatus status;
    const bool present = platform::fileStatus(path, true, status) == 0;
    const bool plain = !present || status.kind == platform::FileKind::Regular;
    const int refusal = plain                                          ? 0
                        : status.kind == platform::FileKind::Directory ? EISDIR
                                                                       : platform::kErrorNotAFile;
    if (keepExisting && present) {
        if (!plain) return Status::failure(kOutputNotOpened, path, refusal);
        Status opened;
        database_ = dbOpen(path, settings, LexDatabase::kModeUpdate, &opened);
        sheet_ = dbFindChild(database_, "Sheet", kDbHandleSheet);
        openedExisting_ = dbValid(database_) && dbValid(sheet_);
        return openedExisting_ ? Status()
                               : Status::failure(kOutputNotOpened, path, opened.sysError);
    }
    openedExisting_ = false;
    if (!plain) return Status::failure(kOutputNotMade, path, refusal);
    database_ = dbNew(path, settings);
    sheet_ = dbCreateSheet(database_, "Sheet",
                           symbol ? LexSheet::kKindSymbol : LexSheet::kKindSchematic);
    if (dbValid(database_) && dbValid(sheet_)) return Status();
    return Status::failure(kOutputNotMade, path);
}

bool OutputDatabase::hasContent() const {
    const LexDatabase* db = database_.database();
    return db != nullptr && db->hasContent();
}

Status OutputDatabase::save() {
    Status saved;
    dbSave(database_, &saved);
    // Saved or not, the next run may have the output now.
    lock_.release();
    return saved;
}
