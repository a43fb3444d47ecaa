#include "app/ConversionSetup.h"

#include <cctype>
#include <cmath>
#include <initializer_list>
#include <limits>

#include "base/StringUtil.h"
#include "convert/SheetCommands.h"
#include "db/LexSheet.h"
#include "db/ProjectLayout.h"
#include "db/ResourceSettings.h"

namespace {

// An offset (or a side of the fit box) is kept only when its value in thousandths fits a 32-bit
// coordinate.
bool offsetFits(double value) {
    const double scaled = std::trunc(value * 1000.0);
    return std::isfinite(scaled) &&
           scaled >= static_cast<double>(std::numeric_limits<std::int32_t>::min()) &&
           scaled <= static_cast<double>(std::numeric_limits<std::int32_t>::max());
}

}  // namespace

double readOptionNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    const std::size_t start = i;
    auto digitsFrom = [&](std::size_t p) {
        while (p < text.size() && std::isdigit(static_cast<unsigned char>(text[p])))
            ++p;
        return p;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t intEnd = digitsFrom(i);
    std::size_t end = intEnd;
    bool haveDigits = intEnd > i;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fracEnd = digitsFrom(end + 1);
        haveDigits = haveDigits || fracEnd > end + 1;
        end = fracEnd;
    }
    if (!haveDigits) return 0.0;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t e = end + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
        const std::size_t expEnd = digitsFrom(e);
        if (expEnd > e) end = expEnd;
    }
    // Only the prefix is handed on, so that nothing beyond it (hexadecimal, "inf") is read.
    const std::string number(text.substr(start, end - start));
    double value = 0.0;
    readDouble(number.c_str(), &value);
    return value;
}

PlotSizing plotSizing(const Placement& placement) {
    PlotSizing sizing;
    sizing.scale = placement.scale;
    sizing.userScaling = placement.userScale;
    sizing.fitWidth = placement.fitWidth;
    sizing.fitHeight = placement.fitHeight;
    return sizing;
}

bool applyPlacementParameter(Placement& placement, std::string_view name, std::string_view value) {
    if (compareNoCase(name, "userscale") == 0) {
        placement.userScale = readOptionNumber(value) != 0.0;
        return true;
    }
    if (compareNoCase(name, "fit") == 0) {
        // WIDTHxHEIGHT: both sides or nothing.
        const std::size_t x = value.find_first_of("xX");
        if (x == std::string_view::npos) return true;
        const double w = readOptionNumber(value.substr(0, x));
        const double h = readOptionNumber(value.substr(x + 1));
        if (w > 0 && h > 0 && offsetFits(w) && offsetFits(h) && std::trunc(w * 1000.0) >= 1 &&
            std::trunc(h * 1000.0) >= 1) {
            placement.fitWidth = static_cast<std::int32_t>(std::trunc(w * 1000.0));
            placement.fitHeight = static_cast<std::int32_t>(std::trunc(h * 1000.0));
        }
        return true;
    }
    const bool scale = compareNoCase(name, "scale") == 0;
    const bool offsetX = compareNoCase(name, "offsetx") == 0;
    const bool offsetY = compareNoCase(name, "offsety") == 0;
    if (!scale && !offsetX && !offsetY) return false;
    const double number = readOptionNumber(value);
    if (scale) {
        if (number >= 0.01 && number <= 100.0) placement.scale = number;
    } else if (offsetFits(number)) {
        const auto units = static_cast<std::int32_t>(std::trunc(number * 1000.0));
        (offsetX ? placement.offsetX : placement.offsetY) = units;
    }
    return true;
}

SettingsFiles settingsFilesFor(bool symbol, const std::string& dir) {
    if (symbol) return {systemFile("landata", kSystemInfo), systemFile("lanenv", kSystemInfo)};
    return {pathOf(dir, kPathKindSettings, "landata"), pathOf(dir, kPathKindSettings, "lanenv")};
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
