#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <string>

#include "ConvertTestSupport.h"
#include "convert/CreateCommands.h"
#include "convert/SheetCommands.h"
#include "geom/QsPolygon.h"
#include "geom/QsPolyline.h"

using converttest::SheetFixture;

namespace {

class CommandsTest : public SheetFixture {
protected:
    int newestCode() { return ErrorRecord::instance().code(); }
};

QsPolyline twoPoints() {
    const QsPoint pts[] = {{0, 0}, {10, 20}};
    return QsPolyline(pts, 2);
}

}  // namespace

TEST_F(CommandsTest, CreationCommandsFollowTheStateProtocol) {
    CreatePolylineCommand line(sheetHandle, twoPoints(), 4, 1, 2);
    EXPECT_EQ(line.state(), kCmdStateReady);
    EXPECT_EQ(line.reversible(), 1);
    EXPECT_EQ(line.type(), kCmdTypeDatabase);
    // Only an executed command can be undone, only an undone one redone.
    EXPECT_EQ(line.undo(), 0);
    EXPECT_EQ(newestCode(), 30005);
    EXPECT_EQ(line.redo(), 0);
    EXPECT_EQ(sheet().objectCount(), 0u);

    ASSERT_EQ(line.execute(), 1);
    EXPECT_EQ(line.state(), kCmdStateExecuted);
    ASSERT_EQ(sheet().polylines().head(), line.object());
    EXPECT_EQ(sheet().polylines().head()->rawColor(), 4);
    EXPECT_EQ(sheet().polylines().head()->rawLineStyle(), 1);
    EXPECT_EQ(sheet().polylines().head()->rawLineWidth(), 2);
    ErrorRecord::instance().clear();
    EXPECT_EQ(line.execute(), 0);
    EXPECT_EQ(newestCode(), 30005);
    EXPECT_EQ(ErrorRecord::instance().severity(), 2);

    EXPECT_EQ(line.undo(), 1);
    EXPECT_EQ(line.state(), kCmdStateUndone);
    EXPECT_EQ(sheet().objectCount(), 0u);
    EXPECT_EQ(line.redo(), 1);
    EXPECT_EQ(sheet().polylines().size(), 1u);
    EXPECT_EQ(line.undo(), 1);
    // Destroyed while undone, a command destroys its object (the sanitizers see any leak).
    {
        CreatePolygonCommand polygon(sheetHandle, QsPolygon(QsBox(0, 0, 5, 5)), 1, 0, 0, true, 2);
        EXPECT_EQ(polygon.execute(), 1);
        EXPECT_EQ(polygon.undo(), 1);
    }
    {
        CreateTextCommand text(sheetHandle, QsPoint(1, 2), "T", 1, 3, 0, 0, 0.0);
        EXPECT_EQ(text.execute(), 1);  // executed: the sheet keeps it
    }
    EXPECT_EQ(sheet().objectCount(), 1u);
    EXPECT_EQ(sheet().texts().size(), 1u);
}

TEST_F(CommandsTest, CreationCommandsThatCannotBeReady) {
    using Make = std::function<std::unique_ptr<CreateObjectCommand>()>;
    struct Case {
        const char* what;
        Make make;
        int code, severity;
    };
    const Case cases[] = {
        {"polyline without geometry",
         [&] {
             return std::make_unique<CreatePolylineCommand>(sheetHandle,
                                                            std::unique_ptr<QsPolyline>(), 0, 0, 0);
         },
         30004, 4},
        {"polygon without geometry",
         [&] {
             return std::make_unique<CreatePolygonCommand>(
                 sheetHandle, std::unique_ptr<QsPolylineSet>(), 0, 0, 0, false, 0);
         },
         30004, 4},
        {"text leaving the range",
         [&] {
             return std::make_unique<CreateTextCommand>(sheetHandle, QsPoint(INT_MAX - 5, 0),
                                                        std::string(100, 'W'), 0, 0, 0, 0, 0.0);
         },
         30004, 4},
        {"database handle",
         [&] { return std::make_unique<CreatePolylineCommand>(database, twoPoints(), 0, 0, 0); },
         30002, 2},
        {"invalid handle",
         [&] {
             return std::make_unique<CreateTextCommand>(DbHandle(), QsPoint(), "x", 0, 0, 0, 0,
                                                        0.0);
         },
         30002, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ErrorRecord::instance().clear();
        std::unique_ptr<CreateObjectCommand> command = c.make();
        EXPECT_EQ(command->state(), kCmdStateNotReady);
        EXPECT_EQ(newestCode(), c.code);
        EXPECT_EQ(ErrorRecord::instance().severity(), c.severity);
        EXPECT_EQ(command->execute(), 0);
        EXPECT_EQ(newestCode(), 30005);
    }
    EXPECT_EQ(sheet().objectCount(), 0u);
}

TEST_F(CommandsTest, SheetEditCommandsSwapTheirValues) {
    LexSheet& s = sheet();
    const QsBox before = s.sheetBox();
    SetSheetBoxCommand box(sheetHandle, QsBox(1, 2, 300, 400));
    ASSERT_EQ(box.execute(), 1);
    EXPECT_EQ(s.sheetBox(), QsBox(1, 2, 300, 400));
    EXPECT_EQ(box.undo(), 1);
    EXPECT_EQ(s.sheetBox(), before);
    EXPECT_EQ(box.redo(), 1);
    EXPECT_EQ(s.sheetBox(), QsBox(1, 2, 300, 400));
    EXPECT_EQ(box.redo(), 0);  // already redone

    SetSheetSizeColourCommand colour(sheetHandle, 0x1234);
    ASSERT_EQ(colour.execute(), 1);
    EXPECT_EQ(s.sizeColor(), 0x34);
    EXPECT_EQ(s.attributes() & 0xFF00FFFFu, 0u);  // only bits 16-23 change
    EXPECT_EQ(colour.undo(), 1);
    EXPECT_EQ(s.sizeColor(), 0);

    SetSheetDisplayCommand display(sheetHandle, 7);
    ASSERT_EQ(display.execute(), 1);
    EXPECT_EQ(s.attributes() & LexSheet::kDisplayFlag, LexSheet::kDisplayFlag);
    EXPECT_EQ(display.undo(), 1);
    EXPECT_EQ(s.displayFlag(), 0);

    // The point given becomes the origin of what the sheet holds.
    CreatePolylineCommand line(sheetHandle, twoPoints(), 0, 0, 0);
    ASSERT_EQ(line.execute(), 1);
    MoveSheetCommand move(sheetHandle, QsPoint(10, -5));
    ASSERT_EQ(move.execute(), 1);
    EXPECT_EQ(s.polylines().head()->box(), QsBox(-10, 5, 0, 25));
    EXPECT_EQ(move.undo(), 1);
    EXPECT_EQ(s.polylines().head()->box(), QsBox(0, 0, 10, 20));
    MoveSheetCommand tooFar(sheetHandle, QsPoint(INT_MIN, 0));  // -INT_MIN does not fit
    EXPECT_EQ(tooFar.execute(), 0);
    EXPECT_EQ(tooFar.state(), kCmdStateNotReady);
    EXPECT_EQ(s.polylines().head()->box(), QsBox(0, 0, 10, 20));

    // The box command needs a sheet handle; the others any valid handle, but change only sheets.
    const DbHandle grid = dbCreateGrid(database, "Grid", DbGridValues());
    ASSERT_TRUE(dbValid(grid));
    ErrorRecord::instance().clear();
    SetSheetBoxCommand onGrid(grid, QsBox());
    EXPECT_EQ(onGrid.state(), kCmdStateNotReady);
    EXPECT_EQ(newestCode(), 30002);
    SetSheetBoxCommand onNothing{DbHandle(), QsBox()};
    EXPECT_EQ(onNothing.state(), kCmdStateNotReady);
    SetSheetDisplayCommand displayOnGrid(grid, 1);
    EXPECT_EQ(displayOnGrid.state(), kCmdStateReady);
    EXPECT_EQ(displayOnGrid.execute(), 0);
    SetSheetSizeColourCommand colourOnNothing(DbHandle(), 1);
    EXPECT_EQ(colourOnNothing.state(), kCmdStateNotReady);
}
