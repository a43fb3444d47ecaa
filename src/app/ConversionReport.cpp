#include "app/ConversionReport.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "base/PathUtil.h"
#include "base/PlatformFile.h"
#include "base/StringUtil.h"

namespace {

// Builds an indented JSON text member by member; the caller keeps objects and arrays balanced.
class JsonWriter {
public:
    void open(char bracket) {
        out_ += bracket;
        first_.push_back(true);
    }
    void close(char bracket) {
        const bool empty = first_.back();
        first_.pop_back();
        if (!empty) newline();
        out_ += bracket;
    }
    // Starts an array element or, with a key, an object member.
    void next(std::string_view key = {}) {
        if (!first_.back()) out_ += ',';
        first_.back() = false;
        newline();
        if (!key.empty()) out_ += jsonString(key) + ": ";
    }
    void raw(std::string_view text) { out_ += text; }
    void member(std::string_view key, std::int64_t value) {
        next(key);
        out_ += std::to_string(value);
    }
    void member(std::string_view key, std::string_view text) {
        next(key);
        out_ += jsonString(text);
    }
    std::string take() { return std::move(out_) + "\n"; }

private:
    void newline() {
        out_ += '\n';
        out_.append(first_.size() * 2, ' ');
    }

    std::string out_;
    std::vector<bool> first_;
};

// Thousandths as a decimal number of millimetres.
std::string millimetres(std::int64_t units) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld.%03lld", units < 0 ? "-" : "",
                  static_cast<long long>((units < 0 ? -units : units) / 1000),
                  static_cast<long long>((units < 0 ? -units : units) % 1000));
    return text;
}

// The box's sides and size, in database units or millimetres.
void writeBox(JsonWriter& json, std::string_view key, const QsBox& box, bool inMillimetres) {
    const std::int64_t values[] = {box.x1,
                                   box.y1,
                                   box.x2,
                                   box.y2,
                                   std::int64_t{box.x2} - box.x1,
                                   std::int64_t{box.y2} - box.y1};
    const char* names[] = {"xmin", "ymin", "xmax", "ymax", "width", "height"};
    json.next(key);
    json.open('{');
    for (int i = 0; i < 6; ++i) {
        json.next(names[i]);
        json.raw(inMillimetres ? millimetres(values[i]) : std::to_string(values[i]));
    }
    json.close('}');
}

void writeStatements(JsonWriter& json, const StatementCounts& counts) {
    json.next("statements");
    json.open('{');
    json.member("total", counts.total());
    // In alphabetical order, as a reader looks for them.
    std::vector<std::pair<std::string_view, std::int64_t>> read;
    for (int i = 0; i < kHpglCommandCount; ++i) {
        if (counts.perCommand[static_cast<size_t>(i)] != 0)
            read.emplace_back(hpglCommandMnemonic(i), counts.perCommand[static_cast<size_t>(i)]);
    }
    for (int i = 0; i < kHpglScalingCommandCount; ++i) {
        if (const std::int64_t n = counts.perScalingCommand[static_cast<size_t>(i)]; n != 0)
            read.emplace_back(hpglScalingCommandMnemonic(i), n);
    }
    std::sort(read.begin(), read.end());
    json.next("byMnemonic");
    json.open('{');
    for (const auto& [mnemonic, n] : read)
        json.member(mnemonic, n);
    json.close('}');
    json.close('}');

    json.next("ignored");
    json.open('{');
    json.member("total", counts.ignored);
    json.next("byMnemonic");
    json.open('{');
    std::int64_t unknown = 0;
    for (int slot = 0; slot < 26 * 26; ++slot) {
        const std::int64_t n = counts.unknown[static_cast<size_t>(slot)];
        if (n == 0) continue;
        const char mnemonic[2] = {static_cast<char>('A' + slot / 26),
                                  static_cast<char>('A' + slot % 26)};
        json.member(std::string_view(mnemonic, 2), n);
        unknown += n;
    }
    json.close('}');
    json.member("escapeSequences", counts.escapes);
    json.member("leadingParameters", counts.ignored - unknown - counts.escapes);
    json.close('}');
}

void writeFailures(JsonWriter& json, const ConversionTally& tally) {
    json.next("failures");
    json.open('[');
    for (const auto& [key, count] : tally.failures) {
        json.next();
        json.open('{');
        json.member("mnemonic", key.first);
        json.member("code", key.second);
        json.member("count", count);
        json.close('}');
    }
    json.close(']');
}

void writeNotConverted(JsonWriter& json, const ConversionTally& tally) {
    json.next("notConverted");
    json.open('{');
    json.member("tooManyPoints", tally.tooLongStrokes());
    json.member("outOfRange", tally.figuresWith(FigureOutcome::kOutOfRange));
    json.member("notAdded", tally.figuresWith(FigureOutcome::kNotAdded));
    json.member("empty", tally.figuresWith(FigureOutcome::kEmpty));
    json.close('}');
}

std::int64_t objectTotal(const ConversionTally& tally) {
    std::int64_t total = 0;
    for (std::int64_t n : tally.objects)
        total += n;
    return total;
}

void writeWarnings(JsonWriter& json, const ConversionTally& tally) {
    json.next("warnings");
    json.open('[');
    auto warn = [&](std::string_view code, const std::string& text) {
        json.next();
        json.open('{');
        json.member("code", code);
        json.member("text", text);
        json.close('}');
    };
    if (const auto& box = tally.extent) {
        const std::int64_t width = std::int64_t{box->x2} - box->x1;
        const std::int64_t height = std::int64_t{box->y2} - box->y1;
        if (width > kLargeDrawingUnits || height > kLargeDrawingUnits)
            warn("largeDrawing", "the drawing is " + millimetres(width) + " mm wide and " +
                                     millimetres(height) +
                                     " mm high, more than 2 m across: look for strokes or labels "
                                     "far from the rest");
    }
    if (objectTotal(tally) == 0) warn("nothingConverted", "no object was made from the plot");
    if (tally.fitWithoutExtent)
        warn("fitWithoutExtent",
             "a fit was asked for, but the plot draws nothing with an extent: it was converted at "
             "its scale");
    json.close(']');
}

}  // namespace

std::string jsonString(std::string_view bytes) {
    std::string out = "\"";
    for (std::size_t p = 0; p < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[p]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else if (const std::size_t n = utf8SequenceLength(bytes.substr(p)); n != 0) {
            out.append(bytes.substr(p, n));
            p += n;
            continue;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        }
        ++p;
    }
    return out + '"';
}

std::string conversionReportJson(const ReportFacts& facts) {
    const ConversionTally& tally = facts.tally;
    JsonWriter json;
    json.open('{');
    json.member("report", 1);
    json.next("input");
    json.open('{');
    json.member("path", facts.input);
    json.next("bytes");
    json.raw(facts.inputBytes ? std::to_string(*facts.inputBytes) : "null");
    json.close('}');
    json.next("output");
    json.open('{');
    json.member("path", facts.output);
    json.member("kind", facts.sheet ? "sheet" : "symbol");
    json.close('}');
    json.member("exitCode", facts.exitCode);
    writeStatements(json, tally.statements);
    writeFailures(json, tally);
    writeNotConverted(json, tally);

    json.next("objects");
    json.open('{');
    json.member("polylines", tally.objectsOf(ObjectKind::kPolyline));
    json.member("polygons", tally.objectsOf(ObjectKind::kPolygon));
    json.member("texts", tally.objectsOf(ObjectKind::kText));
    json.member("total", objectTotal(tally));
    json.close('}');

    json.next("extent");
    if (tally.extent) {
        json.open('{');
        writeBox(json, "units", *tally.extent, false);
        writeBox(json, "millimetres", *tally.extent, true);
        json.close('}');
    } else {
        json.raw("null");
    }
    writeWarnings(json, tally);
    json.close('}');
    return json.take();
}

std::string writeReportFile(const std::string& path, std::string_view text,
                            const ProtectedFiles& protectedFiles) {
    // The same file under another name (a link, "./") is found by its device and inode; an
    // output that was not saved by its absolute name.
    platform::FileStatus report;
    const bool exists = platform::fileStatus(path, true, report) == 0;
    const std::string absolute = makeAbsolutePath(path);
    for (const std::string* other :
         {&protectedFiles.input, &protectedFiles.output, &protectedFiles.penMap}) {
        if (other->empty()) continue;
        platform::FileStatus status;
        const bool same = exists && platform::fileStatus(*other, true, status) == 0 &&
                          status.device == report.device && status.inode == report.inode;
        if (same || makeAbsolutePath(*other) == absolute)
            return "it is the plot, the output or the pen map";
    }
    int error = 0;
    platform::File file = platform::openFile(path, platform::OpenMode::Write, 0, error);
    if (!file.isOpen()) return platform::systemErrorText(error);
    platform::FileStatus written;
    const bool regular = file.status(written) == 0 && written.kind == platform::FileKind::Regular;
    if (file.write(text.data(), text.size()) && file.close()) return "";
    // Half a report is worse than none; a device or pipe is left alone.
    error = file.error();
    if (regular) platform::removeFile(path);
    return platform::systemErrorText(error);
}
