// The settings files: the input is read as both "landata" and "lanenv" of a circuit, every value
// the program asks of them is asked, and a plot is converted into a new sheet of the circuit and
// saved (sheet size, grid, zone, widths, fonts and save stamps all come from the settings).
#include <string>

#include "FuzzHarnesses.h"
#include "FuzzSupport.h"
#include "db/ProjectLayout.h"
#include "db/ResourceSettings.h"

using fuzzsupport::check;
using fuzzsupport::FuzzInput;

namespace {

// Strokes in several pens, a wide polygon, labels of three sizes.
constexpr std::string_view kDrawing =
    "IN;SP1;PU0,0;PD1000,0,1000,1000;SP2;PW0.7;EA500,500;SP3;SI0.2,0.3;LBsmall\x03;"
    "SP4;SI0.5,0.8;LBmiddle\x03;SP5;SI2,3;LBlarge\x03;SP6;PR100,100;PD200,0;";

// Reads every value of the settings, the way the program's users do (the results are dropped:
// only their computation is under test).
void askEverything(const DatabaseSettings& d, const EnvironmentSettings& e) {
    long long sum = 0;
    for (int i = 0; i < kSettingsDefaultCount; ++i)
        sum += d.defaultIndex(static_cast<SettingsDefault>(i));
    for (int i = -1; i <= d.colorCount(); ++i)
        sum += d.colorDefined(i) + d.color(i).red + static_cast<long long>(d.color(i).name.size());
    for (int i = -1; i <= d.lineWidthCount(); ++i)
        sum += d.lineWidthDefined(i) + d.lineWidth(i);
    for (int i = -1; i <= d.lineStyleCount(); ++i)
        sum += d.lineStyle(i).dash1 + d.lineStyle(i).gap2;
    for (int i = -1; i <= d.fillStyleCount(); ++i)
        sum += d.fillStyle(i).kind + d.fillStyle(i).pitch;
    for (int i = -1; i <= d.textTableCount(); ++i)
        sum += d.textEntryDefined(i) + d.textEntry(i).charHeight;
    for (int i = -1; i <= d.precisionCount(); ++i)
        sum += static_cast<long long>(d.precision(i).name.size());
    sum += d.precisionTblNo() + d.simpleArray() + d.sheetNetErrorHard();
    sum += static_cast<long long>(d.nlogicStartChar().size() + d.busEndChar().size() +
                                  d.rangeStepChar().size() + d.datePattern().size() +
                                  d.timePattern().size());
    for (int i = -1; i <= e.gridRowCount(); ++i)
        sum += e.gridRowDefined(i) + e.gridRow(i).pitchX;
    for (int i = -1; i <= e.symSheetSizeCount(); ++i)
        sum += e.symSheetSize(i).x2;
    for (int i = -1; i <= e.schSheetSizeCount(); ++i)
        sum += e.schSheetSize(i).y2 + static_cast<long long>(e.schSheetSize(i).secondName.size());
    sum += e.gridColor() + e.symSheetSizeColor() + e.schSheetSizeColor() + e.zonePitchX() +
           e.zonePitchY() + e.zoneOrigin() + e.zoneDispFlag() + e.zoneOffsetX() + e.zoneOffsetY() +
           e.zoneOffsetMode() + e.textJustify() + e.pvJustify() +
           static_cast<long long>(e.zoneStartTextX().size() + e.zoneStartTextY().size());
    volatile long long sink = sum;
    (void)sink;
}

}  // namespace

int fuzzSettings(const std::uint8_t* data, std::size_t size) {
    FuzzInput input;
    const std::string landata = input.write("info/landata.rsc", data, size);
    const std::string lanenv = input.write("info/lanenv.rsc", data, size);
    const auto d = openDatabaseSettings(landata, kSettingsRead);
    const auto e = d ? openEnvironmentSettings(lanenv, kSettingsRead, d.get()) : nullptr;
    if (!d || !e) return 0;
    askEverything(*d, *e);

    const std::string circuit = input.makeDirectory("board.cir");
    check(writeSettingsReference(circuit, input.path("info")) == 0,
          "cannot write the path table of the circuit");
    const std::string plot = input.write("drawing.hpgl", kDrawing);
    const std::string sheet = circuit + "/drawing.sht";
    // Settings without a grid, or whose sheet size cannot be set, fail the new sheet.
    if (!fuzzsupport::convertOrFailWith({"-o", sheet, plot}, "36714",
                                        "settings that load made the conversion fail"))
        return 0;
    fuzzsupport::checkRewriteIsIdentical(sheet, "a sheet saved with these settings does not load");
    return 0;
}
