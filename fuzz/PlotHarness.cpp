// The plot path: a plot file read, dispatched and converted into a symbol held in memory, with
// the bundled settings, then given the extent of what was drawn as a new output is before saving.
#include <cstdint>
#include <limits>

#include "FuzzHarnesses.h"
#include "FuzzSupport.h"
#include "convert/HpglConverter.h"
#include "convert/SheetCommands.h"
#include "db/LexDatabase.h"
#include "db/LexSheet.h"

using fuzzsupport::check;
using fuzzsupport::FuzzInput;

namespace {

// Scale, offsets (in output units) and user scaling of a conversion, picked by the last byte of
// the input so that a mutation there reaches the range checks of large scales and offsets. The
// line feed that ends most plots picks the defaults; the semicolon turns user scaling on, so
// that SC, RO and the ellipses they make are read from hostile input too.
struct Placement {
    double scale;
    std::int32_t offsetX;
    std::int32_t offsetY;
    bool userScaling;
};
constexpr std::int32_t kFar = std::numeric_limits<std::int32_t>::max() - 1000;
constexpr Placement kPlacements[4] = {{100.0, kFar, -kFar, true},
                                      {0.01, -150000, 300000, false},
                                      {1.6, 0, 0, false},
                                      {1.6, 0, 0, true}};

}  // namespace

int fuzzPlot(const std::uint8_t* data, std::size_t size) {
    FuzzInput input;
    const std::string plot = input.write("plot.hpgl", data, size);
    const Placement placement = kPlacements[size == 0 ? 2 : data[size - 1] % 4];

    const DatabaseSettings& landata = fuzzsupport::bundledLandata();
    DbHandle database = dbOpen(input.path("plot.smb"), &landata, LexDatabase::kModeCreate);
    DbHandle sheet = dbCreateSheet(database, "Sheet", LexSheet::kKindSymbol);
    check(sheet.sheet() != nullptr, "no sheet for the conversion");
    HpglConverter converter(&landata, &fuzzsupport::bundledLanenv(), sheet, placement.offsetX,
                            placement.offsetY);
    PlotSizing sizing;
    sizing.scale = placement.scale;
    sizing.userScaling = placement.userScaling;
    const int result = converter.convert(plot, sizing, "");
    check(result == kConvertDone || result == kConvertNoStatements,
          "a plot that was written cannot be read");

    QsBox extent;
    sheet.sheet()->objectsExtent(extent);
    SetSheetBoxCommand(sheet, extent).execute();
    dbWalkSheet(sheet, [](const DbHandle& object) {
        dbBoxOf(object);
        return false;
    });
    return 0;
}
