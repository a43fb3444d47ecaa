#include "convert/ConversionSetup.h"

#include <initializer_list>

#include "convert/SheetCommands.h"
#include "db/LexSheet.h"
#include "db/ProjectLayout.h"
#include "db/ResourceSettings.h"

SettingsFiles settingsFilesFor(bool symbol, const std::string& dir) {
    if (symbol) return {systemFile("landata", kSystemInfo), systemFile("lanenv", kSystemInfo)};
    return {pathOf(dir, kPathKindSettings, "landata"), pathOf(dir, kPathKindSettings, "lanenv")};
}

Status loadOutputSettings(bool symbol, const std::string& dir, OutputSettings& out) {
    const SettingsFiles files = settingsFilesFor(symbol, dir);
    // A circuit without a usable path table names no settings file; the table is named then.
    auto unnamed = [&dir] { return Status::failure(kSettingsRefused, pathTableOf(dir)); };
    Status status;
    if (files.landata.empty()) return unnamed();
    out.landata = openDatabaseSettings(files.landata, kSettingsRead, &status);
    if (!out.landata) return status;
    if (files.lanenv.empty()) return unnamed();
    out.lanenv = openEnvironmentSettings(files.lanenv, kSettingsRead, out.landata.get(), &status);
    return status;
}

bool configureNewSheet(const DbHandle& database, const DbHandle& sheet,
                       const EnvironmentSettings& env, bool symbol) {
    QsBox area(0, 0, 500000, 500000);
    if ((symbol ? env.symSheetSizeCount() : env.schSheetSizeCount()) > 0) {
        const SheetSizeEntry e = symbol ? env.symSheetSize(0) : env.schSheetSize(0);
        area = QsBox(e.x1, e.y1, e.x2, e.y2);
    }
    const int sizeColour = symbol ? env.symSheetSizeColor() : env.schSheetSizeColor();

    SetSheetBoxCommand setArea(sheet, area);
    MoveSheetCommand moveOrigin(sheet, QsPoint(0, 0));
    SetSheetSizeColourCommand setColour(sheet, static_cast<std::uint16_t>(sizeColour));
    SetSheetDisplayCommand setDisplay(sheet, 1);
    bool ok = true;
    for (SheetCommand* command :
         std::initializer_list<SheetCommand*>{&setArea, &moveOrigin, &setColour, &setDisplay})
        ok = ok && command->execute() == 1;
    if (!ok || env.gridRowCount() < 1) return false;

    const GridRow row = env.gridRow(0);
    DbGridValues grid;
    grid.pitchX = row.pitchX;
    grid.pitchY = row.pitchY;
    grid.visible = true;
    grid.value1 = row.valueA;
    grid.value2 = row.valueB;
    grid.secondFlag = true;
    grid.color = env.gridColor();
    grid.highByte = 1;
    dbCreateGrid(database, "Grid", grid);

    DbZoneValues zone;
    zone.mode = env.zoneOrigin();
    zone.pitchX = env.zonePitchX();
    zone.pitchY = env.zonePitchY();
    zone.label1 = env.zoneStartTextX();
    zone.label2 = env.zoneStartTextY();
    zone.visible = true;
    dbCreateZone(database, "Zone", zone);
    return true;
}

bool fitSheetToDrawing(const DbHandle& sheet) {
    QsBox extent;
    if (LexSheet* s = sheet.sheet()) s->objectsExtent(extent);
    SetSheetBoxCommand setExtent(sheet, extent);
    return setExtent.execute() == 1;
}
