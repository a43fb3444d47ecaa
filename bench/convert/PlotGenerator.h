// Seeded plot generator for the conversion benchmark: the same kind, size and seed give the
// same bytes on every machine (its own random numbers, no library distributions).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

enum class PlotKind {
    kMixed,    // strokes, encoded polylines, arcs, circles, rectangles, wedges, polygons, labels
    kStrokes,  // pen-up moves and absolute pen-down strokes only
};

// Writes a plot of the kind of about targetBytes bytes (it stops after the first group that
// reaches the size) to out. False when a write fails.
bool writePlot(std::FILE* out, PlotKind kind, std::uint64_t targetBytes, std::uint64_t seed);

// The same into a string (tests and small plots).
std::string makePlot(PlotKind kind, std::uint64_t targetBytes, std::uint64_t seed);

// "mixed" or "strokes"; false for another name.
bool plotKindFromName(const std::string& name, PlotKind& kind);
