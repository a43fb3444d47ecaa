// The directory layout of a circuit: the kind of a path, the path of each kind formed from a
// circuit path and a name, where settings files are found, and the reference logs of sheets.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "db/PathTable.h"

// Path kinds. A path's kind comes from its extension or, without one, from its last component.
inline constexpr int kPathKindOther = 0;       // any other path: P/N for any base path P
inline constexpr int kPathKindCircuit = 1;     // ".cir"
inline constexpr int kPathKindSymbol = 2;      // ".smb"
inline constexpr int kPathKindBlock = 3;       // ".blk", beside the circuit
inline constexpr int kPathKindSheet = 4;       // ".sht"
inline constexpr int kPathKindNetList = 5;     // ".net"
inline constexpr int kPathKindDrc = 6;         // "drc" directory
inline constexpr int kPathKindInstance = 7;    // "instnc"
inline constexpr int kPathKindSettings = 8;    // a settings file found through "rcpath"
inline constexpr int kPathKindLog = 9;         // "log" directory
inline constexpr int kPathKindExt = 10;        // "ext" directory
inline constexpr int kPathKindPathTable = 11;  // "rcpath"
inline constexpr int kPathKindFrame = 12;      // "frame" directory
inline constexpr int kPathKindNetDb = 13;      // "enetdb"

// Where systemFile looks.
inline constexpr int kSystemRoot = 0;  // <QRXROOT>/N
inline constexpr int kSystemInfo = 1;  // the "info" directories; N gets ".rsc" when it has none
inline constexpr int kSystemEtc = 2;   // the "etc" directories

// The kind of a path (0 to 13). Extensions and names are compared without regard to case;
// trailing separators are ignored.
int classify(std::string_view path);

// The path of the given kind for circuit path cp and name (see the kind constants). Kinds 1 to
// 13 need cp to be a circuit path; otherwise, and for an unknown kind, the result is empty.
// Kind 0 joins name to any base path. Kind 8 is circuitSettingsFile(cp, name).
std::string pathOf(std::string_view cp, int kind, std::string_view name = {});

// A file of the installation or of the project roots. where 0: <QRXROOT>/name. where 1 ("info",
// ".rsc" added to a name without extension) and 2 ("etc"): the first existing of
// <QRX_PROJECT_ROOT>/info/name and <NVL_PROJECT_ROOT>/qrx/info/name, else <QRXROOT>/info/name
// whether it exists or not. An empty name gives the directory by the same rule. Empty when the
// installation root is unknown and no project candidate exists.
std::string systemFile(std::string_view name, int where);

// The settings file `name` of a circuit, found through the circuit's path table "rcpath": the
// entry's directory D with name (extension ".rsc") appended. D "." or "./x" is relative to the
// directory holding the circuit; "$VAR/x" takes the value of VAR (CIRCUIT_PATH: the circuit path
// itself). Empty when the table or the entry is missing or VAR is unset.
std::string circuitSettingsFile(std::string_view cp, std::string_view name);

// Resolves one path-table value for circuit cp as circuitSettingsFile does; empty on failure.
std::string resolvePathTableValue(std::string_view cp, std::string_view value);

// Writes a path table with the entries "landata" and "lanenv", both with the value settingsDir,
// to tablePath (the file is replaced only once complete; a link there is refused). 1 or 0;
// error, when given, receives the system's error number of a failure.
int writeSettingsTable(const std::string& tablePath, std::string_view settingsDir,
                       int* error = nullptr);

// The path table of a circuit directory, or the name it would have beside any other directory
// (dir/"rcpath"): the file a user is pointed at when a circuit's settings cannot be found.
std::string pathTableOf(const std::string& dir);

// Writes the path table of a new circuit cp: the entries "landata" and "lanenv", both with the
// value settingsDir. 0 on success; -1 when cp is no circuit path (the table's path cannot be
// formed); -2 when the file cannot be written.
int writeSettingsReference(std::string_view cp, std::string_view settingsDir);

// True when a file or directory of that name exists.
bool exists(std::string_view path);

// The sheet number of a sheet path such as top.1.sht (the extension before ".sht", when it is
// all decimal digits and not zero), else 0. Numbers beyond the int range give INT_MAX.
int sheetNumberOf(std::string_view sheetPath);

// One line of the reference logs: a component's "reference" and "partName" values.
struct ReferenceLogEntry {
    std::string reference;
    std::string partName;
};

// Writes "ref.log", "scn.log" and "hcn.log" into the log directory of the circuit that holds a
// numbered sheet (making that directory when missing): one line per component, reference and
// part name separated by one blank. 1 on success or when the path is no numbered sheet of a
// circuit (nothing to write); 0 when a log cannot be written.
int writeReferenceLogs(std::string_view sheetPath, const std::vector<ReferenceLogEntry>& entries);
