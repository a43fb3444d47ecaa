// The undoable commands that configure a sheet: its area box, the origin of what it holds, its
// sheet-size colour and its display flag. Executing stores the new value and keeps the old one;
// undo puts the old value back and redo the new one.
#pragma once

#include <cstdint>

#include "convert/DbHandle.h"
#include "convert/SheetCommand.h"
#include "geom/QsBox.h"
#include "geom/QsPoint.h"

class LexSheet;

// What the sheet edit commands share: the handle they were made for.
class SheetEditCommand : public SheetCommand {
public:
    ~SheetEditCommand() override;

    const DbHandle& handle() const { return handle_; }

protected:
    // Ready when the handle is valid and, with sheetOnly, a sheet handle; otherwise code 30002
    // and not ready.
    SheetEditCommand(const DbHandle& handle, bool sheetOnly);

    // The sheet to change; null (code 30002) when the handle names no sheet.
    LexSheet* sheet() const;

private:
    DbHandle handle_;
};

class SetSheetBoxCommand : public SheetEditCommand {
public:
    // Needs a sheet handle.
    SetSheetBoxCommand(const DbHandle& sheet, const QsBox& box);
    // The box the command holds: the new one before execute, the old one after it.
    const QsBox& box() const { return box_; }

protected:
    int apply() override;
    int takeBack() override { return apply(); }

private:
    QsBox box_;
};

class MoveSheetCommand : public SheetEditCommand {
public:
    // Makes p the origin: everything the sheet's lists hold moves by (-p.x, -p.y).
    MoveSheetCommand(const DbHandle& handle, const QsPoint& p);

protected:
    int apply() override;
    int takeBack() override;

private:
    int moveBy(std::int64_t dx, std::int64_t dy);
    QsPoint point_;
};

class SetSheetSizeColourCommand : public SheetEditCommand {
public:
    // The low 8 bits of colour become the sheet-size colour.
    SetSheetSizeColourCommand(const DbHandle& handle, std::uint16_t colour);

protected:
    int apply() override;
    int takeBack() override { return apply(); }

private:
    int colour_;
};

class SetSheetDisplayCommand : public SheetEditCommand {
public:
    // Sets (non-zero) or clears the sheet's display flag.
    SetSheetDisplayCommand(const DbHandle& handle, int flag);

protected:
    int apply() override;
    int takeBack() override { return apply(); }

private:
    int flag_;
};
