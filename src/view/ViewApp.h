// The preview program `trazon-view`: draws a symbol or sheet as an SVG file, or a plot beside
// its converted output as an HTML page. It writes nothing but the file it is asked for.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "app/DriverOptions.h"
#include "convert/ConversionSetup.h"
#include "convert/DbHandle.h"

class DatabaseSettings;
class EnvironmentSettings;
class LexDatabase;

// Exit codes of the preview.
inline constexpr int kViewExitDone = 0;
inline constexpr int kViewExitFailed = 1;  // one line on standard error says why
inline constexpr int kViewExitUsage = 2;   // the command line is wrong

// What to draw, from the command line.
struct ViewRequest {
    std::string input;        // a symbol or sheet, or a plot
    std::string compareWith;  // with a plot: its converted output (empty: convert in memory)
    std::string penMap;       // -r, for the conversion in memory
    Placement placement;      // -p:scale, -p:offsetx, -p:offsety
    bool grid = false;        // --grid
};

// A document, or the reason there is none (one line, without the program name).
struct ViewResult {
    bool ok = false;
    std::string document;
    std::string error;
};

// True when the name ends in ".smb" or ".sht" (any letter case).
bool isDatabaseFile(std::string_view path);

// A symbol or sheet file, loaded read-only with the settings the converter would use for it (a
// symbol's from the installation, a sheet's through its circuit); when those cannot be read,
// the installation's, and failing those the built-in defaults.
class LoadedDrawing {
public:
    LoadedDrawing();
    ~LoadedDrawing();
    LoadedDrawing(const LoadedDrawing&) = delete;
    LoadedDrawing& operator=(const LoadedDrawing&) = delete;

    // False, with the reason, when the file cannot be read as a database with a sheet.
    bool load(const std::string& path, std::string& error);
    const LexDatabase* database() const { return database_.get(); }
    const DatabaseSettings* settings() const { return settings_.get(); }

private:
    std::unique_ptr<DatabaseSettings> settings_;
    std::unique_ptr<LexDatabase> database_;
};

// A plot converted into a new symbol in memory exactly as the converter makes one (the
// installation's settings, the new sheet's set-up, the conversion, the area fitted to the
// drawing), never saved.
class MemoryConversion {
public:
    MemoryConversion();
    ~MemoryConversion();
    MemoryConversion(const MemoryConversion&) = delete;
    MemoryConversion& operator=(const MemoryConversion&) = delete;

    // False, with the reason, when the settings cannot be read, the symbol cannot be set up, or
    // the plot cannot be converted.
    bool run(const std::string& plot, const std::string& penMap, const Placement& placement,
             std::string& error);
    const LexDatabase* database() const { return database_.database(); }
    const DatabaseSettings* settings() const { return settings_.landata.get(); }

private:
    OutputSettings settings_;
    DbHandle database_;
    DbHandle sheet_;
};

// The SVG picture of a symbol or sheet file.
ViewResult renderDrawingFile(const std::string& path, bool grid);
// The side-by-side page of a plot and its output (the request's second file, or the plot
// converted in memory).
ViewResult renderComparison(const ViewRequest& request);

// The command-line entry: reads the arguments (argv[0] the program name), writes the document
// and returns the exit code.
int trazonViewMain(int argc, char** argv);
