// What one run of the converter is asked to do, read from its command line in two steps: the
// options interpreted into a value without looking at any file, then that value checked against
// the file system. Each step either completes the value or says how the run ends, in the order
// in which a user meets the messages.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "app/OptionParser.h"

// Message numbers of the driver.
enum DriverMessage : int {
    kMsgNoSheet = 36701,
    kMsgCannotMakeDirectory = 36707,
    kMsgBadOutputName = 36708,
    kMsgNoInput = 36710,
    kMsgUnreadable = 36711,
    kMsgSheetSetupFailed = 36714,
    kMsgCannotMakeReference = 36715,
    kMsgCannotWriteReference = 36716,
    kMsgSymbolOpenFailed = 36720,
    kMsgSymbolEmpty = 36721,
    kMsgSymbolSaveFailed = 36722,
    kMsgSheetOpenFailed = 36723,
    kMsgSheetEmpty = 36724,
    kMsgSheetSaveFailed = 36725,
    kMsgSaved = 36752,
};

// Kind of output, decided from the output name.
enum OutputKind : std::int32_t {
    kOutputNone = 0,      // a name that is neither (refused once the target is known to exist)
    kOutputSymbol = 1,    // ".smb"
    kOutputSheet = 2,     // ".sht" whose directory exists
    kOutputNewSheet = 3,  // ".sht" whose directory does not exist yet
};

// Scale and offsets of a conversion; the offsets are in output units (thousandths of a mm).
// The sizing extensions: user scaling (-p:userscale) and a box to fit the drawing into (-p:fit,
// output units; none while either side is 0).
struct Placement {
    double scale = 1.6;
    std::int32_t offsetX = 0;
    std::int32_t offsetY = 0;
    bool userScale = false;
    std::int32_t fitWidth = 0;
    std::int32_t fitHeight = 0;
};

// The sizing of the plot that the placement asks the conversion for (the type comes with
// convert/HpglConverter.h).
struct PlotSizing;
PlotSizing plotSizing(const Placement& placement);

// The value a run works from.
struct DriverConfig {
    std::string target;  // the plot (made an absolute path by the check)
    std::string output;  // -o, or once checked the target's name with ".smb"
    std::string penMap;  // -r; empty: none
    std::int32_t outputKind = kOutputSymbol;
    Placement placement;
    bool keepExisting = true;  // false after "-m new": an existing output is replaced
    std::string report;        // -p:report; empty: no conversion report
};

// How a run ends before its work is done: the exit code and, for a failure the error log
// reports, the message, its argument and the system's reason (0: no cause line).
struct DriverExit {
    int code = 0;
    int message = 0;  // 0: nothing goes to the log
    std::string argument;
    int sysError = 0;
    std::string usageNote{};  // not empty: one line for standard error (a bad extension value)
};

// Interprets the options in command-line order: -V ends the run with exit code 3 (the caller
// prints the banner), an option the converter does not take (-l, -p, -x, -e, -w, -h) with 5, as
// does a missing target and a value that -p:userscale or -p:fit does not take (with a usage
// note). Otherwise the configuration as the options give it: -o, -r, -m new and the placement
// parameters and "report" (the file of the conversion report; an empty value asks for none), a
// later option overriding an earlier one. Touches no file.
std::variant<DriverConfig, DriverExit> interpretOptions(const OptionList& options);

// Completes the configuration against the file system, stopping at the first failure: the
// target made absolute must exist (36710); without -o the output is the target with ".smb"
// (36708 when that is the target itself); a given output must end in ".smb" or ".sht" (36708),
// and a sheet whose directory does not exist yet is a new sheet; a pen map must be readable
// (36711, with the reason).
std::optional<DriverExit> checkAgainstFiles(DriverConfig& config);

// Reads the longest decimal number at the start of text (after blanks): optional sign, digits
// with an optional fraction, optional exponent. A text that is no such number reads as 0.
double readOptionNumber(std::string_view text);

// Applies the named parameter to the placement: "scale" (kept only within 0.01 to 100) and
// "offsetx", "offsety" (millimetres, kept only when the value times 1000 fits 32 bits, then
// truncated), names in any letter case; other names change nothing. The extensions, whose
// values are checked since a user who asks for them wants to know when they are not taken:
// "userscale" (1 on, 0 off) and "fit" (WIDTHxHEIGHT in millimetres, each above 0 and fitting
// 32 bits times 1000, truncated). Returns what is wrong with the value of an extension (the
// placement unchanged), empty when nothing is.
std::string applyPlacementParameter(Placement& placement, std::string_view name,
                                    std::string_view value);

// The converter's version record for the banner of -V.
VersionInfo converterVersion();

// How long a run waits for another run that holds the lock on its output: the value of
// TRAZON_LOCK_WAIT in seconds when it is a number from 0 to 1e9 (tests shorten the wait with
// it), else ten minutes. value may be null.
std::chrono::milliseconds lockWaitFrom(const char* value);
