// Which plots a batch converts and what each becomes: the plot files found in the named files
// and folders, one output per plot with a unique name, and whether its output is up to date.
#pragma once

#include "batch/BatchOptions.h"

#include <istream>
#include <string>
#include <string_view>
#include <vector>

// The path made absolute and normal, without a trailing separator.
std::string absolutePath(const std::string& path);

// True for the names that a folder search takes as plots: the extensions .plt, .hpgl, .hgl,
// .hpg, .hp, .hp2, .gl and .gl2 in any letter case.
bool hasPlotExtension(std::string_view name);

// Every plot of the inputs, as absolute paths, sorted and each once. A named file (or a path
// that names nothing: its conversion reports it) is taken whatever its name; a folder is
// searched through all its subfolders for files with a plot extension, passing over names
// that start with "." and not following links to folders. "-" reads one path a line from
// `list` (blank lines skipped), each taken as a named file or folder. Folders that cannot be
// read are added to `problems`.
std::vector<std::string> findPlots(const std::vector<std::string>& inputs, std::istream& list,
                                   std::vector<std::string>& problems);

struct BatchJob {
    std::string plot;    // absolute path
    std::string name;    // the output's name without extension, unique in the batch
    std::string output;  // the symbol or sheet to write
    bool skip = false;   // the output is newer than the plot (and --redo was not given)
};

// The output of every plot (in the order of `plots`): FOLDER/<name>.smb or CIRCUIT/<name>.sht,
// where the name is the plot's file name without its extension. When plots share a name, the
// first in path order keeps it and the others get "-2", "-3" and so on (the first such name
// that no plot of the batch has of its own). A plot whose output exists and was modified after
// the plot is skipped unless the configuration asks to redo.
std::vector<BatchJob> planJobs(const BatchConfig& config, const std::vector<std::string>& plots);
