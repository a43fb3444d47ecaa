#include "db/LexPropBox.h"

#include "base/ErrorRecord.h"
#include "db/LexProperty.h"
#include "db/LexReadContext.h"
#include "db/TokenFile.h"

LexPropBox::LexPropBox() {
    attr_ = 1u;
    text_.width = 10;
    text_.height = 10;
    updateBox();
}

LexPropBox::~LexPropBox() = default;

LexPropBox::LexPropBox(const LexPropBox& other)
    : LexSheetObject(other),
      property_(other.property_),
      propertyId_(other.propertyId_),
      scale_(other.scale_),
      string_(other.string_),
      text_(other.text_) {}

std::unique_ptr<LexObject> LexPropBox::clone() const {
    return std::unique_ptr<LexObject>(new LexPropBox(*this));
}

void LexPropBox::setProperty(LexProperty* property) {
    property_ = property;
    propertyId_ = 0;
}

void LexPropBox::updateBox() {
    box_ = QsBox(text_.position, text_.position);
}

int LexPropBox::move(const QsPoint& delta) {
    std::int64_t x = static_cast<std::int64_t>(text_.position.x) + delta.x;
    std::int64_t y = static_cast<std::int64_t>(text_.position.y) + delta.y;
    if (!fitsInt32(x) || !fitsInt32(y)) return 0;
    text_.position = QsPoint(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
    updateBox();
    return 1;
}

int LexPropBox::write(TokenFile& file) {
    writeRecordHead(file);
    std::uint32_t shown = propertyId_;
    if (property_ != nullptr) {
        // A property written later than its box gets its identifier now.
        if (property_->fileId() == 0) property_->setFileId(file.takeIdentifier());
        shown = property_->fileId();
    }
    file.writeUnsigned(shown).space();
    file.writeUnsigned((attr_ & kFlag3) != 0 ? 1 : 0).space();
    file.writeUnsigned(attr_ & 1u).space();
    file.writeUnsigned((attr_ & kFlag4) != 0 ? 1 : 0).space();
    file.writeSigned(lexFieldRaw(attr_, attr_, kFont)).space();
    file.writeSigned(lexFieldRaw(attr_, attr_, kColor)).endLine();
    file.writeLong(text_.position.x).space().writeLong(text_.position.y).space();
    file.writeDouble(text_.angle).space().writeDouble(scale_).space();
    file.writeUnsigned(text_.justification).space().writeString("0").endLine();
    if (string_) file.writeString(*string_);
    file.endLine();
    file.writeString("}").endLine();
    return 1;
}

std::uint32_t LexPropBox::read(TokenFile& file, LexReadContext& context) {
    std::uint32_t id = readRecordHead(file, context);
    if (id == 0) return 0;
    std::uint32_t shown = 0, flag3 = 0, visible = 0, flag4 = 0, justification = 0, unused = 0;
    std::int32_t font = 0, color = 0, x = 0, y = 0;
    double angle = 0.0, scale = 1.0;
    std::string line;
    if (!file.readUnsigned(shown) || !file.readUnsigned(flag3) || !file.readUnsigned(visible) ||
        !file.readUnsigned(flag4) || !file.readSigned(font) || !file.readSigned(color) ||
        !file.readLong(x) || !file.readLong(y) || !file.readDouble(angle) ||
        !file.readDouble(scale) || !file.readUnsigned(justification) ||
        !file.readUnsigned(unused) || !file.skipRestOfLine() || !file.readLine(line)) {
        recordError(kLexErrorFormat, kSeverityFormat);
        return 0;
    }
    attr_ = (visible != 0 ? 1u : 0u) | (flag3 != 0 ? kFlag3 : 0u) | (flag4 != 0 ? kFlag4 : 0u);
    setFont(font);
    setColor(color);
    text_.position = QsPoint(x, y);
    text_.angle = angle;
    text_.justification = static_cast<std::uint8_t>(justification & 0xFF);
    scale_ = scale;
    if (line.empty()) {
        string_.reset();
    } else {
        string_ = std::move(line);
    }
    property_ = nullptr;
    propertyId_ = 0;
    if (shown != 0) {
        LexObject* target = context.find(shown);
        property_ = target != nullptr ? target->asProperty() : nullptr;
        if (property_ == nullptr) {
            propertyId_ = shown;
            context.noteIdentifier(shown);
        }
    }
    if (!lexExpectToken(file, "}")) return 0;
    updateBox();
    return id;
}
