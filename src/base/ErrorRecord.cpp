#include "base/ErrorRecord.h"

ErrorRecord& ErrorRecord::instance() {
    static ErrorRecord record;
    return record;
}

void ErrorRecord::record(int code, int severity) {
    ++newest_;
    if (newest_ == static_cast<int>(entries_.size())) {
        entries_[0] = entries_[1];
        entries_[1] = entries_[2];
        newest_ = 2;
    }
    entries_[newest_] = Entry{code, severity};
}

int ErrorRecord::belowLevel(int level) const {
    if (newest_ < 0) return 1;
    return entries_[newest_].severity < level ? 1 : 0;
}

int ErrorRecord::code(int k) const {
    if (newest_ < 0) return 0;
    int index = newest_ - (k < 0 ? 0 : k);
    if (index < 0) index = 0;
    return entries_[index].code;
}

int ErrorRecord::severity(int k) const {
    if (newest_ < 0) return 0;
    int index = newest_ - (k < 0 ? 0 : k);
    if (index < 0) index = 0;
    return entries_[index].severity;
}

void ErrorRecord::clear() {
    entries_ = {};
    newest_ = -1;
}

void recordError(int code, int severity) {
    ErrorRecord::instance().record(code, severity);
}
