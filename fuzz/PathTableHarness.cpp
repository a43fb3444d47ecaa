// A circuit's path table "rcpath": the input is the table, through which the settings files of
// the circuit are found. Its first line, when it could be an installation directory, is also
// written into the table of a new circuit, and must be found there again.
#include <algorithm>
#include <string>

#include "FuzzHarnesses.h"
#include "FuzzSupport.h"
#include "base/PathUtil.h"
#include "db/PathTable.h"
#include "db/ProjectLayout.h"

using fuzzsupport::check;
using fuzzsupport::FuzzInput;

namespace {

// An absolute directory of printable characters without double quotes: what a table written
// by the program can carry (other bytes are not kept by the reader of settings files).
bool writableDirectory(std::string_view dir) {
    return !dir.empty() && dir.size() < 2000 && dir[0] == '/' &&
           std::all_of(dir.begin(), dir.end(),
                       [](char c) { return c >= ' ' && c < 127 && c != '"'; });
}

}  // namespace

int fuzzPathTable(const std::uint8_t* data, std::size_t size) {
    FuzzInput input;
    const std::string circuit = input.makeDirectory("board.cir");
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    input.write("board.cir/rcpath", text);
    for (const char* name : {"landata", "lanenv", "landata.rsc", "rcpath"})
        circuitSettingsFile(circuit, name);
    PathTable table;
    table.read(circuit + "/rcpath");
    for (const PathTable::Entry& entry : table.entries())
        resolvePathTableValue(circuit, entry.value);
    table.parse(table.text());

    const std::string_view dir = text.substr(0, text.find('\n'));
    if (writableDirectory(dir)) {
        const std::string made = input.makeDirectory("made.cir");
        check(writeSettingsReference(made, dir) == 0, "cannot write the path table of a circuit");
        check(circuitSettingsFile(made, "lanenv") == pathJoin(dir, "lanenv.rsc"),
              "the settings directory written into a path table is not found there again");
    }
    return 0;
}
