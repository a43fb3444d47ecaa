// Generic command-line option parser shared by the installation's tools: classifies each argument
// into an option kind with its name and value, and picks out the target. It does not decide what
// an option means; the caller accepts the kinds it supports. Also holds the version banner.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

// Option kinds, in the order in which an argument is classified.
enum OptionKind : std::int32_t {
    kOptionVersion = 1,          // -V
    kOptionReference = 2,        // -reference, -r...
    kOptionLibrary = 3,          // -library, -l...
    kOptionParameter = 4,        // -parameter, -p
    kOptionExtension = 5,        // -extension, -x
    kOptionOutput = 6,           // -output, -o...
    kOptionMode = 7,             // -mode, -m...
    kOptionErrorFile = 8,        // -errfile, -e...
    kOptionWarningFile = 9,      // -wrnfile, -w...
    kOptionNamedParameter = 10,  // -p:name, -parameter:name
    kOptionHelp = 11,            // -h, -help
};

struct OptionEntry {
    std::int32_t kind = 0;
    std::string name;   // the parameter name of kind 10; empty otherwise
    std::string value;  // the value, outer quotes removed; empty for kinds 1 and 11
};

// The entries in command-line order and the target (empty when there is none).
struct OptionList {
    std::vector<OptionEntry> entries;
    std::string target;
};

// Classifies argv[1] .. argv[argc-1]. The consumed arguments (options, their values and the
// target) are removed from argv, which keeps the program name and the other arguments in order;
// argc becomes the number left and argv[argc] is set to null. argv must have argc + 1 slots.
OptionList parseOptions(int& argc, char** argv);

// Removes one pair of surrounding quotes (double or single) from a value of at least three
// characters; anything else is returned unchanged.
std::string unquoteValue(const std::string& value);

// Version record of a tool: the product's versions and dates, then the program's own.
struct VersionInfo {
    std::string productVersion = "V7.010";
    std::string productDate = "03/04/30";
    std::string secondVersion = "V7.010";
    std::string secondDate = "03/04/30";
    std::string releaseLabel = "V5.1 SP3";
    std::string programName;
    std::string programVersion = "V7.010";
    std::string programDate = "03/04/30";
};

// The three lines of the version banner, each ended by a line feed.
std::string versionBannerText(const VersionInfo& info);
// Writes the version banner to the given stream and flushes it.
void printVersionBanner(const VersionInfo& info, std::ostream& out);
// Writes the version banner to standard output.
void printVersionBanner(const VersionInfo& info);
