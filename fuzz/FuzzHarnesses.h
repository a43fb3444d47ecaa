// The fuzz harnesses: each takes one input of its format, runs it through the code that reads
// and uses that format, and aborts when a rule that must hold for every input is broken. Each
// fuzz program calls one of them; the corpus test calls all of them on the committed corpus.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

using FuzzHarnessFunction = int (*)(const std::uint8_t* data, std::size_t size);

// A plot file converted into a symbol held in memory.
int fuzzPlot(const std::uint8_t* data, std::size_t size);
// A plot file converted into a new sheet of a new circuit and saved; the saved sheet must load,
// and saving it again must give the same bytes.
int fuzzRoundTrip(const std::uint8_t* data, std::size_t size);
// A sheet file to which a drawing is added; a sheet that loads must save, and what it saves must
// load and rewrite to the same bytes.
int fuzzSheet(const std::uint8_t* data, std::size_t size);
// A settings file used as both "landata" and "lanenv" of a circuit into which a plot is
// converted.
int fuzzSettings(const std::uint8_t* data, std::size_t size);
// A circuit's path table "rcpath".
int fuzzPathTable(const std::uint8_t* data, std::size_t size);
// A pen map used for a plot of many pens.
int fuzzPenMap(const std::uint8_t* data, std::size_t size);
// A message catalogue read as both catalogues of the installation, in English and Japanese.
int fuzzCatalog(const std::uint8_t* data, std::size_t size);
// A ".vec" font used as the standard font: glyphs fetched, texts measured and drawn.
int fuzzFont(const std::uint8_t* data, std::size_t size);
// A split double-byte font (".vf1" and ".vf2") used as the Japanese font.
int fuzzSplitFont(const std::uint8_t* data, std::size_t size);

struct FuzzHarness {
    const char* name;  // also the folder of its corpus, fuzz/corpus/<name>
    FuzzHarnessFunction run;
};

// Every harness, in the order `make fuzz` runs them.
std::span<const FuzzHarness> fuzzHarnesses();
