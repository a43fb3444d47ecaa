#include "app/HpglReaderApp.h"

#include "app/OptionParser.h"
#include "base/PathUtil.h"
#include "base/StringUtil.h"
#include "base/SysEnv.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string_view>

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
    const std::string number(text.substr(start, end - start));
    return std::strtod(number.c_str(), nullptr);
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
HpglReaderApp::~HpglReaderApp() = default;

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
    // The database layer needs no initialisation until its class registry exists.
}

int HpglReaderApp::setUp() {
    // Until the output database can be opened or made, there is nothing to prepare; the
    // conversion then finds no sheet and reports it.
    openedExisting_ = 0;
    return 1;
}

int HpglReaderApp::convertPlot() {
    // Without an output sheet the converter has nowhere to put the drawing.
    return kConvertNoSheet;
}

int HpglReaderApp::writeOutput() {
    reportError(outputKind_ == kOutputSymbol ? kMsgSymbolEmpty : kMsgSheetEmpty, output_);
    return 0;
}
