#include "app/DriverOptions.h"

#include <cctype>
#include <cmath>
#include <limits>

#include "app/Entry.h"
#include "base/PathUtil.h"
#include "base/PlatformFile.h"
#include "base/StringUtil.h"
#include "convert/HpglConverter.h"

namespace {

// How long a run waits for the lock on its output unless told otherwise.
constexpr double kLockWaitSeconds = 600.0;

// An offset is kept only when its value in thousandths fits a 32-bit coordinate.
bool offsetFits(double value) {
    const double scaled = std::trunc(value * 1000.0);
    return std::isfinite(scaled) &&
           scaled >= static_cast<double>(std::numeric_limits<std::int32_t>::min()) &&
           scaled <= static_cast<double>(std::numeric_limits<std::int32_t>::max());
}

// The kind an output name gives by its extension (any letter case).
std::int32_t outputKindOf(std::string_view output) {
    const long dot = pathExtensionPos(output);
    const std::string_view extension = dot < 0 ? std::string_view() : output.substr(dot);
    if (extension.empty()) return kOutputNone;
    if (compareNoCase(extension, ".smb") == 0) return kOutputSymbol;
    if (compareNoCase(extension, ".sht") == 0) return kOutputSheet;
    return kOutputNone;
}

DriverExit ended(int code) {
    DriverExit exit;
    exit.code = code;
    return exit;
}

DriverExit usageError(std::string note) {
    DriverExit exit = ended(kExitUsage);
    exit.usageNote = std::move(note);
    return exit;
}

DriverExit reported(int message, std::string argument, int sysError = 0) {
    return DriverExit{kExitFailed, message, std::move(argument), sysError};
}

}  // namespace

std::variant<DriverConfig, DriverExit> interpretOptions(const OptionList& options) {
    DriverConfig config;
    std::string output;
    for (const OptionEntry& entry : options.entries) {
        switch (entry.kind) {
            case kOptionVersion:
                return ended(kExitVersion);
            case kOptionReference:
                config.penMap = entry.value;
                break;
            case kOptionOutput:
                output = entry.value;
                break;
            case kOptionMode:
                if (compareNoCase(entry.value, "new") == 0) config.keepExisting = false;
                break;
            case kOptionNamedParameter:
                // Names the converter does not know are ignored.
                if (compareNoCase(entry.name, "report") == 0) {
                    config.report = entry.value;
                } else if (std::string bad =
                               applyPlacementParameter(config.placement, entry.name, entry.value);
                           !bad.empty()) {
                    return usageError(std::move(bad));
                }
                break;
            default:
                return ended(kExitUsage);
        }
    }
    if (options.target.empty()) return ended(kExitUsage);
    config.target = options.target;
    if (!output.empty()) config.outputKind = outputKindOf(output);
    config.output = std::move(output);
    return config;
}

std::optional<DriverExit> checkAgainstFiles(DriverConfig& config) {
    config.target = makeAbsolutePath(config.target);
    if (pathKind(config.target) == 0) return reported(kMsgNoInput, config.target);
    if (config.output.empty()) {
        std::string derived = pathRemoveExtension(config.target) + ".smb";
        if (derived == config.target) return reported(kMsgBadOutputName, config.target);
        config.output = std::move(derived);
        config.outputKind = kOutputSymbol;
    } else if (config.outputKind == kOutputNone) {
        return reported(kMsgBadOutputName, config.output);
    } else if (config.outputKind == kOutputSheet && pathKind(config.output) == 0 &&
               pathKind(pathDirPart(config.output)) == 0) {
        config.outputKind = kOutputNewSheet;
    }
    // A pen map must be a file (or a pipe) that can be read.
    if (!config.penMap.empty()) {
        if (const int error = platform::checkInput(config.penMap, true); error != 0)
            return reported(kMsgUnreadable, config.penMap, error);
    }
    return std::nullopt;
}

namespace {

// The longest decimal number at the start of text after blanks (see readOptionNumber) into
// value; returns where it ends, or 0 with value 0 when there is none.
std::size_t readNumberPrefix(std::string_view text, double& value) {
    value = 0.0;
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
    if (!haveDigits) return 0;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t e = end + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
        const std::size_t expEnd = digitsFrom(e);
        if (expEnd > e) end = expEnd;
    }
    // Only the prefix is handed on, so that nothing beyond it (hexadecimal, "inf") is read.
    const std::string number(text.substr(start, end - start));
    readDouble(number.c_str(), &value);
    return end;
}

// A text that is one decimal number and nothing else but blanks around it.
bool readWholeNumber(std::string_view text, double& value) {
    std::size_t end = readNumberPrefix(text, value);
    if (end == 0) return false;
    while (end < text.size() && std::isspace(static_cast<unsigned char>(text[end])))
        ++end;
    return end == text.size();
}

// A side of a fit box in output units: positive, a whole thousandth at least, and within 32 bits.
bool fitSide(std::string_view text, std::int32_t& units) {
    double millimetres = 0.0;
    if (!readWholeNumber(text, millimetres) || !offsetFits(millimetres)) return false;
    const double thousandths = std::trunc(millimetres * 1000.0);
    if (thousandths < 1.0) return false;
    units = static_cast<std::int32_t>(thousandths);
    return true;
}

std::string quoted(std::string_view value) {
    return "\"" + std::string(value) + "\"";
}

}  // namespace

double readOptionNumber(std::string_view text) {
    double value = 0.0;
    readNumberPrefix(text, value);
    return value;
}

PlotSizing plotSizing(const Placement& placement) {
    PlotSizing sizing;
    sizing.scale = placement.scale;
    sizing.userScaling = placement.userScale;
    sizing.fitWidth = placement.fitWidth;
    sizing.fitHeight = placement.fitHeight;
    return sizing;
}

std::string applyPlacementParameter(Placement& placement, std::string_view name,
                                    std::string_view value) {
    if (compareNoCase(name, "userscale") == 0) {
        double on = 0.0;
        if (!readWholeNumber(value, on) || (on != 0.0 && on != 1.0))
            return "-p:userscale takes 1 (on) or 0 (off), not " + quoted(value);
        placement.userScale = on != 0.0;
        return {};
    }
    if (compareNoCase(name, "fit") == 0) {
        const std::size_t x = value.find_first_of("xX");
        std::int32_t width = 0, height = 0;
        if (x == std::string_view::npos || !fitSide(value.substr(0, x), width) ||
            !fitSide(value.substr(x + 1), height))
            return "-p:fit takes WIDTHxHEIGHT in millimetres, both above 0 (100x60, say), not " +
                   quoted(value);
        placement.fitWidth = width;
        placement.fitHeight = height;
        return {};
    }
    const bool scale = compareNoCase(name, "scale") == 0;
    const bool offsetX = compareNoCase(name, "offsetx") == 0;
    const bool offsetY = compareNoCase(name, "offsety") == 0;
    if (!scale && !offsetX && !offsetY) return {};
    const double number = readOptionNumber(value);
    if (scale) {
        if (number >= 0.01 && number <= 100.0) placement.scale = number;
    } else if (offsetFits(number)) {
        const auto units = static_cast<std::int32_t>(std::trunc(number * 1000.0));
        (offsetX ? placement.offsetX : placement.offsetY) = units;
    }
    return {};
}

VersionInfo converterVersion() {
    VersionInfo info;
    info.programName = "trazon";
    info.programVersion = "V7.010";
    info.programDate = "2003/02/28";
    return info;
}

std::chrono::milliseconds lockWaitFrom(const char* value) {
    double seconds = kLockWaitSeconds;
    if (value != nullptr &&
        (std::isdigit(static_cast<unsigned char>(value[0])) || value[0] == '.')) {
        const double given = readOptionNumber(value);
        if (given >= 0.0 && given <= 1e9) seconds = given;
    }
    return std::chrono::milliseconds(static_cast<long long>(std::llround(seconds * 1000.0)));
}
