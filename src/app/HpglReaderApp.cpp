#include "app/HpglReaderApp.h"

#include "app/ConversionSetup.h"
#include "app/OptionParser.h"
#include "base/PathUtil.h"
#include "base/StringUtil.h"
#include "base/SysEnv.h"
#include "db/LexDatabase.h"
#include "db/LexSheet.h"
#include "db/ProjectLayout.h"

#include <cstdio>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kCatalogSpec = "QRXROOT/edif2qrx";
constexpr const char* kLogName = "trazon";

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
        const char* home = getSysEnv("HOME");
        std::string directory = home ? home : "";
        pathAppend(directory, "norvel");
        pathAppend(directory, "kv");
        pathAppend(directory, "log");
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

    // The scale and offsets as given; the offsets are kept once the target is known to exist.
    Placement placement;
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
            case kOptionNamedParameter:
                // Names the driver does not know are ignored.
                applyPlacementParameter(placement, entry.name, entry.value);
                break;
            default:
                return 5;
        }
    }
    scale_ = placement.scale;
    if (options.target.empty()) return 5;

    target_ = makeAbsolutePath(options.target);
    if (pathKind(target_) == 0) {
        reportError(kMsgNoInput, target_);
        return 1;
    }
    offsetX_ = placement.offsetX;
    offsetY_ = placement.offsetY;

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
    const SettingsFiles files = settingsFilesFor(outputKind_ == kOutputSymbol, dir);
    const std::string& landataPath = files.landata;
    const std::string& lanenvPath = files.lanenv;
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
    if (::configureNewSheet(database_, sheet_, *lanenv_, outputKind_ == kOutputSymbol)) return 1;
    reportError(kMsgSheetSetupFailed, name);
    return 0;
}

int HpglReaderApp::convertPlot() {
    HpglConverter converter(landata_.get(), lanenv_.get(), sheet_, offsetX_, offsetY_);
    return converter.convert(target_, scale_, penMap_);
}

int HpglReaderApp::writeOutput() {
    // A new sheet's area is the extent of what was drawn on it.
    if (openedExisting_ == 0 && !fitSheetToDrawing(sheet_)) {
        reportError(kMsgSheetSetupFailed, output_);
        return 0;
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
