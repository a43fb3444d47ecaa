// The keys of the settings files as data: for every key the form its statement takes, how its
// value is checked, and the slot of the settings object that receives it. SettingsKeys.cpp holds
// the two tables ("landata" and "lanenv"); the reader (SettingsReader) and the settings objects
// (ResourceSettings) work from them and name no key themselves, except through the slots below.
#pragma once

#include <span>
#include <string_view>
#include <vector>

// The form a key's statement takes and how its value is stored.
enum class SettingsForm {
    Kept,       // a preference kept as written: a scalar or a table of any column count
    Flag,       // "On" / "Off" (any case); another word leaves the setting unchanged
    Integer,    // a number checked as the key's check says
    Real,       // a decimal fraction checked as the key's check says
    Character,  // the first character of the word
    Name,       // one of the names of an enumeration (any case); unknown names are ignored
    String,     // any word, or a parenthesised list of words
    Table,      // column count and rows in braces
};

// How one value (of a scalar or of a table column) is checked and stored.
enum class SettingsCheck {
    String,        // shorter than 1024 bytes
    Pattern,       // a string; an empty one leaves the setting as it was
    Int,           // non-negative, fits 32 bits
    Byte,          // 0 to 255
    UInt16,        // 0 to 65535
    FillKind,      // 0 to 2
    Real,          // any finite value
    Length,        // non-negative, in database units, fits 32 bits once rounded
    Mm,            // millimetres that fit 32 bits in database units
    PositiveMm,    // millimetres, at least one database unit
    ZonePitch,     // millimetres; a value that is not positive counts as 1.0
    PositiveReal,  // greater than 0
};

// One name of an enumeration and its number.
struct SettingsName {
    const char* name;
    int value;
};

// One key of a settings file. A row lists the key, its form, the slot it is stored in (scalar
// slot, or table slot for a table; -1 for a key kept as written), the check of a scalar value,
// the checks of a table's columns after the index, and the names of an enumeration.
struct SettingsKey {
    const char* key;
    SettingsForm form = SettingsForm::Kept;
    int slot = -1;
    SettingsCheck check = SettingsCheck::String;
    std::span<const SettingsCheck> columns = {};
    std::span<const SettingsName> names = {};

    // The column count a table statement of this key must declare (the index included).
    int columnCount() const { return static_cast<int>(columns.size()) + 1; }
};

// The keys of one kind of settings file, found by name.
class SettingsKeySet {
public:
    explicit SettingsKeySet(std::vector<SettingsKey> keys);

    // The key of that name (compared byte for byte), or null.
    const SettingsKey* find(std::string_view key) const;
    // Number of scalar and table slots the keys fill.
    int scalarSlots() const { return scalarSlots_; }
    // The column count of each table slot, in slot order.
    const std::vector<int>& tableColumns() const { return tableColumns_; }
    // Every key, sorted by name.
    const std::vector<SettingsKey>& keys() const { return keys_; }

private:
    std::vector<SettingsKey> keys_;  // sorted by key
    int scalarSlots_ = 0;
    std::vector<int> tableColumns_;
};

// The keys of the database settings ("landata") and of the environment settings ("lanenv").
const SettingsKeySet& databaseKeys();
const SettingsKeySet& environmentKeys();

// Slots of the database settings.
inline constexpr int kSettingsDefaultCount = 25;
enum DbScalar {
    kDbDefaultFirst = 0,  // the 25 defaults in the order of SettingsDefault
    kDbPrecisionTblNo = kDbDefaultFirst + kSettingsDefaultCount,
    kDbNlogicStartChar,
    kDbNlogicEndChar,
    kDbBusStartChar,
    kDbBusEndChar,
    kDbBitEndChar,
    kDbRangeEndChar,
    kDbRangeStepChar,
    kDbNodeSize,
    kDbCornerRadius,
    kDbDateFormat,
    kDbTimeFormat,
    kDbSimpleArray,
    kDbSheetNetErrorLevel,
};
enum DbTable {
    kDbColorTable,
    kDbTextTable,
    kDbLineWidth,
    kDbLineStyleTable,
    kDbFillStyleTable,
    kDbPrecisionTable,
    kDbSymbPathTable,
    kDbContPathTable,
    kDbLcdbPathTable,
};

// A key whose value is an index into a table of the database settings: its built-in value and
// the table whose size bounds it.
struct DefaultKey {
    const char* key;
    int builtIn;
    DbTable table;
};
// In the order of SettingsDefault.
extern const DefaultKey kDefaultKeys[kSettingsDefaultCount];

// Slots of the environment settings.
enum EnvScalar {
    kEnvGridColor,
    kEnvSymSheetSizeColor,
    kEnvSchSheetSizeColor,
    kEnvZonePitchX,
    kEnvZonePitchY,
    kEnvZoneStartTextX,
    kEnvZoneStartTextY,
    kEnvZoneOrigin,
    kEnvZoneDispFlag,
    kEnvZoneOffsetX,
    kEnvZoneOffsetY,
    kEnvZoneOffsetMode,
    kEnvTextJustify,
    kEnvPvJustify,
    kEnvZipText,
    kEnvDoNotSelectUnvisiblePbox,
};
enum EnvTable {
    kEnvGridTable,
    kEnvSymSheetSizeTable,
    kEnvSchSheetSizeTable,
    kEnvSchSheetAttrTable,
};
