// Every plot of the public corpus and every bundled example, converted three ways (a new symbol
// at the default scale; a new sheet in a circuit with a pen map, another scale and offsets; the
// same plot added again to that sheet), must give exactly the outputs, logs and exit codes
// recorded in tests/e2e/data/corpus-digests.tsv. The digests were taken from the converter
// before any restructuring; a change that alters an output shows here as the plot's name.
// TRAZON_UPDATE_GOLDEN=1 rewrites the table from the program's outputs (review the diff).
#include "E2eSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using e2e::ProgramRun;
using testsupport::readFile;
using testsupport::writeFile;

namespace fs = std::filesystem;

namespace {

std::string digest(const std::string& text) {
    std::uint64_t h = 14695981039346656037ull;  // FNV-1a, 64 bits
    for (unsigned char c : text) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char out[17];
    std::snprintf(out, sizeof out, "%016llx", static_cast<unsigned long long>(h));
    return out;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t p = text.find(from); p != std::string::npos;
         p = text.find(from, p + to.size()))
        text.replace(p, from.size(), to);
    return text;
}

}  // namespace

TEST(CorpusDigest, OutputsLogsAndCodesAreUnchanged) {
    ProgramRun p;
    fs::create_directories(p.file("board.cir"));
    const std::string info = testsupport::bundledRoot() + "/info";
    writeFile(p.file("board.cir/rcpath"),
              "landata : \"" + info + "\"\nlanenv : \"" + info + "\"\n");
    const std::string pens = testsupport::sourceDir() + "/share/examples/pens.txt";

    struct Variant {
        const char* name;
        std::vector<std::string> args;
        const char* output;
    };
    const Variant variants[] = {
        {"symbol", {"-o", "plot.smb"}, "plot.smb"},
        {"sheet",
         {"-m", "new", "-o", "board.cir/plot.sht", "-r", pens, "-p:scale", "0.5", "-p:offsetx",
          "12.5", "-p:offsety", "-3"},
         "board.cir/plot.sht"},
        {"added", {"-o", "board.cir/plot.sht", "-r", pens}, "board.cir/plot.sht"},
    };

    std::ostringstream table;
    for (const auto& [name, path] : e2e::corpusAndExamples()) {
        fs::remove(p.file("plot.smb"));
        for (const Variant& v : variants) {
            std::vector<std::string> args = v.args;
            args.push_back(path);
            const e2e::Outcome outcome = p.run(args);
            const std::string output = p.file(v.output);
            std::string record = "exit " + std::to_string(outcome.code) + "\n" + outcome.out +
                                 outcome.err + p.errors() + p.warnings() + "\n";
            if (fs::exists(output)) record += e2e::withoutUser(readFile(output));
            record = replaceAll(record, p.home(), "<home>");
            table << name << '\t' << v.name << '\t' << digest(record) << '\n';
        }
    }

    const std::string golden = e2e::dataFile("corpus-digests.tsv");
    if (std::getenv("TRAZON_UPDATE_GOLDEN") != nullptr) {
        writeFile(golden, table.str());
        return;
    }
    // Compared line by line so that a failure names the plots that changed.
    std::map<std::string, std::string> expected, actual;
    auto index = [](const std::string& text, std::map<std::string, std::string>& into) {
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            const auto cut = line.rfind('\t');
            if (cut != std::string::npos) into[line.substr(0, cut)] = line.substr(cut + 1);
        }
    };
    index(readFile(golden), expected);
    index(table.str(), actual);
    EXPECT_EQ(actual.size(), expected.size());
    for (const auto& [key, value] : expected) {
        const auto it = actual.find(key);
        EXPECT_TRUE(it != actual.end() && it->second == value) << "changed: " << key;
    }
}
