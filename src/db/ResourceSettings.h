// The settings of a design, read from ".rsc" files: the database settings ("landata": colour,
// width, style, fill and font tables, the defaults objects fall back to, save-stamp patterns) and
// the environment settings ("lanenv": grid, sheet sizes, zone and the editor's preferences).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/Status.h"
#include "db/SettingsKeys.h"
#include "db/SettingsTable.h"

// Open modes of openDatabaseSettings / openEnvironmentSettings.
inline constexpr int kSettingsCreate = 0;  // built-in defaults only; the file must not exist
inline constexpr int kSettingsUpdate = 1;  // the file must be writable; it is read
inline constexpr int kSettingsRead = 2;    // the file must be readable; it is read

// Zone origins (`zoneOrigin`) and zone offset modes (`zoneOffsetMode`).
inline constexpr int kZoneDownLeft = 0;
inline constexpr int kZoneDownRight = 1;
inline constexpr int kZoneUpLeft = 2;
inline constexpr int kZoneUpRight = 3;
inline constexpr int kZoneOffsetOff = 0;
inline constexpr int kZoneOffsetCenterEnd = 1;
inline constexpr int kZoneOffsetCenterCross = 2;

// Converts a length in millimetres to database units (a thousandth of a millimetre), rounded
// half away from zero. 0 when the value is not finite or the result leaves the 32-bit range.
int millimetresToUnits(double mm, std::int32_t* units);
// Rounds a length already in database units half away from zero, with the same range rule.
int roundToUnits(double value, std::int32_t* units);

// Common part of both settings objects: the values read from a file, stored by the slots of
// their key set (SettingsKeys), and the text of every scalar statement as written.
class ResourceSettings {
public:
    virtual ~ResourceSettings();
    ResourceSettings(const ResourceSettings&) = delete;
    ResourceSettings& operator=(const ResourceSettings&) = delete;

    // Reads settings text into this object (readSettingsStatements). 1 when the whole text was
    // read; 0 at the first invalid statement. Values read before the failure stay.
    int read(std::string_view text);
    // Reads a file as read does; 0 also when the file cannot be read (error, when given,
    // receives the system's error number then).
    int readFile(std::string_view path, int* error = nullptr);

    // The file read last (empty when none).
    const std::string& path() const { return path_; }
    // The line of the statement that made the last read fail, 0 when none did.
    int failedLine() const { return failedLine_; }

    // The text of the last scalar statement for key as written in the file (a parenthesised list
    // as its words joined by one blank), or null when the file had none.
    const std::string* valueOf(std::string_view key) const;
    // The table of key (typed or kept), or null when key names no table of this object.
    const SettingsTable* tableOf(std::string_view key) const;

protected:
    struct Scalar {
        long long integer = 0;
        double real = 0.0;
        std::string text;
    };

    explicit ResourceSettings(const SettingsKeySet& keys);

    // Called after a successful reading of a whole file (clamping of defaults and the like).
    virtual void finishReading() {}

    const Scalar& scalar(int slot) const { return scalars_[static_cast<std::size_t>(slot)]; }
    Scalar& scalar(int slot) { return scalars_[static_cast<std::size_t>(slot)]; }
    const SettingsTable& table(int slot) const { return tables_[static_cast<std::size_t>(slot)]; }

private:
    friend class SettingsReader;

    const SettingsKeySet& keys_;
    std::string path_;
    int failedLine_ = 0;
    std::vector<Scalar> scalars_;
    std::vector<SettingsTable> tables_;
    std::map<std::string, std::string, std::less<>> written_;
    std::map<std::string, SettingsTable, std::less<>> keptTables_;
};

// Keys whose value is an index into a table of the database settings; objects whose default
// flag is set take these values.
enum class SettingsDefault {
    CompColor,
    FrameColor,
    NetColor,
    BusColor,
    LineColor,
    CircleColor,
    TextColor,
    PropertyColor,
    SymbSheetColor,
    SchmSheetColor,
    SymbFrameColor,
    LineWidth,
    FrameLineWidth,
    NetLineWidth,
    BusLineWidth,
    CircleLineWidth,
    LineStyle,
    FrameLineStyle,
    NetLineStyle,
    BusLineStyle,
    CircleLineStyle,
    FillStyle,
    CircleFillStyle,
    TextFont,
    PropertyFont,
};

// A row of `colorTable`.
struct SettingsColor {
    int red = 0;
    int green = 0;
    int blue = 0;
    std::string name;
};

// A row of `textTable`, in database units.
struct TextTableEntry {
    std::int32_t charWidth = 0;
    std::int32_t charHeight = 0;
    std::int32_t charGap = 0;
    std::int32_t lineGap = 0;
};

// A row of `lineStyleTable`: dash and gap lengths in database units (all 0: solid).
struct LineStyleEntry {
    std::int32_t dash1 = 0;
    std::int32_t gap1 = 0;
    std::int32_t dash2 = 0;
    std::int32_t gap2 = 0;
};

// A row of `fillStyleTable`: kind 0 hollow, 1 solid, 2 hatch; hatch angle in degrees; pitch in
// database units.
struct FillStyleEntry {
    int kind = 0;
    double angle = 0.0;
    std::int32_t pitch = 0;
};

// A row of `precisionTable`.
struct PrecisionEntry {
    std::string name;
    double unitsPerMm = 0.0;
    double ratio = 0.0;
};

// The database settings ("landata"): the environment every database object reaches through its
// owner chain.
class DatabaseSettings : public ResourceSettings {
public:
    // Built-in defaults, then (when fromEnvironment) QRX_DATE_FORMAT, QRX_TIME_FORMAT and
    // QRX_SIMPLE_ARRAY.
    explicit DatabaseSettings(bool fromEnvironment = true);

    // The index named by a default key: -1 for `defaultCompColor` unless set, the values read
    // otherwise (corrected to 0 when not below the size of its table once a file was read).
    int defaultIndex(SettingsDefault which) const;
    int defaultCompColor() const { return defaultIndex(SettingsDefault::CompColor); }
    int defaultFrameColor() const { return defaultIndex(SettingsDefault::FrameColor); }
    int defaultNetColor() const { return defaultIndex(SettingsDefault::NetColor); }
    int defaultBusColor() const { return defaultIndex(SettingsDefault::BusColor); }
    int defaultLineColor() const { return defaultIndex(SettingsDefault::LineColor); }
    int defaultCircleColor() const { return defaultIndex(SettingsDefault::CircleColor); }
    int defaultTextColor() const { return defaultIndex(SettingsDefault::TextColor); }
    int defaultPropertyColor() const { return defaultIndex(SettingsDefault::PropertyColor); }
    int defaultSymbSheetColor() const { return defaultIndex(SettingsDefault::SymbSheetColor); }
    int defaultSchmSheetColor() const { return defaultIndex(SettingsDefault::SchmSheetColor); }
    int defaultSymbFrameColor() const { return defaultIndex(SettingsDefault::SymbFrameColor); }
    int defaultLineWidth() const { return defaultIndex(SettingsDefault::LineWidth); }
    int defaultFrameLineWidth() const { return defaultIndex(SettingsDefault::FrameLineWidth); }
    int defaultNetLineWidth() const { return defaultIndex(SettingsDefault::NetLineWidth); }
    int defaultBusLineWidth() const { return defaultIndex(SettingsDefault::BusLineWidth); }
    int defaultCircleLineWidth() const { return defaultIndex(SettingsDefault::CircleLineWidth); }
    int defaultLineStyle() const { return defaultIndex(SettingsDefault::LineStyle); }
    int defaultFrameLineStyle() const { return defaultIndex(SettingsDefault::FrameLineStyle); }
    int defaultNetLineStyle() const { return defaultIndex(SettingsDefault::NetLineStyle); }
    int defaultBusLineStyle() const { return defaultIndex(SettingsDefault::BusLineStyle); }
    int defaultCircleLineStyle() const { return defaultIndex(SettingsDefault::CircleLineStyle); }
    int defaultFillStyle() const { return defaultIndex(SettingsDefault::FillStyle); }
    int defaultCircleFillStyle() const { return defaultIndex(SettingsDefault::CircleFillStyle); }
    int defaultTextFont() const { return defaultIndex(SettingsDefault::TextFont); }
    int defaultPropertyFont() const { return defaultIndex(SettingsDefault::PropertyFont); }

    // `colorTable`: its size bounds every colour index.
    int colorCount() const;
    bool colorDefined(int index) const;
    SettingsColor color(int index) const;  // all zero outside the table

    // `lineWidth`: widths in database units (0 for an undefined row or outside the table).
    int lineWidthCount() const;
    bool lineWidthDefined(int index) const;
    std::int32_t lineWidth(int index) const;

    // `lineStyleTable`, `fillStyleTable`.
    int lineStyleCount() const;
    LineStyleEntry lineStyle(int index) const;
    int fillStyleCount() const;
    FillStyleEntry fillStyle(int index) const;

    // `textTable` (the font table): sizes in database units.
    int textTableCount() const;
    bool textEntryDefined(int index) const;
    TextTableEntry textEntry(int index) const;
    // The character height of text entry index alone (what textEntry(index).charHeight gives),
    // for searches over the table that need no other column.
    std::int32_t textCharHeight(int index) const;

    // `precisionTable` and `precisionTblNo`.
    int precisionCount() const;
    PrecisionEntry precision(int index) const;
    int precisionTblNo() const;

    // Name-building characters: one character (two bytes for a double-byte character; empty
    // when set to an empty word).
    const std::string& nlogicStartChar() const;
    const std::string& nlogicEndChar() const;
    const std::string& busStartChar() const;
    const std::string& busEndChar() const;
    const std::string& bitEndChar() const;
    const std::string& rangeEndChar() const;
    const std::string& rangeStepChar() const;

    double nodeSize() const;
    double cornerRadius() const;

    // Save-stamp patterns: "YY/MM/DD" and "HH:MM:SS", replaced by QRX_DATE_FORMAT and
    // QRX_TIME_FORMAT when set, and by the keys `dateFormat` and `timeFormat` of the file.
    const std::string& datePattern() const;
    const std::string& timePattern() const;

    // `simpleArray` (QRX_SIMPLE_ARRAY set and not empty turns it on before the file is read).
    int simpleArray() const;
    // `sheetNetErrorLevel`: 1 when the value is "Hard" (any case), else 0.
    int sheetNetErrorHard() const;

protected:
    void finishReading() override;
};

// A row of `gridTable`: the two 16-bit values of the grid and its pitch in database units.
struct GridRow {
    int valueA = 0;
    int valueB = 0;
    std::int32_t pitchX = 0;
    std::int32_t pitchY = 0;
};

// A row of `symSheetSizeTable` or `schSheetSizeTable`: a name and the corners of the sheet's box
// in database units; a schematic row further holds a 16-bit value and a second name.
struct SheetSizeEntry {
    std::string name;
    std::int32_t x1 = 0;
    std::int32_t y1 = 0;
    std::int32_t x2 = 0;
    std::int32_t y2 = 0;
    int value = 0;
    std::string secondName;
};

// The environment settings ("lanenv").
class EnvironmentSettings : public ResourceSettings {
public:
    // Built-in defaults, then (when fromEnvironment) QRX_ZIP_TEXT and
    // QRX_DO_NOT_SELECT_UNVISIBLE_PBOX. database may be null.
    explicit EnvironmentSettings(const DatabaseSettings* database = nullptr,
                                 bool fromEnvironment = true);

    const DatabaseSettings* databaseSettings() const { return database_; }

    // `gridTable`: rows (0 when empty: no grid and no zone), row i (zeros outside the table or
    // for an undefined row), and `gridColor`.
    int gridRowCount() const;
    bool gridRowDefined(int index) const;
    GridRow gridRow(int index) const;
    int gridColor() const;

    // Sheet sizes (`symSheetSizeTable`, `schSheetSizeTable`); the first entry gives a new sheet's
    // box. Entries outside the table are empty with a zero box.
    int symSheetSizeCount() const;
    SheetSizeEntry symSheetSize(int index) const;
    int schSheetSizeCount() const;
    SheetSizeEntry schSheetSize(int index) const;
    int symSheetSizeColor() const;
    int schSheetSizeColor() const;

    // Zone: pitch in database units (a pitch that is not positive counts as 1 mm), the first
    // labels of columns and rows, origin (0 to 3), display flag, offsets in database units and
    // the offset mode (0 to 2).
    std::int32_t zonePitchX() const;
    std::int32_t zonePitchY() const;
    const std::string& zoneStartTextX() const;
    const std::string& zoneStartTextY() const;
    int zoneOrigin() const;
    int zoneDispFlag() const;
    std::int32_t zoneOffsetX() const;
    std::int32_t zoneOffsetY() const;
    int zoneOffsetMode() const;

    // Justifications of new texts and property values (0 to 10).
    int textJustify() const;
    int pvJustify() const;
    // Switches that the environment variables can turn on.
    int zipText() const;
    int doNotSelectUnvisiblePbox() const;

private:
    const DatabaseSettings* database_;
};

// Why settings could not be opened (Status::code of the open functions below).
inline constexpr int kSettingsRefused = 1;     // the file is missing, or not accessible in the mode
inline constexpr int kSettingsUnreadable = 2;  // the file could not be read (the system's reason)
inline constexpr int kSettingsInvalid = 3;     // a statement is invalid

// Makes the database settings of a file. Mode 0: built-in defaults only, and the file must not
// exist. Modes 1 and 2: the file must be writable (1) or readable (2); built-in defaults, the
// environment variables, then the file. Null when a condition fails or the file is invalid;
// status, when given, receives the outcome with the file's path.
std::unique_ptr<DatabaseSettings> openDatabaseSettings(std::string_view path, int mode,
                                                       Status* status = nullptr);

// The same for the environment settings, linked to the database settings (which may be null).
std::unique_ptr<EnvironmentSettings> openEnvironmentSettings(std::string_view path, int mode,
                                                             const DatabaseSettings* database,
                                                             Status* status = nullptr);
