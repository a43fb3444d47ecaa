#include "batch/BatchOptions.h"

#include "db/ProjectLayout.h"

#include <charconv>

namespace {

constexpr unsigned kMostJobs = 1024;

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

std::optional<unsigned> readJobs(const std::string& text) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty() || value < 1 || value > kMostJobs)
        return std::nullopt;
    return value;
}

}  // namespace

std::string batchUsage() {
    return "Usage: trazon-batch [-j N] [--redo] -o FOLDER|CIRCUIT.cir [--csv FILE] [--logs DIR]\n"
           "                    [-r PENMAP] [-p:NAME VALUE]... PLOT|DIR|-...\n"
           "Converts many plots with trazon: into symbols FOLDER/<name>.smb, or into sheets\n"
           "CIRCUIT.cir/<name>.sht (the circuit is made when it does not exist).\n"
           "  -j N         conversions at once (default: one per processor)\n"
           "  --redo       convert also plots whose output is newer than the plot\n"
           "  -o OUTPUT    a folder for symbols, or a circuit (a name ending in .cir) for sheets\n"
           "  --csv FILE   the report (default OUTPUT/log/batch.csv)\n"
           "  --logs DIR   the runs' log folders DIR/<name>/ (default OUTPUT/log/batch)\n"
           "  -r PENMAP    the pen map of every conversion\n"
           "  -p:NAME VAL  a parameter of every conversion: scale, offsetx, offsety,\n"
           "               userscale, fit\n"
           "  PLOT|DIR|-   plot files, folders searched for plots, or - to read paths from\n"
           "               standard input, one a line\n"
           "Exit code: 0 all converted or skipped, 1 a conversion failed, 2 a usage error,\n"
           "130 interrupted.\n";
}

std::optional<BatchConfig> parseBatchArguments(const std::vector<std::string>& args,
                                               std::string& error) {
    BatchConfig config;
    bool haveOutput = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || !startsWith(arg, "-")) {
            config.inputs.push_back(arg);
            continue;
        }
        // The options that take a value: the value is the next argument (or, for -j, may be
        // joined to it).
        auto value = [&](const std::string& name) -> const std::string* {
            if (i + 1 >= args.size()) {
                error = "the option " + name + " needs a value";
                return nullptr;
            }
            return &args[++i];
        };
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            config.help = true;
        } else if (arg == "--redo") {
            config.redo = true;
        } else if (startsWith(arg, "-j")) {
            std::string text = arg.substr(2);
            if (text.empty()) {
                const std::string* next = value(arg);
                if (next == nullptr) return std::nullopt;
                text = *next;
            }
            const auto jobs = readJobs(text);
            if (!jobs) {
                error = "-j needs a whole number from 1 to " + std::to_string(kMostJobs);
                return std::nullopt;
            }
            config.jobs = *jobs;
        } else if (arg == "-o" || arg == "--csv" || arg == "--logs" || arg == "-r") {
            const std::string* text = value(arg);
            if (text == nullptr) return std::nullopt;
            if (text->empty()) {
                error = "the option " + arg + " needs a value that is not empty";
                return std::nullopt;
            }
            if (arg == "-o") {
                config.output = *text;
                haveOutput = true;
            } else if (arg == "--csv") {
                config.csv = *text;
            } else if (arg == "--logs") {
                config.logs = *text;
            } else {
                config.passOn.insert(config.passOn.end(), {arg, *text});
            }
        } else if ((startsWith(arg, "-p:") && arg.size() > 3) ||
                   (startsWith(arg, "-parameter:") && arg.size() > 11)) {
            const std::string* text = value(arg);
            if (text == nullptr) return std::nullopt;
            config.passOn.insert(config.passOn.end(), {arg, *text});
        } else {
            error = "unknown option " + arg;
            return std::nullopt;
        }
    }
    if (config.help) return config;
    if (!haveOutput) {
        error = "no output: give -o FOLDER or -o CIRCUIT.cir";
        return std::nullopt;
    }
    if (config.inputs.empty()) {
        error = "no plots: name plot files, folders, or - for a list on standard input";
        return std::nullopt;
    }
    config.target =
        classify(config.output) == kPathKindCircuit ? BatchTarget::Sheets : BatchTarget::Symbols;
    return config;
}
