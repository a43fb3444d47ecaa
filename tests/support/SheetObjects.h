// Owned copies of the objects of one list of a sheet, packed entries included, in list order:
// what tests compare instead of walking the list itself.
#pragma once

#include <memory>
#include <vector>

#include "db/LexSheet.h"

template <class T>
std::vector<std::unique_ptr<T>> listObjects(const LexSheet& sheet, int listKind) {
    std::vector<std::unique_ptr<T>> out;
    sheet.forEachInList(listKind, [&out](LexSheetObject& o) {
        out.push_back(lexCloneAs(static_cast<T&>(o)));
        return false;
    });
    return out;
}
