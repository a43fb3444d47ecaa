#include "font/SystemFontTable.h"

#include <new>

#include "base/Language.h"
#include "base/PathUtil.h"
#include "base/SysEnv.h"

namespace {

std::string envValue(const char* name) {
    const char* value = getSysEnv(name);
    return value ? std::string(value) : std::string();
}

// A font file, or the first file of a split font, that can be opened for reading.
bool readable(const std::string& path) {
    if (pathKind(path) >= 2 && testAccess(path, kAccessRead)) return true;
    std::string first = path + ".vf1";
    return pathKind(first) >= 2 && testAccess(first, kAccessRead);
}

}  // namespace

SystemFontTable& SystemFontTable::instance() {
    static SystemFontTable table;
    return table;
}

SystemFontTable::Row* SystemFontTable::row(unsigned number) {
    for (Row& r : rows_)
        if (r.number == number) return &r;
    return nullptr;
}

const char* SystemFontTable::relativePath(unsigned number) {
    Row* r = instance().row(number);
    return r ? r->path : nullptr;
}

std::string SystemFontTable::locateSystemFile(const std::string& relative) {
    std::string project = envValue("NVL_PROJECT_ROOT");
    std::string local = envValue("QLOCALROOT");
    std::string install = envValue("QRXROOT");
    std::string localCandidate = local + "/qsys" + relative;
    if (!project.empty()) {
        std::string candidate = project + "/local/qsys" + relative;
        if (readable(candidate)) return candidate;
    }
    if (!local.empty() && readable(localCandidate)) return localCandidate;
    if (!install.empty()) {
        std::string candidate = install + relative;
        if (readable(candidate)) return candidate;
    }
    return localCandidate;
}

FontHandle* SystemFontTable::find(unsigned number) {
    Row* r = row(number);
    if (!r) return nullptr;
    if (r->handle) return r->handle.get();
    try {
        std::string file = locateSystemFile(r->path);
        int loadMode = kLoadOnDemand;
        int codeKind = kCodeJis;
        if (number < 100) {
            loadMode = kLoadWhole;
        } else if (number < 200) {
            codeKind = charsetKind() == kCharsetEucJp ? kCodeEucJp : kCodeShiftJis;
        } else if (number < 300) {
            codeKind = kCodeKorean;
        } else {
            codeKind = kCodeChinese;
        }
        auto handle = std::make_unique<FontHandle>();
        handle->open(file, loadMode, codeKind);
        r->handle = std::move(handle);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return r->handle.get();
}

FontHandle* SystemFontTable::findFont(unsigned number) {
    FontHandle* handle = find(number);
    return handle && handle->hasFont() ? handle : nullptr;
}

void SystemFontTable::reset() {
    for (Row& r : rows_)
        r.handle.reset();
}

FontHandle* findSystemFont(unsigned number) {
    return SystemFontTable::instance().find(number);
}

void resetSystemFontTable() {
    SystemFontTable::instance().reset();
}
