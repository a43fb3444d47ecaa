// The program's entry logic, kept in the library so that tests can run it: finds the
// installation, shows the usage text or runs one conversion, and returns the exit code.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Exit codes of the converter.
inline constexpr int kExitSaved = 0;    // the output was saved
inline constexpr int kExitFailed = 1;   // no installation, or a reported failure
inline constexpr int kExitVersion = 3;  // the version banner was printed
inline constexpr int kExitUsage = 5;    // no arguments, an option the converter does not take,
                                        // or no target

// The usage text shown when the converter is run without arguments (each line ends in a line
// feed).
std::string usageText();

// The title of the box that shows the usage text.
inline constexpr const char* kUsageBoxTitle = "HPGL Reader";

// Shows a text in a box with an OK button and waits until it is closed. The platform's box is a
// message box without owner window on Windows, and nothing elsewhere.
using UsageBox = void (*)(const char* text, const char* title);

// Replaces the box that shows the usage text (null restores the platform's). Lets tests see the
// box being shown without a desktop.
void setUsageBox(UsageBox box);

// Runs the converter on the process's arguments (argv[0] is replaced by "trazon"; the others are
// used as given). Returns the exit code.
int trazonMain(int argc, char** argv);

// Splits a command line handed over as one string at blanks and tabs; a run of them separates
// once, so no piece is empty.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

// The entry of platforms that hand over the command line as one string: runs the converter on
// "trazon.exe" followed by the pieces of the line. Returns the exit code.
int runCommandLine(const char* commandLine);
