// The undoable commands that put a new polyline, polygon or text on a sheet. The command makes
// and keeps the new object; executing it packs a copy into the sheet's list of its kind (see
// LexPackedObjects), undo takes that entry out again and redo packs it anew at the list's end.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "convert/DbHandle.h"
#include "convert/SheetCommand.h"
#include "geom/QsPoint.h"

class LexSheet;
class LexSheetObject;
class QsPolyline;
class QsPolylineSet;

// What the three creation commands share: the target sheet and the new object.
class CreateObjectCommand : public SheetCommand {
public:
    ~CreateObjectCommand() override;

    // The sheet the object goes to (null when the handle named none).
    LexSheet* targetSheet() const { return sheet_; }
    // The new object as the command made it (the sheet holds a packed copy once executed);
    // null when none was made.
    LexSheetObject* object() const { return owned_.get(); }

protected:
    CreateObjectCommand() = default;

    // Takes the target sheet from the handle and the new object over. Ready (state 0) when the
    // sheet is there (else code 30002) and the object was made and is valid (else code 30004).
    void prepare(const DbHandle& sheet, std::unique_ptr<LexSheetObject> object);

    // Packs the object into the sheet's list of its kind; takes the entry out again.
    int apply() override;
    int takeBack() override;

private:
    LexSheet* sheet_ = nullptr;
    std::unique_ptr<LexSheetObject> owned_;
    std::size_t packedIndex_ = 0;  // the entry made by the last apply
};

class CreatePolylineCommand : public CreateObjectCommand {
public:
    // A LexPolyline with the geometry and the explicit colour, line style and line width
    // indices. The first form takes the geometry over, the second copies it.
    CreatePolylineCommand(const DbHandle& sheet, std::unique_ptr<QsPolyline> geometry, int colour,
                          int lineStyle, int lineWidth);
    CreatePolylineCommand(const DbHandle& sheet, const QsPolyline& geometry, int colour,
                          int lineStyle, int lineWidth);
};

class CreatePolygonCommand : public CreateObjectCommand {
public:
    // A LexPolygon made from the geometry (a QsPolygon with its holes, or a plain outline) with
    // the explicit colour, line style, line width and fill style indices and the filled flag.
    // The first form takes the geometry over, the second copies it.
    CreatePolygonCommand(const DbHandle& sheet, std::unique_ptr<QsPolylineSet> geometry, int colour,
                         int lineStyle, int lineWidth, bool filled, int fillStyle);
    CreatePolygonCommand(const DbHandle& sheet, const QsPolylineSet& geometry, int colour,
                         int lineStyle, int lineWidth, bool filled, int fillStyle);
};

class CreateTextCommand : public CreateObjectCommand {
public:
    // A LexText at position with the string and font index, then, in this order: the colour,
    // the justification code, the path, the rotation about the position (radians) and the
    // scale 1.0 about the position.
    CreateTextCommand(const DbHandle& sheet, const QsPoint& position, std::string_view string,
                      int font, int colour, int justification, int path, double rotation);
};
