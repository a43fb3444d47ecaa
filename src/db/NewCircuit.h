// Making the directory of a new circuit for a sheet: the circuit with its "log", "ext", "drc" and
// "frame" subdirectories and the path table that points its settings at a directory, put in
// place whole, so that a run that finds the circuit finds all of it.
#pragma once

#include <string>
#include <string_view>

#include "base/Status.h"

// Status codes of makeCircuit.
inline constexpr int kCircuitDirectoryFailed = 1;  // path: the directory that could not be made
inline constexpr int kCircuitNotACircuit = 2;      // path: the path table such a directory lacks
inline constexpr int kCircuitTableFailed = 3;      // path: the path table that could not be written

// Makes the circuit dir (every missing parent included) with its subdirectories and its path
// table, whose entries "landata" and "lanenv" both name settingsDir. The circuit is made under a
// temporary name beside dir and renamed into place; when another run put the circuit there
// first, that one is taken (success). A dir that is no circuit path (no ".cir") gets its
// directories made in place, but no path table: kCircuitNotACircuit.
Status makeCircuit(const std::string& dir, std::string_view settingsDir);

// Makes dir with every missing parent directory (each made from the top down). On failure the
// status names the path that could not be made (kCircuitDirectoryFailed).
Status makeDirectoryChain(const std::string& dir);
