// The command line of trazon-batch as a value: what to convert, into which folder or circuit,
// how many conversions at once, and where the report and the runs' logs go.
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class BatchTarget {
    Symbols,  // -o FOLDER: one symbol (.smb) per plot in the folder
    Sheets,   // -o NAME.cir: one sheet (.sht) per plot in the circuit
};

struct BatchConfig {
    BatchTarget target = BatchTarget::Symbols;
    std::string output;               // the folder or circuit named by -o
    std::vector<std::string> inputs;  // plots and directories; "-" reads paths from stdin
    unsigned jobs = 0;                // conversions at once; 0: one per processor
    bool redo = false;                // convert also plots whose output is newer
    std::string csv;                  // the report; empty: <output>/log/batch.csv
    std::string logs;                 // the runs' log folders; empty: <output>/log/batch
    std::vector<std::string> passOn;  // -r FILE and -p:NAME VALUE, given to every conversion
    bool help = false;
};

// Reads the arguments (the program name left out). A mistake gives no value and a one-line
// `error`.
std::optional<BatchConfig> parseBatchArguments(const std::vector<std::string>& args,
                                               std::string& error);

// The help text (--help).
std::string batchUsage();
