// Plot to sheet to reload: the converter makes a new circuit with a new sheet from the plot and
// saves it; the saved sheet must load, and saving it again must give the same bytes.
#include "FuzzHarnesses.h"
#include "FuzzSupport.h"
#include "db/LexDatabase.h"

using fuzzsupport::check;
using fuzzsupport::FuzzInput;
using fuzzsupport::readAll;

int fuzzRoundTrip(const std::uint8_t* data, std::size_t size) {
    FuzzInput input;
    const std::string plot = input.write("plot.hpgl", data, size);
    const std::string sheet = input.path("board.cir/drawing.sht");
    // The one failure a plot may cause is to hold no statement at all.
    if (!fuzzsupport::convertOrFailWith({"-o", sheet, "-p:scale", "2", plot}, "36708",
                                        "a plot made the conversion fail"))
        return 0;
    const std::string saved = readAll(sheet);
    std::unique_ptr<LexDatabase> db =
        LexDatabase::open(sheet, &fuzzsupport::bundledLandata(), LexDatabase::kModeUpdate);
    check(db != nullptr, "a saved sheet does not load");
    check(db->save() == 1, "a reloaded sheet cannot be saved");
    check(readAll(sheet) == saved, "saving a reloaded sheet changes it");
    return 0;
}
