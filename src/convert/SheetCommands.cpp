#include "convert/SheetCommands.h"

#include "base/ErrorRecord.h"
#include "db/LexSheet.h"

SheetEditCommand::SheetEditCommand(const DbHandle& handle, bool sheetOnly) {
    if (!dbValid(handle) || (sheetOnly && handle.kind != kDbHandleSheet)) {
        recordError(kLexErrorMisuse, kSeverityMinor);
        return;
    }
    handle_ = handle;
    state_ = kCmdStateReady;
}

SheetEditCommand::~SheetEditCommand() = default;

LexSheet* SheetEditCommand::sheet() const {
    LexSheet* s = handle_.sheet();
    if (s == nullptr) recordError(kLexErrorMisuse, kSeverityMinor);
    return s;
}

SetSheetBoxCommand::SetSheetBoxCommand(const DbHandle& sheet, const QsBox& box)
    : SheetEditCommand(sheet, true), box_(box) {}

int SetSheetBoxCommand::apply() {
    LexSheet* s = sheet();
    if (s == nullptr) return 0;
    // Swapping serves execute, undo and redo alike.
    QsBox old = s->sheetBox();
    s->setSheetBox(box_);
    box_ = old;
    return 1;
}

MoveSheetCommand::MoveSheetCommand(const DbHandle& handle, const QsPoint& p)
    : SheetEditCommand(handle, false), point_(p) {}

int MoveSheetCommand::moveBy(std::int64_t dx, std::int64_t dy) {
    LexSheet* s = sheet();
    if (s == nullptr || !fitsInt32(dx) || !fitsInt32(dy)) return 0;
    if (dx == 0 && dy == 0) return 1;
    return s->moveObjects(QsPoint(static_cast<std::int32_t>(dx), static_cast<std::int32_t>(dy)));
}

int MoveSheetCommand::apply() {
    return moveBy(-static_cast<std::int64_t>(point_.x), -static_cast<std::int64_t>(point_.y));
}

int MoveSheetCommand::takeBack() {
    return moveBy(point_.x, point_.y);
}

SetSheetSizeColourCommand::SetSheetSizeColourCommand(const DbHandle& handle, std::uint16_t colour)
    : SheetEditCommand(handle, false), colour_(colour & 0xFF) {}

int SetSheetSizeColourCommand::apply() {
    LexSheet* s = sheet();
    if (s == nullptr) return 0;
    const int old = s->sizeColor();
    s->setSizeColor(colour_);
    colour_ = old;
    return 1;
}

SetSheetDisplayCommand::SetSheetDisplayCommand(const DbHandle& handle, int flag)
    : SheetEditCommand(handle, false), flag_(flag != 0 ? 1 : 0) {}

int SetSheetDisplayCommand::apply() {
    LexSheet* s = sheet();
    if (s == nullptr) return 0;
    const int old = s->displayFlag();
    s->setDisplayFlag(flag_);
    flag_ = old;
    return 1;
}
