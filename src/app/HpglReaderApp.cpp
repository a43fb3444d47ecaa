#include "app/HpglReaderApp.h"

#include "app/ConversionSetup.h"
#include "app/OptionParser.h"
#include "base/ErrorRecord.h"
#include "base/PathUtil.h"
#include "base/PlatformFile.h"
#include "base/StringUtil.h"
#include "base/SysEnv.h"
#include "db/LexDatabase.h"
#include "db/LexSheet.h"
#include "db/ProjectLayout.h"

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kCatalogSpec = "QRXROOT/edif2qrx";
constexpr const char* kLogName = "trazon";
// How long a run waits for another run that holds the lock on its output.
constexpr double kLockWaitSeconds = 600.0;
// The subdirectories of a new circuit, made in this order.
constexpr const char* kCircuitDirectories[] = {"log", "ext", "drc", "frame"};

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

// The wait for the lock on an output: TRAZON_LOCK_WAIT seconds when it is set to a number (tests
// shorten the wait with it), else ten minutes.
std::chrono::milliseconds lockWait() {
    double seconds = kLockWaitSeconds;
    const char* value = getSysEnv("TRAZON_LOCK_WAIT");
    if (value != nullptr &&
        (std::isdigit(static_cast<unsigned char>(value[0])) || value[0] == '.')) {
        const double given = readOptionNumber(value);
        if (given >= 0.0 && given <= 1e9) seconds = given;
    }
    return std::chrono::milliseconds(static_cast<long long>(std::llround(seconds * 1000.0)));
}

// Removes what makeCircuit made under a temporary name: the path table, the subdirectories and
// the directory itself (only these names: nothing else is touched).
void removeTemporaryCircuit(const std::string& temporary) {
    platform::Directory circuit;
    if (circuit.open(temporary, true) == 0) {
        circuit.remove("rcpath");
        for (const char* sub : kCircuitDirectories)
            circuit.remove(sub, true);
    }
    platform::Directory parent;
    if (parent.open(pathDirPart(temporary), false) == 0)
        parent.remove(pathFilePart(temporary), true);
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

void HpglReaderApp::reportFailure(int number, const std::string& argument) {
    const int cause = ErrorRecord::instance().cause();
    ErrorRecord::instance().clearCause();
    if (messages_)
        messages_->reportErrorCause(number, {MessageArg(argument)},
                                    platform::systemErrorText(cause));
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
    const int code = runSteps(argc, argv);
    // A message that could not be written (a full disk) must not pass unnoticed, least of all
    // the one that says the output was saved.
    if (!messages_->closeLogs()) {
        const std::string line = "trazon: cannot write the log file " + messages_->failedLog() +
                                 ": " + platform::systemErrorText(messages_->failedLogError()) +
                                 "\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
        return 1;
    }
    return code;
}

int HpglReaderApp::runSteps(int argc, char** argv) {
    if (const int code = parseArguments(argc, argv); code != 0) return code;
    initialiseDatabase();
    if (!setUp()) return 1;

    ErrorRecord::instance().clearCause();
    switch (convertPlot()) {
        case kConvertNoSheet:
            reportError(kMsgNoSheet);
            return 1;
        case kConvertNoInput:
            reportError(kMsgNoInput, target_);
            return 1;
        case kConvertUnreadable:
            reportFailure(kMsgUnreadable, target_);
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
    placement_ = placement;

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

    // A pen map must be a file (or a pipe) that can be read.
    if (!penMap_.empty()) {
        if (const int error = platform::checkInput(penMap_, true); error != 0) {
            ErrorRecord::instance().noteCause(error);
            reportFailure(kMsgUnreadable, penMap_);
            return 1;
        }
    }
    return 0;
}

void HpglReaderApp::initialiseDatabase() {
    dbInitialise();
}

void HpglReaderApp::reportByKind(int symbolNumber, int sheetNumber, const std::string& argument) {
    reportFailure(outputKind_ == kOutputSymbol ? symbolNumber : sheetNumber, argument);
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
    if (!lockOutput(name) || !openOutput(name)) return 0;
    return openedExisting_ ? 1 : configureNewSheet(name);
}

int HpglReaderApp::makeCircuit(const std::string& dir) {
    const char* root = getSysEnv("QRXROOT");
    const std::string settingsDir = pathJoin(root ? root : "", "info");
    ErrorRecord::instance().clearCause();
    if (classify(dir) != kPathKindCircuit) {
        // No circuit: the directories are made where asked, but no path table can go with them.
        std::string failed = makeDirectoryChain(dir);
        for (const char* sub : kCircuitDirectories) {
            if (!failed.empty()) break;
            failed = makeDirectoryChain(pathJoin(dir, sub));
        }
        if (!failed.empty()) {
            reportFailure(kMsgCannotMakeDirectory, failed);
            return 0;
        }
        reportError(kMsgCannotMakeReference, pathTableOf(dir));
        return 0;
    }
    // A circuit is made whole under a temporary name beside it and renamed into place, so that
    // a run that finds the circuit finds its subdirectories and path table too, and of two runs
    // that make the same circuit the second takes the one the first put in place.
    const std::string parent = pathDirPart(dir);
    if (const std::string failed = makeDirectoryChain(parent); !failed.empty()) {
        // A file in the parent's place: the circuit is what cannot be made.
        const bool file = failed == parent && pathKind(parent) == 2;
        if (file) ErrorRecord::instance().noteCause(ENOTDIR);
        reportFailure(kMsgCannotMakeDirectory, file ? dir : failed);
        return 0;
    }
    std::string temporary;
    int error = EEXIST;
    for (int k = 0; k < 100 && error == EEXIST; ++k) {
        temporary = dir + (k == 0 ? std::string() : "." + std::to_string(k)) + ".tmp";
        error = platform::makeDirectory(temporary);
    }
    const bool made = error == 0;
    std::string failed = made ? std::string() : dir;
    for (const char* sub : kCircuitDirectories) {
        if (!failed.empty()) break;
        error = platform::makeDirectory(pathJoin(temporary, sub));
        if (error != 0) failed = pathJoin(dir, sub);
    }
    const bool written =
        failed.empty() && writeSettingsTable(pathJoin(temporary, "rcpath"), settingsDir);
    if (written) error = platform::renamePath(temporary, dir);
    if (written && error == 0) {
        platform::Directory above;
        if (above.open(parent, false) == 0) above.sync();
        ErrorRecord::instance().clearCause();
        return 1;
    }
    if (made) removeTemporaryCircuit(temporary);
    // The temporary circuit could not be made or put in place because another run's circuit
    // stands there now: that one is taken.
    if (pathKind(dir) == 1 && pathKind(pathOf(dir, kPathKindPathTable)) == 2) {
        ErrorRecord::instance().clearCause();
        return 1;
    }
    if (!failed.empty()) {
        if (error != 0) ErrorRecord::instance().noteCause(error);
        reportFailure(kMsgCannotMakeDirectory, failed);
    } else if (!written) {
        reportFailure(kMsgCannotWriteReference, pathTableOf(dir));
    } else {
        reportFailure(kMsgCannotMakeDirectory, dir);
    }
    return 0;
}

int HpglReaderApp::loadSettings(const std::string& dir) {
    const SettingsFiles files = settingsFilesFor(outputKind_ == kOutputSymbol, dir);
    const std::string& landataPath = files.landata;
    const std::string& lanenvPath = files.lanenv;
    // A circuit without a usable path table names no settings file; the table is named then.
    ErrorRecord::instance().clearCause();
    landata_ = landataPath.empty() ? nullptr : openDatabaseSettings(landataPath, kSettingsRead);
    if (!landata_) {
        reportFailure(kMsgUnreadable, landataPath.empty() ? pathTableOf(dir) : landataPath);
        return 0;
    }
    ErrorRecord::instance().clearCause();
    lanenv_ = lanenvPath.empty()
                  ? nullptr
                  : openEnvironmentSettings(lanenvPath, kSettingsRead, landata_.get());
    if (!lanenv_) {
        reportFailure(kMsgUnreadable, lanenvPath.empty() ? pathTableOf(dir) : lanenvPath);
        return 0;
    }
    return 1;
}

int HpglReaderApp::lockOutput(const std::string& name) {
    // Runs that add to one output take turns: the lock is taken before the output is looked at
    // and held until it is saved. An output that is a link to a file is that file's lock; a link
    // to nothing cannot become an output.
    ErrorRecord::instance().clearCause();
    std::string target;
    if (const int error = platform::resolveLinks(output_, target); error != 0) {
        ErrorRecord::instance().noteCause(error);
        reportByKind(kMsgSymbolOpenFailed, kMsgSheetOpenFailed, name);
        return 0;
    }
    const int error = outputLock_.acquire(target + ".lock", lockWait());
    // Where no lock file can be made (no directory, no write access) no save can be made either:
    // the run goes on, and the save says why it fails.
    if (error == 0 || error == ENOENT || error == EACCES || error == EROFS) {
        ErrorRecord::instance().clearCause();
        return 1;
    }
    reportByKind(kMsgSymbolOpenFailed, kMsgSheetOpenFailed, output_);
    return 0;
}

int HpglReaderApp::openOutput(const std::string& name) {
    ErrorRecord::instance().clearCause();
    // Only a regular file can be an output: a directory, a device or a pipe is refused.
    platform::FileStatus status;
    const bool present = platform::fileStatus(output_, true, status) == 0;
    const bool plain = !present || status.kind == platform::FileKind::Regular;
    if (!plain) {
        ErrorRecord::instance().noteCause(
            status.kind == platform::FileKind::Directory ? EISDIR : platform::kErrorNotAFile);
    }
    if (keepExisting_ == 1 && present) {
        if (plain) {
            database_ = dbOpen(output_, landata_.get(), LexDatabase::kModeUpdate);
            sheet_ = dbFindChild(database_, "Sheet", kDbHandleSheet);
            if (dbValid(database_) && dbValid(sheet_)) {
                openedExisting_ = 1;
                return 1;
            }
        }
        reportByKind(kMsgSymbolOpenFailed, kMsgSheetOpenFailed, output_);
        return 0;
    }
    openedExisting_ = 0;
    // An existing file (-m new) stays as it is until the new one is saved in its place.
    if (plain) {
        database_ = dbNew(output_, landata_.get());
        sheet_ = dbCreateSheet(
            database_, "Sheet",
            outputKind_ == kOutputSymbol ? LexSheet::kKindSymbol : LexSheet::kKindSchematic);
        if (dbValid(database_) && dbValid(sheet_)) return 1;
    }
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
    PlotSizing sizing = plotSizing(placement_);
    sizing.scale = scale_;
    return converter.convert(target_, sizing, penMap_);
}

int HpglReaderApp::writeOutput() {
    ErrorRecord::instance().clearCause();
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
    const int saved = dbSave(database_);
    // Saved or not, the next run may have the output now.
    outputLock_.release();
    if (!saved) {
        reportByKind(kMsgSymbolSaveFailed, kMsgSheetSaveFailed, output_);
        return 0;
    }
    if (messages_) messages_->reportWarning(kMsgSaved, nullptr, output_.c_str());
    return 1;
}
