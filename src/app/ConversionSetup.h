// The pieces of a conversion's set-up that other programs of the project repeat exactly as the
// converter does them: the placement parameters (-p:scale, -p:offsetx, -p:offsety), where the
// settings of an output are found, the configuration of a new sheet, and the area a new sheet
// gets from what was drawn on it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "convert/DbHandle.h"
#include "hpgl/PlotFit.h"

class EnvironmentSettings;

// Scale and offsets of a conversion; the offsets are in output units (thousandths of a mm).
// The sizing extensions: user scaling (-p:userscale) and a box to fit the drawing into
// (-p:fit, output units; none while either side is 0).
struct Placement {
    double scale = 1.6;
    std::int32_t offsetX = 0;
    std::int32_t offsetY = 0;
    bool userScale = false;
    std::int32_t fitWidth = 0;
    std::int32_t fitHeight = 0;
};

// The sizing of the plot that the placement asks for.
PlotSizing plotSizing(const Placement& placement);

// Reads the longest decimal number at the start of text (after blanks): optional sign, digits
// with an optional fraction, optional exponent. A text that is no such number reads as 0.
double readOptionNumber(std::string_view text);

// Applies the named parameter to the placement: "scale" (kept only within 0.01 to 100) and
// "offsetx", "offsety" (millimetres, kept only when the value times 1000 fits 32 bits, then
// truncated), names in any letter case. The extensions: "userscale" (a number, on unless 0) and
// "fit" (WIDTHxHEIGHT in millimetres, kept only when both are positive and fit 32 bits times
// 1000). False for any other name, which changes nothing.
bool applyPlacementParameter(Placement& placement, std::string_view name, std::string_view value);

// The "landata" and "lanenv" files an output takes: a symbol's from the installation, a sheet's
// through the path table of the circuit directory dir. A path is empty when it cannot be formed.
struct SettingsFiles {
    std::string landata;
    std::string lanenv;
};
SettingsFiles settingsFilesFor(bool symbol, const std::string& dir);

// Gives the new sheet of the database its area (the first sheet size of the settings, else
// 500 mm square), origin, sheet-size colour and display flag through the sheet edit commands,
// then adds the database's "Grid" and "Zone" from the settings. False when a command fails or
// the settings have no grid row; the grid and zone are then not added.
bool configureNewSheet(const DbHandle& database, const DbHandle& sheet,
                       const EnvironmentSettings& env, bool symbol);

// Sets the sheet's area to the extent of the objects it holds ((0, 0) to (0, 0) without any).
// False when the command fails.
bool fitSheetToDrawing(const DbHandle& sheet);
