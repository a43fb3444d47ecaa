// The pieces of a conversion's set-up that every program converting a plot does exactly as the
// converter does them: where the settings of an output are found and loading them, the
// configuration of a new sheet, and the area a new sheet gets from what was drawn on it.
#pragma once

#include <memory>
#include <string>

#include "base/Status.h"
#include "convert/DbHandle.h"
#include "db/ResourceSettings.h"

// The "landata" and "lanenv" files an output takes: a symbol's from the installation, a sheet's
// through the path table of the circuit directory dir. A path is empty when it cannot be formed.
struct SettingsFiles {
    std::string landata;
    std::string lanenv;
};
SettingsFiles settingsFilesFor(bool symbol, const std::string& dir);

// The loaded settings of an output.
struct OutputSettings {
    std::unique_ptr<DatabaseSettings> landata;
    std::unique_ptr<EnvironmentSettings> lanenv;
};

// Loads the settings of an output (settingsFilesFor), "landata" first. On failure the status
// names the file that could not be read (with the system's reason when reading failed), or the
// path table of dir when a circuit names no such file.
Status loadOutputSettings(bool symbol, const std::string& dir, OutputSettings& out);

// Gives the new sheet of the database its area (the first sheet size of the settings, else
// 500 mm square), origin, sheet-size colour and display flag through the sheet edit commands,
// then adds the database's "Grid" and "Zone" from the settings. False when a command fails or
// the settings have no grid row; the grid and zone are then not added.
bool configureNewSheet(const DbHandle& database, const DbHandle& sheet,
                       const EnvironmentSettings& env, bool symbol);

// Sets the sheet's area to the extent of the objects it holds ((0, 0) to (0, 0) without any).
// False when the command fails.
bool fitSheetToDrawing(const DbHandle& sheet);
