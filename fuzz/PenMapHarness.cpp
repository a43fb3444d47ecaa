// The pen map: the input is the map of a conversion that draws with many pens. Every pen from 0
// up must get a colour of 0 to 15 and a style of 0 to 3, from the map or from the defaults.
#include <string>

#include "FuzzHarnesses.h"
#include "FuzzSupport.h"
#include "convert/HpglConverter.h"
#include "db/LexDatabase.h"
#include "db/LexSheet.h"

using fuzzsupport::check;
using fuzzsupport::FuzzInput;

namespace {

// A stroke in each of the pens 0 to 40 and in a few far ones.
std::string manyPens() {
    std::string plot = "IN;";
    auto stroke = [&plot](int pen) {
        plot += "SP" + std::to_string(pen) + ";PU" + std::to_string(pen * 10) + ",0;PD" +
                std::to_string(pen * 10) + ",100;";
    };
    for (int pen = 0; pen <= 40; ++pen)
        stroke(pen);
    for (int pen : {255, 1000, 32767})
        stroke(pen);
    return plot;
}

}  // namespace

int fuzzPenMap(const std::uint8_t* data, std::size_t size) {
    static const std::string kPlot = manyPens();
    FuzzInput input;
    const std::string penMap = input.write("pens.txt", data, size);
    const std::string plot = input.write("pens.hpgl", kPlot);

    const DatabaseSettings& landata = fuzzsupport::bundledLandata();
    DbHandle database = dbOpen(input.path("pens.smb"), &landata, LexDatabase::kModeCreate);
    DbHandle sheet = dbCreateSheet(database, "Sheet", LexSheet::kKindSymbol);
    HpglConverter converter(&landata, &fuzzsupport::bundledLanenv(), sheet, 0, 0);
    check(converter.convert(plot, 1.6, penMap) == kConvertDone, "the plot of many pens fails");

    const PenMap& pens = converter.penTable();
    for (const PenMapEntry& entry : pens.entries())
        check(entry.pen >= 0, "a negative pen in the pen map");
    for (int pen = 0; pen <= 1000; ++pen) {
        check(pens.colourOf(pen) >= 0 && pens.colourOf(pen) <= 15, "a pen colour beyond 0 to 15");
        check(pens.styleOf(pen) >= 0 && pens.styleOf(pen) <= 3, "a pen style beyond 0 to 3");
    }
    check(sheet.sheet()->objectCount() == 44, "a stroke of the plot of many pens is missing");
    return 0;
}
