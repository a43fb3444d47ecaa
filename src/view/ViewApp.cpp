#include "view/ViewApp.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/OptionParser.h"
#include "base/PathUtil.h"
#include "base/StringUtil.h"
#include "base/SysEnv.h"
#include "convert/HpglConverter.h"
#include "db/LexDatabase.h"
#include "db/LexSheet.h"
#include "db/ResourceSettings.h"
#include "view/PlotView.h"
#include "view/SheetView.h"
#include "view/SvgCanvas.h"
#include "view/ViewDocument.h"

namespace {

constexpr const char* kUsage =
    "usage: trazon-view FILE.smb|FILE.sht [-o OUT.svg] [--grid]\n"
    "       trazon-view PLOT [FILE.smb|FILE.sht] [-o OUT.html] [-r PENMAP] [-p:scale S]\n"
    "                   [-p:offsetx MM] [-p:offsety MM] [-p:userscale 1] [-p:fit WxH]\n"
    "                   [--grid]\n";

// A drawing this wide or high is noted on the page: something lies far from the rest.
constexpr std::int64_t kFarAcross = 10'000'000;  // 10 m

std::string count(long n) {
    return std::to_string(n);
}

std::string plural(long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

bool writeDocument(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool closed = std::fclose(file) == 0;
    if (written && closed) return true;
    std::remove(path.c_str());
    return false;
}

std::string placementText(const Placement& p) {
    std::string out = "scale ";
    appendDecimal(out, p.scale);
    out += ", offsets " + lengthText(p.offsetX) + ", " + lengthText(p.offsetY);
    if (p.userScale) out += ", user scaling";
    if (p.fitWidth > 0 && p.fitHeight > 0)
        out += ", fit into " + lengthText(p.fitWidth) + " \u00d7 " + lengthText(p.fitHeight);
    return out;
}

// The rows of the summary and the notes that the counts call for.
void summarise(const ViewRequest& request, const PlotCounts& plot, const PlotReading& reading,
               const Extent& plotExtent, const SheetCounts& output, const Extent& outputExtent,
               ComparisonPage& page) {
    const bool inMemory = request.compareWith.empty();
    std::string pens;
    for (int pen : plot.pens)
        pens += (pens.empty() ? "" : ", ") + std::to_string(pen);
    page.rows = {
        {"File", request.input,
         inMemory ? "converted in memory with the converter's defaults (not saved)"
                  : request.compareWith},
        {"Placement", placementText(request.placement),
         inMemory ? placementText(request.placement) : "as the file holds it"},
        {"Strokes / polylines", count(plot.strokes), count(output.polylines)},
        {"Filled shapes / filled polygons", count(plot.filled), count(output.filledPolygons)},
        {"Edged shapes / unfilled polygons", count(plot.edged),
         count(output.polygons - output.filledPolygons)},
        {"Labels / texts", count(plot.labels), count(output.texts)},
        {"Arcs and circles (objects of their own)", "-", count(output.arcs + output.circles)},
        {"Pens used", pens.empty() ? "none" : pens, "-"},
        {"Statements that failed", count(reading.failedStatements), "-"},
        {"Extent", extentText(plotExtent), extentText(outputExtent)},
    };
    if (output.hidden > 0)
        page.rows.push_back({"Hidden objects (not drawn)", "-", count(output.hidden)});
    if (output.notShown > 0)
        page.rows.push_back({"Components, pins and nets (not drawn)", "-", count(output.notShown)});

    if (plot.drawn() == 0)
        page.notes.push_back(
            "The plot drew nothing: the interpreter found no statement that draws (is it an "
            "HP-GL file?).");
    if (reading.fitWithoutExtent)
        page.notes.push_back(
            "A fit was asked for, but the plot draws nothing with an extent: it is shown and "
            "converted at its scale.");
    if (reading.longStrokes > 0)
        page.notes.push_back(plural(reading.longStrokes, "stroke", "strokes") +
                             " of more than 65,535 points could not be kept by the interpreter: "
                             "missing from both pictures.");
    for (const auto& [name, extent] : {std::pair{"plot", plotExtent}, {"output", outputExtent}}) {
        if (extent.width() >= kFarAcross || extent.height() >= kFarAcross)
            page.notes.push_back(std::string("The ") + name + " spans " +
                                 lengthText(extent.width()) + " \u00d7 " +
                                 lengthText(extent.height()) +
                                 ": strokes or labels lie far from the rest of the drawing, so "
                                 "both pictures are scaled to hold them all.");
    }
    if (output.unseen > 0)
        page.notes.push_back(
            plural(output.unseen, "object of the output has", "objects of the output have") +
            " the sheet's own colour and cannot be seen on it (the pen map chooses the "
            "colours).");
    if (output.drawn() < plot.drawn()) {
        const long missing = plot.drawn() - output.drawn();
        page.notes.push_back(
            inMemory ? plural(missing, "figure", "figures") +
                           " of the plot did not become objects of the output (a figure that "
                           "would leave the coordinate range is skipped)."
                     : "The output holds " + plural(output.drawn(), "object", "objects") +
                           ", fewer than the " + plural(plot.drawn(), "figure", "figures") +
                           " the plot drew.");
    }
}

std::string conversionError(int result, const std::string& plot) {
    switch (result) {
        case kConvertNoInput:
            return plot + " does not exist";
        case kConvertUnreadable:
            return plot + " cannot be read";
        case kConvertNoStatements:
            return plot + " holds no HP-GL statement";
        default:
            return "the plot cannot be converted";
    }
}

}  // namespace

bool isDatabaseFile(std::string_view path) {
    const long dot = pathExtensionPos(path);
    if (dot < 0) return false;
    const std::string_view extension = path.substr(static_cast<std::size_t>(dot));
    return compareNoCase(extension, ".smb") == 0 || compareNoCase(extension, ".sht") == 0;
}

LoadedDrawing::LoadedDrawing() = default;
LoadedDrawing::~LoadedDrawing() = default;

bool LoadedDrawing::load(const std::string& path, std::string& error) {
    const long dot = pathExtensionPos(path);
    const bool symbol =
        dot >= 0 &&
        compareNoCase(std::string_view(path).substr(static_cast<std::size_t>(dot)), ".smb") == 0;
    const std::string dir = pathDirPart(makeAbsolutePath(path));
    for (const SettingsFiles& files : {settingsFilesFor(symbol, dir), settingsFilesFor(true, "")}) {
        if (settings_) break;
        if (!files.landata.empty()) settings_ = openDatabaseSettings(files.landata, kSettingsRead);
    }
    if (!settings_) settings_ = std::make_unique<DatabaseSettings>();
    if (pathKind(path) != 2) {
        error = path + (pathKind(path) == 0 ? " does not exist" : " is no file");
        return false;
    }
    database_ = LexDatabase::open(path, settings_.get(), LexDatabase::kModeReadOnly);
    if (!database_) {
        error = path + " cannot be read as a symbol or sheet";
        return false;
    }
    if (database_->sheet() == nullptr) {
        error = path + " holds no sheet";
        return false;
    }
    return true;
}

MemoryConversion::MemoryConversion() = default;

MemoryConversion::~MemoryConversion() {
    if (database_.database() != nullptr) dbClose(database_, LexDatabase::kCloseDiscard);
}

bool MemoryConversion::run(const std::string& plot, const std::string& penMap,
                           const Placement& placement, std::string& error) {
    if (const Status loaded = loadOutputSettings(true, "", settings_); !loaded.ok()) {
        error = "the installation's settings " + loaded.path + " cannot be read";
        return false;
    }
    if (!penMap.empty() && (pathKind(penMap) < 2 || !testAccess(penMap, kAccessRead))) {
        error = "the pen map " + penMap + " cannot be read";
        return false;
    }
    // A database without a path: it can be filled but never saved.
    database_ = dbOpen("", settings_.landata.get(), LexDatabase::kModeCreate);
    sheet_ = dbCreateSheet(database_, "Sheet", LexSheet::kKindSymbol);
    if (!dbValid(database_) || !dbValid(sheet_) ||
        !configureNewSheet(database_, sheet_, *settings_.lanenv, true)) {
        error = "a symbol cannot be set up in memory";
        return false;
    }
    HpglConverter converter(settings_.landata.get(), settings_.lanenv.get(), sheet_,
                            placement.offsetX, placement.offsetY);
    const int result = converter.convert(plot, plotSizing(placement), penMap);
    if (result != kConvertDone) {
        error = conversionError(result, plot);
        return false;
    }
    if (!fitSheetToDrawing(sheet_)) {
        error = "the area of the converted symbol cannot be set";
        return false;
    }
    return true;
}

ViewResult renderDrawingFile(const std::string& path, bool grid) {
    ViewResult result;
    LoadedDrawing drawing;
    if (!drawing.load(path, result.error)) return result;
    SvgCanvas canvas("v");
    drawSheet(*drawing.database(), drawing.settings(), grid, canvas);
    result.document =
        standaloneSvg(canvas, sheetBackground(*drawing.database()->sheet(), drawing.settings()));
    result.ok = true;
    return result;
}

ViewResult renderComparison(const ViewRequest& request) {
    ViewResult result;
    const Placement& placement = request.placement;
    SvgCanvas plotCanvas("plot", placement.offsetX, placement.offsetY);
    PlotCounts plotCounts;
    const PlotReading reading = readPlotFigures(
        request.input, plotSizing(placement),
        [&](const PlotFigure& figure) { drawPlotFigure(figure, plotCanvas, plotCounts); });
    if (reading.result != kConvertDone) {
        result.error = conversionError(reading.result, request.input);
        return result;
    }

    LoadedDrawing loaded;
    MemoryConversion converted;
    const LexDatabase* database = nullptr;
    const DatabaseSettings* settings = nullptr;
    if (request.compareWith.empty()) {
        if (!converted.run(request.input, request.penMap, placement, result.error)) return result;
        database = converted.database();
        settings = converted.settings();
    } else {
        if (!loaded.load(request.compareWith, result.error)) return result;
        database = loaded.database();
        settings = loaded.settings();
    }
    SvgCanvas outputCanvas("output");
    const SheetCounts outputCounts = drawSheet(*database, settings, request.grid, outputCanvas);

    // One view box for both halves: the same place is at the same spot in each.
    Extent both = plotCanvas.extent();
    both.add(outputCanvas.extent());
    const ViewBox box = viewBoxAround(both);
    ComparisonPage page;
    page.title = "trazon-view: " + request.input;
    appendSvg(page.plotSvg, plotCanvas, box, Rgb{255, 255, 255}, 1000, "id=\"plot\"");
    appendSvg(page.outputSvg, outputCanvas, box, sheetBackground(*database->sheet(), settings),
              1000, "id=\"output\"");
    summarise(request, plotCounts, reading, plotCanvas.extent(), outputCounts,
              outputCanvas.extent(), page);
    result.document = comparisonHtml(page);
    result.ok = true;
    return result;
}

int trazonViewMain(int argc, char** argv) {
    auto fail = [](int code, const std::string& line) {
        const std::string text = "trazon-view: " + line + "\n";
        std::fwrite(text.data(), 1, text.size(), stderr);
        return code;
    };
    // The converter's option parser reads -o, -r and -p:NAME as the converter does; the
    // preview's own switches are taken out first.
    std::string programName = "trazon-view";
    std::vector<char*> args{programName.data()};
    ViewRequest request;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i] != nullptr ? argv[i] : "";
        if (arg == "--grid") {
            request.grid = true;
        } else if (arg == "--help") {
            std::fputs(kUsage, stdout);
            return kViewExitDone;
        } else if (arg.substr(0, 2) == "--") {
            return fail(kViewExitUsage, "unknown option " + std::string(arg));
        } else {
            args.push_back(argv[i]);
        }
    }
    if (args.size() < 2) {
        std::fputs(kUsage, stderr);
        return kViewExitUsage;
    }
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    const OptionList options = parseOptions(count, args.data());

    std::string output;
    for (const OptionEntry& entry : options.entries) {
        switch (entry.kind) {
            case kOptionHelp:
                std::fputs(kUsage, stdout);
                return kViewExitDone;
            case kOptionOutput:
                output = entry.value;
                break;
            case kOptionReference:
                request.penMap = entry.value;
                break;
            case kOptionNamedParameter:
                // Names the converter does not know are ignored, as it ignores them.
                if (const std::string bad =
                        applyPlacementParameter(request.placement, entry.name, entry.value);
                    !bad.empty())
                    return fail(kViewExitUsage, bad);
                break;
            default:
                return fail(kViewExitUsage, "an option the preview does not take was given");
        }
    }
    // What the parser left: at most the second file.
    if (count > 2) return fail(kViewExitUsage, "too many files: " + std::string(args[2]));
    request.input = options.target;
    if (count == 2) request.compareWith = unquoteValue(args[1]);
    for (const std::string& name : {request.input, request.compareWith}) {
        if (!name.empty() && name[0] == '-') return fail(kViewExitUsage, "unknown option " + name);
    }
    if (request.input.empty()) return fail(kViewExitUsage, "no file to draw");
    const bool drawing = isDatabaseFile(request.input);
    if (drawing && !request.compareWith.empty())
        return fail(kViewExitUsage, "a symbol or sheet is drawn alone; name the plot first");
    if (!request.compareWith.empty() && !isDatabaseFile(request.compareWith))
        return fail(kViewExitUsage, request.compareWith + " is no symbol or sheet (.smb, .sht)");
    if (output.empty()) output = pathRemoveExtension(request.input) + (drawing ? ".svg" : ".html");
    for (const std::string& name : {request.input, request.compareWith}) {
        std::error_code ec;
        if (!name.empty() && std::filesystem::equivalent(output, name, ec))
            return fail(kViewExitUsage, "the output " + output + " would replace " + name);
    }

    const char* root = getSysEnv("QRXROOT");
    if (root == nullptr)
        return fail(kViewExitFailed,
                    "QRXROOT is not set (the installation with the settings "
                    "and fonts)");
    const std::string rootValue = root;
    setSysEnv("QSYSROOT", rootValue.c_str());
    dbInitialise();

    const ViewResult result =
        drawing ? renderDrawingFile(request.input, request.grid) : renderComparison(request);
    if (!result.ok) return fail(kViewExitFailed, result.error);
    if (!writeDocument(output, result.document))
        return fail(kViewExitFailed, "cannot write " + output);
    return kViewExitDone;
}
