// The sheet and symbol loader: the input is an existing sheet of a circuit to which the converter
// adds a drawing. A sheet that loads must take the drawing and save; what it saves must load
// again and be written back byte for byte.
#include "FuzzHarnesses.h"
#include "FuzzSupport.h"
#include "db/ProjectLayout.h"

using fuzzsupport::check;
using fuzzsupport::FuzzInput;

namespace {

// A stroke, a circle, a filled polygon and a label: one object of each kind the conversion adds.
constexpr std::string_view kDrawing =
    "IN;SP1;PU0,0;PD400,0,400,400;SP2;PA800,800;CI100;PM0;PD900,800,900,900;PM2;FP;"
    "SP3;LBadded\x03;";

}  // namespace

int fuzzSheet(const std::uint8_t* data, std::size_t size) {
    FuzzInput input;
    const std::string circuit = input.makeDirectory("board.cir");
    check(writeSettingsReference(circuit, fuzzsupport::bundledRoot() + "/info") == 0,
          "cannot write the path table of the circuit");
    // A numbered sheet: saving it also writes the circuit's reference logs.
    const std::string sheet = input.write("board.cir/board.1.sht", data, size);
    const std::string plot = input.write("drawing.hpgl", kDrawing);
    if (!fuzzsupport::convertOrFailWith({"-o", sheet, plot}, "36723",
                                        "a sheet that loads cannot take a drawing"))
        return 0;
    fuzzsupport::checkRewriteIsIdentical(sheet, "a saved sheet does not load");
    return 0;
}
