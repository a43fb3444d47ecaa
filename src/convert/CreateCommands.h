// The undoable commands that put a new polyline, polygon or text on a sheet. The command owns its
// new object until it has been executed; from then on the sheet owns it (undo takes it back).
#pragma once

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
    // The new object, whoever owns it at the moment; null when none was made.
    LexSheetObject* object() const { return object_; }

protected:
    CreateObjectCommand() = default;

    // Takes the target sheet from the handle and the new object over. Ready (state 0) when the
    // sheet is there (else code 30002) and the object was made and is valid (else code 30004).
    void prepare(const DbHandle& sheet, std::unique_ptr<LexSheetObject> object);

    // Adds the object to the sheet's list of its kind; takes it out again.
    int apply() override;
    int takeBack() override;

private:
    LexSheet* sheet_ = nullptr;
    std::unique_ptr<LexSheetObject> owned_;  // set while the command owns the object
    LexSheetObject* object_ = nullptr;
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
