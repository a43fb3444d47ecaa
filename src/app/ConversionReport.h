// The conversion report that -p:report asks for: a JSON document of what one run read from its
// plot and what it made of it (statements, ignored commands, failures, figures not converted,
// objects per kind, extent, warnings). It is written beside the conversion and never changes the
// conversion's files, logs or exit code.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "convert/HpglConverter.h"

// A drawing wider or higher than this (2 m in database units) is flagged in the report: it
// usually means a label or stroke far away from the rest.
inline constexpr std::int64_t kLargeDrawingUnits = 2000000;

// What the report tells about one run.
struct ReportFacts {
    std::string input;                        // the plot, as the run named it (absolute)
    std::optional<std::uint64_t> inputBytes;  // its size; none for a pipe or when unknown
    std::string output;                       // the output file
    bool sheet = false;                       // the output is a sheet (else a symbol)
    int exitCode = 0;                         // the exit code of the run
    ConversionTally tally;
};

// A JSON string literal (with its quotes) of any bytes: quotes, backslashes and control bytes
// escaped, valid UTF-8 sequences kept, and every byte of an invalid sequence written as the
// character of that byte's value (\u0080 to \u00ff), so that the result is always valid JSON.
std::string jsonString(std::string_view bytes);

// The report as a JSON document (ending in a line feed); the keys are listed in the README.
std::string conversionReportJson(const ReportFacts& facts);

// The paths that a report must never overwrite: the plot, the output and the pen map.
struct ProtectedFiles {
    std::string input, output, penMap;
};

// Writes text to path unless path names one of the protected files. On failure a partly written
// report is removed and the reason comes back ("" on success).
std::string writeReportFile(const std::string& path, std::string_view text,
                            const ProtectedFiles& protectedFiles);
