#include "db/LexText.h"

#include <algorithm>
#include <cmath>

#include "base/ErrorRecord.h"
#include "db/LexReadContext.h"
#include "db/LexRecordIo.h"
#include "db/TokenFile.h"

namespace {

// A text-table length times the scale, rounded; false when it leaves the range.
bool scaledMetric(std::int32_t length, double scale, std::int32_t& out) {
    return tryRoundHalfAway(static_cast<double>(length) * scale, out);
}

}  // namespace

LexText::LexText() {
    attr_ = 1u;
    text_.width = 10;
    text_.height = 10;
    updateBox();
}

LexText::LexText(const QsPoint& position, std::string_view string, int font) : LexText() {
    text_.position = position;
    text_.setString(string);
    lexFieldSet(attr_, attr_, kFont, font);
    updateBox();
}

LexText::LexText(const QsPoint& position, std::string_view string, int font, int colour,
                 int justification, int path, double angle) {
    attr_ = 1u;
    text_.width = 10;
    text_.height = 10;
    text_.position = position;
    text_.setString(string);
    lexFieldSet(attr_, attr_, kFont, font);
    setColor(colour);
    text_.justification = static_cast<std::uint8_t>(justification & 0x0F);
    text_.path = path == 1 ? kTextPathReverse : 0;
    if (std::isfinite(angle)) text_.rotate(position, angle);

    QsText measured;
    std::int32_t w = 0, h = 0;
    QsBox plain, box;
    if (!measuredGeometry(measured)) {
        boxInRange_ = false;
    } else if (!measured.hasString()) {
        box = QsBox(text_.position, text_.position);
        boxInRange_ = true;
    } else if (!measured.extent(w, h)) {
        boxInRange_ = false;
    } else {
        boxInRange_ = measured.boxOf(w, h, box) != 0;
        measured.position = position;
        measured.justification = 0;
        measured.path = 0;
        measured.angle = 0.0;
        boxInRange_ = boxInRange_ && measured.boxOf(w, h, plain) != 0;
    }
    box_ = boxInRange_ ? box : QsBox(text_.position, text_.position);
}

LexText::~LexText() = default;

bool LexText::attach(const LexEnvironment*) {
    updateBox();
    return true;
}

LexText::LexText(const LexText& other)
    : LexPropertyOwner(other),
      text_(other.text_),
      scale_(other.scale_),
      boxInRange_(other.boxInRange_) {}

std::unique_ptr<LexObject> LexText::clone() const {
    return std::unique_ptr<LexObject>(new LexText(*this));
}

void LexText::setString(std::string_view s) {
    text_.setString(s);
    updateBox();
}

void LexText::setJustification(int code) {
    text_.justification = static_cast<std::uint8_t>(code & 0x0F);
    updateBox();
}

void LexText::setPath(int path) {
    text_.path = path == 1 ? kTextPathReverse : 0;
    updateBox();
}

void LexText::setFont(int v) {
    lexFieldSet(attr_, attr_, kFont, v);
    updateBox();
}

int LexText::rotate(const QsPoint& centre, double a) {
    if (!std::isfinite(a)) return 0;
    int ok = text_.rotate(centre, a);
    updateBox();
    return ok;
}

int LexText::scaleBy(const QsPoint& centre, double f) {
    double scale = scale_ * f;
    if (!std::isfinite(f) || !std::isfinite(scale)) return 0;
    QsPoint p;
    QsDPoint offset = QsDPoint(text_.position) - QsDPoint(centre);
    if (!(QsDPoint(centre) + offset * f).tryRounded(p)) return 0;
    text_.position = p;
    scale_ = scale;
    updateBox();
    return 1;
}

bool LexText::measuredGeometry(QsText& measured) const {
    measured = text_;
    TextTableEntry row{10, 10, 10, 10};
    const LexEnvironment* env = environment();
    int index = font();
    if (env != nullptr && env->textEntryDefined(index)) row = env->textEntry(index);
    bool ok = scaledMetric(row.charWidth, scale_, measured.width) &&
              scaledMetric(row.charHeight, scale_, measured.height) &&
              scaledMetric(row.charGap, scale_, measured.spacing) &&
              scaledMetric(row.lineGap, scale_, measured.lineSpacing);
    measured.penWidth = 0;
    measured.frame = 0;
    measured.mirror = 0;
    measured.fontNumber = 1;
    return ok;
}

void LexText::updateBox() {
    QsText measured;
    const bool ok = measuredGeometry(measured);
    QsBox box;
    boxInRange_ = ok && measured.getBox(box) != 0;
    box_ = boxInRange_ ? box : QsBox(text_.position, text_.position);
}

int LexText::move(const QsPoint& delta) {
    std::int64_t dx = delta.x;
    std::int64_t dy = delta.y;
    for (std::int64_t v : {box_.x1 + dx, box_.x2 + dx, box_.y1 + dy, box_.y2 + dy,
                           text_.position.x + dx, text_.position.y + dy}) {
        if (!fitsInt32(v)) return 0;
    }
    text_.position = QsPoint(static_cast<std::int32_t>(text_.position.x + dx),
                             static_cast<std::int32_t>(text_.position.y + dy));
    updateBox();
    return 1;
}

LexTextFields LexText::fields() const {
    return LexTextFields{text_.position,      text_.angle, scale_,
                         text_.justification, text_.path,  text_.stringView()};
}

void LexText::setFields(const LexTextFields& fields) {
    text_.position = fields.position;
    text_.angle = fields.angle;
    text_.justification = fields.justification;
    text_.path = fields.path;
    scale_ = fields.scale;
    text_.setString(fields.string);
    updateBox();
}

void LexText::writeRecordBody(TokenFile& file, std::uint32_t attr, const LexTextFields& fields) {
    file.writeUnsigned(attr & 1u).space().writeSigned(lexFieldRaw(attr, attr, kFont)).space();
    file.writeSigned(lexFieldRaw(attr, attr, kColor)).endLine();
    file.writeLong(fields.position.x).space().writeLong(fields.position.y).space();
    file.writeDouble(fields.angle).space().writeDouble(fields.scale).space();
    file.writeUnsigned(fields.justification).space().writeUnsigned(fields.path).endLine();
    const std::string_view s = fields.string;
    const auto lines =
        s.empty() ? 0u : 1u + static_cast<std::uint32_t>(std::count(s.begin(), s.end(), '\n'));
    file.writeUnsigned(lines).endLine();
    if (lines != 0) file.writeString(s).endLine();
}

int LexText::write(TokenFile& file) {
    writeRecordHead(file);
    writeRecordBody(file, attr_, fields());
    return writeOptionalListsAndClose(file, properties_, boxes_);
}

bool LexText::readRecordBody(TokenFile& file, Body& body) {
    std::uint32_t visible = 0, justification = 0, path = 0, lines = 0;
    std::int32_t font = 0, color = 0, x = 0, y = 0;
    double angle = 0.0, scale = 1.0;
    if (!file.readUnsigned(visible) || !file.readSigned(font) || !file.readSigned(color) ||
        !file.readLong(x) || !file.readLong(y) || !file.readDouble(angle) ||
        !file.readDouble(scale) || !file.readUnsigned(justification) || !file.readUnsigned(path) ||
        !file.readUnsigned(lines) || !file.skipRestOfLine() ||
        !file.readLines(lines, body.string)) {
        recordError(kLexErrorFormat, kSeverityFormat);
        return false;
    }
    body.attr = visible != 0 ? 1u : 0u;
    lexFieldSet(body.attr, body.attr, kFont, font);
    lexFieldSet(body.attr, body.attr, kColor, color);
    body.fields = LexTextFields{QsPoint(x, y),
                                angle,
                                scale,
                                static_cast<std::uint8_t>(justification & 0xFF),
                                static_cast<std::uint8_t>(path & 0xFF),
                                body.string};
    return true;
}

long LexText::Body::packInto(LexPackedObjects& packed, std::uint32_t id) const {
    return packed.addText(attr, id, fields);
}

void LexText::setBody(Body&& body) {
    attr_ = body.attr;
    setFields(body.fields);
}

std::uint32_t LexText::read(TokenFile& file, LexReadContext& context) {
    std::uint32_t id = readRecordHead(file, context);
    Body body;
    if (id == 0 || !readRecordBody(file, body)) return 0;
    setBody(std::move(body));
    if (!readOptionalListsAndClose(file, context, properties_, boxes_)) return 0;
    return id;
}
