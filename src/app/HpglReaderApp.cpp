#include "app/HpglReaderApp.h"

#include "app/ConversionReport.h"
#include "app/Entry.h"
#include "base/PathUtil.h"
#include "base/PlatformFile.h"
#include "base/SysEnv.h"
#include "db/NewCircuit.h"

#include <cstdio>
#include <filesystem>

namespace {

constexpr const char* kCatalogSpec = "QRXROOT/edif2qrx";
constexpr const char* kLogName = "trazon";

// The message a failed circuit creation reports.
int circuitMessage(const Status& status) {
    switch (status.code) {
        case kCircuitNotACircuit:
            return kMsgCannotMakeReference;
        case kCircuitTableFailed:
            return kMsgCannotWriteReference;
        default:
            return kMsgCannotMakeDirectory;
    }
}

}  // namespace

HpglReaderApp::HpglReaderApp() = default;

HpglReaderApp::~HpglReaderApp() = default;

int HpglReaderApp::fail(int number, const std::string& argument, int sysError) {
    if (messages_)
        messages_->reportErrorCause(number, {MessageArg(argument)},
                                    platform::systemErrorText(sysError));
    return 0;
}

int HpglReaderApp::failByKind(int symbolNumber, int sheetNumber, const std::string& argument,
                              int sysError) {
    return fail(config_.outputKind == kOutputSymbol ? symbolNumber : sheetNumber, argument,
                sysError);
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
    int code = runSteps(argc, argv);
    // A message that could not be written (a full disk) must not pass unnoticed, least of all
    // the one that says the output was saved.
    if (!messages_->closeLogs()) {
        const std::string line = "trazon: cannot write the log file " + messages_->failedLog() +
                                 ": " + platform::systemErrorText(messages_->failedLogError()) +
                                 "\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
        code = 1;
    }
    if (plotRead_ && !config_.report.empty()) writeReport(code);
    return code;
}

void HpglReaderApp::writeReport(int exitCode) const {
    ReportFacts facts;
    facts.input = config_.target;
    std::error_code error;
    if (std::filesystem::is_regular_file(config_.target, error)) {
        const std::uintmax_t size = std::filesystem::file_size(config_.target, error);
        if (!error) facts.inputBytes = size;
    }
    facts.output = makeAbsolutePath(config_.output);
    facts.sheet = config_.outputKind != kOutputSymbol;
    facts.exitCode = exitCode;
    facts.tally = tally_;
    const std::string failure = writeReportFile(config_.report, conversionReportJson(facts),
                                                {config_.target, config_.output, config_.penMap});
    if (!failure.empty()) {
        const std::string line =
            "trazon: cannot write the report " + config_.report + ": " + failure + "\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
    }
}

int HpglReaderApp::runSteps(int argc, char** argv) {
    if (const int code = parseArguments(argc, argv); code != 0) return code;
    initialiseDatabase();
    if (!setUp()) return 1;
    const int converted = convertPlot();
    plotRead_ = converted == kConvertDone || converted == kConvertNoStatements;
    switch (converted) {
        case kConvertNoSheet:
            if (messages_) messages_->reportError(kMsgNoSheet);
            return 1;
        case kConvertNoInput:
            return finish({kExitFailed, kMsgNoInput, config_.target});
        case kConvertUnreadable:
            return finish({kExitFailed, kMsgUnreadable, config_.target, inputError_});
        case kConvertNoStatements:
            return finish({kExitFailed, kMsgBadOutputName, config_.target});
        default:
            return writeOutput() ? 0 : 1;
    }
}

int HpglReaderApp::finish(const DriverExit& exit) {
    if (exit.code == kExitVersion) printVersionBanner(converterVersion());
    if (!exit.usageNote.empty()) {
        const std::string line = "trazon: " + exit.usageNote + "\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
    }
    if (exit.message != 0) fail(exit.message, exit.argument, exit.sysError);
    return exit.code;
}

int HpglReaderApp::parseArguments(int argc, char** argv) {
    auto command = interpretOptions(parseOptions(argc, argv));
    if (const DriverExit* exit = std::get_if<DriverExit>(&command)) return finish(*exit);
    config_ = std::move(std::get<DriverConfig>(command));
    if (const auto exit = checkAgainstFiles(config_)) return finish(*exit);
    return 0;
}

void HpglReaderApp::initialiseDatabase() {
    dbInitialise();
}

int HpglReaderApp::setUp() {
    // Directory operations use the output's directory as a full path, so that a circuit is
    // recognised also when the output is named relative to it.
    const std::string dir = pathDirPart(makeAbsolutePath(config_.output));
    const bool symbol = config_.outputKind == kOutputSymbol;
    if (config_.outputKind == kOutputNewSheet) {
        const char* root = getSysEnv("QRXROOT");
        const Status made = makeCircuit(dir, pathJoin(root ? root : "", "info"));
        if (!made.ok()) return fail(circuitMessage(made), made.path, made.sysError);
        config_.outputKind = kOutputSheet;
    }
    if (const Status loaded = loadOutputSettings(symbol, dir, settings_); !loaded.ok())
        return fail(kMsgUnreadable, loaded.path, loaded.sysError);

    // The output is locked before it is looked at and stays locked until it is saved. A failure
    // names the output as given when an existing file stands in the way, else its file name.
    const std::string& output = config_.output;
    const std::string name = pathFilePart(output);
    Status status = output_.lock(output, lockWaitFrom(getSysEnv("TRAZON_LOCK_WAIT")));
    if (status.ok())
        status = output_.open(output, settings_.landata.get(), config_.keepExisting, symbol);
    if (!status.ok()) {
        const bool named = status.code == kOutputInUse || status.code == kOutputNotOpened;
        return failByKind(kMsgSymbolOpenFailed, kMsgSheetOpenFailed, named ? output : name,
                          status.sysError);
    }
    if (output_.openedExisting() ||
        configureNewSheet(output_.database(), output_.sheet(), *settings_.lanenv, symbol))
        return 1;
    return fail(kMsgSheetSetupFailed, name);
}

int HpglReaderApp::convertPlot() {
    const Placement& placement = config_.placement;
    HpglConverter converter(settings_.landata.get(), settings_.lanenv.get(), output_.sheet(),
                            placement.offsetX, placement.offsetY);
    const int result = converter.convert(config_.target, plotSizing(placement), config_.penMap);
    inputError_ = converter.inputError();
    tally_ = converter.tally();
    return result;
}

int HpglReaderApp::writeOutput() {
    const std::string& output = config_.output;
    // A new sheet's area is the extent of what was drawn on it.
    if (!output_.openedExisting() && !fitSheetToDrawing(output_.sheet()))
        return fail(kMsgSheetSetupFailed, output);
    if (!output_.hasContent()) return failByKind(kMsgSymbolEmpty, kMsgSheetEmpty, output);
    if (const Status saved = output_.save(); !saved.ok())
        return failByKind(kMsgSymbolSaveFailed, kMsgSheetSaveFailed, output, saved.sysError);
    if (messages_) messages_->reportWarning(kMsgSaved, nullptr, output.c_str());
    return 1;
}
