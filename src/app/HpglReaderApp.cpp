#include "app/HpglReaderApp.h"

#include "app/OptionParser.h"
#include "base/PathUtil.h"
#include "base/StringUtil.h"
#include "base/SysEnv.h"
#include "convert/SheetCommands.h"
#include "db/LexDatabase.h"
#include "db/LexSheet.h"
#include "db/ProjectLayout.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <limits>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kCatalogSpec = "QRXROOT/edif2qrx";
constexpr const char* kLogName = "trazon";

// Reads the longest decimal number at the start of text (after blanks): optional sign, digits
// with an optional fraction, optional exponent. A text that is no such number reads as 0.
double readDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    const std::size_t start = i;
    auto digitsFrom = [&](std::size_t p) {
        while (p < text.size() && std::isdigit(static_cast<unsigned char>(text[p])))
            ++p;
        return p;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t intEnd = digitsFrom(i);
    std::size_t end = intEnd;
    bool haveDigits = intEnd > i;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fracEnd = digitsFrom(end + 1);
        haveDigits = haveDigits || fracEnd > end + 1;
        end = fracEnd;
    }
    if (!haveDigits) return 0.0;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t e = end + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
        const std::size_t expEnd = digitsFrom(e);
        if (expEnd > e) end = expEnd;
    }
    // Only the prefix is handed on, so that nothing beyond it (hexadecimal, "inf") is read.
    const std::string number(text.substr(start, end - start));
    double value = 0.0;
    readDouble(number.c_str(), &value);
    return value;
}

// Makes dir with every missing parent directory. Empty on success, else the path that could not
// be made.
std::string makeDirectoryChain(const std::string& dir) {
    // From dir upwards, the last components of the paths that do not exist yet.
    std::vector<std::string> missing;
    std::string existing = dir;
    while (existing.size() >= 2 && pathKind(existing) == 0) {
        std::string parent = pathDirPart(existing);
        if (parent == existing) break;
        missing.push_back(pathFilePart(existing));
        existing = std::move(parent);
    }
    // Then made from the top down, each joined to its parent.
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        pathAppend(existing, *it);
        makeDirectory(existing);
        if (pathKind(existing) != 1) return existing;
    }
    return pathKind(dir) == 1 ? std::string() : dir;
}

// The path table of a circuit directory, or the name it would have beside any other directory.
std::string pathTableOf(const std::string& dir) {
    std::string table = pathOf(dir, kPathKindPathTable);
    return table.empty() ? pathJoin(dir, "rcpath") : table;
}

// An offset is kept only when its value in thousandths fits a 32-bit coordinate.
bool offsetFits(double value) {
    const double scaled = std::trunc(value * 1000.0);
    return std::isfinite(scaled) &&
           scaled >= static_cast<double>(std::numeric_limits<std::int32_t>::min()) &&
           scaled <= static_cast<double>(std::numeric_limits<std::int32_t>::max());
}

}  // namespace

HpglReaderApp::HpglReaderApp() = default;

HpglReaderApp::~HpglReaderApp() {
    // The output was saved (or not) by writeOutput; what is left in memory is let go.
    if (database_.database() != nullptr) dbClose(database_, LexDatabase::kCloseDiscard);
}

void HpglReaderApp::reportError(int number, const std::string& argument) {
    if (messages_) messages_->reportError(number, nullptr, {MessageArg(argument)});
}

void HpglReaderApp::reportError(int number) {
    if (messages_) messages_->reportError(number);
}

int HpglReaderApp::run(int argc, char** argv) {
    if (!messages_) {
        messages_ = std::make_unique<MessageManager>(kCatalogSpec);
        // TRAZON_LOG_DIR, when set and not empty, gives the run a log directory of its own (runs
        // side by side then keep their logs apart); otherwise the logs go to $HOME/norvel/kv/log.
        std::string directory;
        if (const char* own = getSysEnv("TRAZON_LOG_DIR"); own != nullptr && *own != '\0') {
            directory = own;
        } else {
            const char* home = getSysEnv("HOME");
            directory = home ? home : "";
            pathAppend(directory, "norvel");
            pathAppend(directory, "kv");
            pathAppend(directory, "log");
        }
        messages_->setLogDirectory(directory.c_str());
        if (!messages_->openLogs(kLogName, 0)) {
            // Without logs no failure could be reported, so nothing is converted.
            const std::string line =
                "trazon: cannot write the log files in the directory " + directory + "\n";
            std::fwrite(line.data(), 1, line.size(), stderr);
            return 1;
        }
    }

    if (const int code = parseArguments(argc, argv); code != 0) return code;
    initialiseDatabase();
    if (!setUp()) return 1;

    switch (convertPlot()) {
        case kConvertNoSheet:
            reportError(kMsgNoSheet);
            return 1;
        case kConvertNoInput:
            reportError(kMsgNoInput, target_);
            return 1;
        case kConvertUnreadable:
            reportError(kMsgUnreadable, target_);
            return 1;
        case kConvertNoStatements:
            reportError(kMsgBadOutputName, target_);
            return 1;
        default:
            break;
    }
    return writeOutput() ? 0 : 1;
}

int HpglReaderApp::parseArguments(int argc, char** argv) {
    const OptionList options = parseOptions(argc, argv);

    // The offsets as given; they become thousandths once all options are read.
    double offsetXValue = 0.0;
    double offsetYValue = 0.0;
    for (const OptionEntry& entry : options.entries) {
        switch (entry.kind) {
            case kOptionVersion: {
                VersionInfo info;
                info.programName = "trazon";
                info.programVersion = "V7.010";
                info.programDate = "2003/02/28";
                printVersionBanner(info);
                return 3;
            }
            case kOptionReference:
                penMap_ = entry.value;
                break;
            case kOptionOutput:
                output_ = entry.value;
                break;
            case kOptionMode:
                if (compareNoCase(entry.value, "new") == 0) keepExisting_ = 0;
                break;
            case kOptionNamedParameter: {
                const double value = readDecimal(entry.value);
                if (compareNoCase(entry.name, "scale") == 0) {
                    if (value >= 0.01 && value <= 100.0) scale_ = value;
                } else if (compareNoCase(entry.name, "offsetx") == 0) {
                    if (offsetFits(value)) offsetXValue = value;
                } else if (compareNoCase(entry.name, "offsety") == 0) {
                    if (offsetFits(value)) offsetYValue = value;
                }
                break;
            }
            default:
                return 5;
        }
    }
    if (options.target.empty()) return 5;

    target_ = makeAbsolutePath(options.target);
    if (pathKind(target_) == 0) {
        reportError(kMsgNoInput, target_);
        return 1;
    }
    offsetX_ = static_cast<std::int32_t>(std::trunc(offsetXValue * 1000.0));
    offsetY_ = static_cast<std::int32_t>(std::trunc(offsetYValue * 1000.0));

    if (output_.empty()) {
        std::string derived = pathRemoveExtension(target_) + ".smb";
        if (derived == target_) {
            reportError(kMsgBadOutputName, target_);
            return 1;
        }
        output_ = std::move(derived);
        outputKind_ = kOutputSymbol;
    } else {
        const long dot = pathExtensionPos(output_);
        const std::string_view extension =
            dot < 0 ? std::string_view() : std::string_view(output_).substr(dot);
        if (!extension.empty() && compareNoCase(extension, ".smb") == 0) {
            outputKind_ = kOutputSymbol;
        } else if (!extension.empty() && compareNoCase(extension, ".sht") == 0) {
            const bool directoryExists =
                pathKind(output_) != 0 || pathKind(pathDirPart(output_)) != 0;
            outputKind_ = directoryExists ? kOutputSheet : kOutputNewSheet;
        } else {
            reportError(kMsgBadOutputName, output_);
            return 1;
        }
    }

    // A pen map must be a file that can be read.
    if (!penMap_.empty() && (pathKind(penMap_) < 2 || !testAccess(penMap_, kAccessRead))) {
        reportError(kMsgUnreadable, penMap_);
        return 1;
    }
    return 0;
}

void HpglReaderApp::initialiseDatabase() {
    dbInitialise();
}

void HpglReaderApp::reportByKind(int symbolNumber, int sheetNumber, const std::string& argument) {
    reportError(outputKind_ == kOutputSymbol ? symbolNumber : sheetNumber, argument);
}

int HpglReaderApp::setUp() {
    // Directory operations use the output's directory as a full path, so that a circuit is
    // recognised also when the output is named relative to it.
    const std::string dir = pathDirPart(makeAbsolutePath(output_));
    if (outputKind_ == kOutputNewSheet) {
        if (!makeCircuit(dir)) return 0;
        outputKind_ = kOutputSheet;
    }
    if (!loadSettings(dir)) return 0;
    const std::string name = pathFilePart(output_);
    if (!openOutput(name)) return 0;
    return openedExisting_ ? 1 : configureNewSheet(name);
}

int HpglReaderApp::makeCircuit(const std::string& dir) {
    std::string failed = makeDirectoryChain(dir);
    for (const char* sub : {"log", "ext", "drc", "frame"}) {
        if (!failed.empty()) break;
        failed = makeDirectoryChain(pathJoin(dir, sub));
    }
    if (!failed.empty()) {
        reportError(kMsgCannotMakeDirectory, failed);
        return 0;
    }
    const char* root = getSysEnv("QRXROOT");
    const int written = writeSettingsReference(dir, pathJoin(root ? root : "", "info"));
    if (written == 0) return 1;
    reportError(written == -1 ? kMsgCannotMakeReference : kMsgCannotWriteReference,
                pathTableOf(dir));
    return 0;
}

int HpglReaderApp::loadSettings(const std::string& dir) {
    std::string landataPath, lanenvPath;
    if (outputKind_ == kOutputSymbol) {
        landataPath = systemFile("landata", kSystemInfo);
        lanenvPath = systemFile("lanenv", kSystemInfo);
    } else {
        landataPath = pathOf(dir, kPathKindSettings, "landata");
        lanenvPath = pathOf(dir, kPathKindSettings, "lanenv");
    }
    // A circuit without a usable path table names no settings file; the table is named then.
    landata_ = landataPath.empty() ? nullptr : openDatabaseSettings(landataPath, kSettingsRead);
    if (!landata_) {
        reportError(kMsgUnreadable, landataPath.empty() ? pathTableOf(dir) : landataPath);
        return 0;
    }
    lanenv_ = lanenvPath.empty()
                  ? nullptr
                  : openEnvironmentSettings(lanenvPath, kSettingsRead, landata_.get());
    if (!lanenv_) {
        reportError(kMsgUnreadable, lanenvPath.empty() ? pathTableOf(dir) : lanenvPath);
        return 0;
    }
    return 1;
}

int HpglReaderApp::openOutput(const std::string& name) {
    if (keepExisting_ == 1 && exists(output_)) {
        database_ = dbOpen(output_, landata_.get(), LexDatabase::kModeUpdate);
        sheet_ = dbFindChild(database_, "Sheet", kDbHandleSheet);
        if (dbValid(database_) && dbValid(sheet_)) {
            openedExisting_ = 1;
            return 1;
        }
        reportByKind(kMsgSymbolOpenFailed, kMsgSheetOpenFailed, output_);
        return 0;
    }
    openedExisting_ = 0;
    if (exists(output_)) removeFile(output_);
    database_ = dbOpen(output_, landata_.get(), LexDatabase::kModeCreate);
    sheet_ = dbCreateSheet(
        database_, "Sheet",
        outputKind_ == kOutputSymbol ? LexSheet::kKindSymbol : LexSheet::kKindSchematic);
    if (dbValid(database_) && dbValid(sheet_)) return 1;
    reportByKind(kMsgSymbolOpenFailed, kMsgSheetOpenFailed, name);
    return 0;
}

int HpglReaderApp::configureNewSheet(const std::string& name) {
    const bool symbol = outputKind_ == kOutputSymbol;
    const EnvironmentSettings& env = *lanenv_;
    QsBox area(0, 0, 500000, 500000);
    if ((symbol ? env.symSheetSizeCount() : env.schSheetSizeCount()) > 0) {
        const SheetSizeEntry e = symbol ? env.symSheetSize(0) : env.schSheetSize(0);
        area = QsBox(e.x1, e.y1, e.x2, e.y2);
    }
    const int sizeColour = symbol ? env.symSheetSizeColor() : env.schSheetSizeColor();

    SetSheetBoxCommand setArea(sheet_, area);
    MoveSheetCommand moveOrigin(sheet_, QsPoint(0, 0));
    SetSheetSizeColourCommand setColour(sheet_, static_cast<std::uint16_t>(sizeColour));
    SetSheetDisplayCommand setDisplay(sheet_, 1);
    bool ok = true;
    for (SheetCommand* command :
         std::initializer_list<SheetCommand*>{&setArea, &moveOrigin, &setColour, &setDisplay})
        ok = ok && command->execute() == 1;
    if (!ok || env.gridRowCount() < 1) {
        reportError(kMsgSheetSetupFailed, name);
        return 0;
    }

    const GridRow row = env.gridRow(0);
    DbGridValues grid;
    grid.pitchX = row.pitchX;
    grid.pitchY = row.pitchY;
    grid.visible = true;
    grid.value1 = row.valueA;
    grid.value2 = row.valueB;
    grid.secondFlag = true;
    grid.color = env.gridColor();
    grid.highByte = 1;
    dbCreateGrid(database_, "Grid", grid);

    DbZoneValues zone;
    zone.mode = env.zoneOrigin();
    zone.pitchX = env.zonePitchX();
    zone.pitchY = env.zonePitchY();
    zone.label1 = env.zoneStartTextX();
    zone.label2 = env.zoneStartTextY();
    zone.visible = true;
    dbCreateZone(database_, "Zone", zone);
    return 1;
}

int HpglReaderApp::convertPlot() {
    HpglConverter converter(landata_.get(), lanenv_.get(), sheet_, offsetX_, offsetY_);
    return converter.convert(target_, scale_, penMap_);
}

int HpglReaderApp::writeOutput() {
    if (openedExisting_ == 0) {
        // A new sheet's area is the extent of what was drawn on it.
        QsBox extent;
        if (LexSheet* sheet = sheet_.sheet()) sheet->objectsExtent(extent);
        SetSheetBoxCommand setExtent(sheet_, extent);
        if (setExtent.execute() != 1) {
            reportError(kMsgSheetSetupFailed, output_);
            return 0;
        }
    }
    const LexDatabase* db = database_.database();
    if (db == nullptr || !db->hasContent()) {
        reportByKind(kMsgSymbolEmpty, kMsgSheetEmpty, output_);
        return 0;
    }
    if (!dbSave(database_)) {
        reportByKind(kMsgSymbolSaveFailed, kMsgSheetSaveFailed, output_);
        return 0;
    }
    if (messages_) messages_->reportWarning(kMsgSaved, nullptr, output_.c_str());
    return 1;
}
