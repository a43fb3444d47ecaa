#include "db/LexFrame.h"

#include "base/ErrorRecord.h"
#include "db/LexReadContext.h"
#include "db/LexRecordIo.h"
#include "db/TokenFile.h"

LexFrame::LexFrame() {
    attr_ = 1u;
}

LexFrame::~LexFrame() = default;

LexFrame::LexFrame(const LexFrame& other)
    : LexStrokedObject(other),
      kind_(other.kind_),
      frame_(other.frame_),
      value1_(other.value1_),
      value2_(other.value2_) {}

std::unique_ptr<LexObject> LexFrame::clone() const {
    return std::unique_ptr<LexObject>(new LexFrame(*this));
}

void LexFrame::setFrameBox(const QsBox& box) {
    frame_ = box;
    updateBox();
}

void LexFrame::setValues(double v1, double v2) {
    value1_ = v1;
    value2_ = v2;
}

void LexFrame::updateBox() {
    box_ = frame_;
    box_.normalise();
}

int LexFrame::move(const QsPoint& delta) {
    std::int64_t v[4] = {static_cast<std::int64_t>(frame_.x1) + delta.x,
                         static_cast<std::int64_t>(frame_.y1) + delta.y,
                         static_cast<std::int64_t>(frame_.x2) + delta.x,
                         static_cast<std::int64_t>(frame_.y2) + delta.y};
    for (std::int64_t c : v) {
        if (!fitsInt32(c)) return 0;
    }
    frame_.x1 = static_cast<std::int32_t>(v[0]);
    frame_.y1 = static_cast<std::int32_t>(v[1]);
    frame_.x2 = static_cast<std::int32_t>(v[2]);
    frame_.y2 = static_cast<std::int32_t>(v[3]);
    updateBox();
    return 1;
}

int LexFrame::write(TokenFile& file) {
    writeRecordHead(file);
    writeStrokeLine(file, attr_);
    file.writeSigned(kind_).space();
    file.writeLong(frame_.x1).space().writeLong(frame_.y1).space();
    file.writeLong(frame_.x2).space().writeLong(frame_.y2).space();
    file.writeDouble(value1_).space().writeDouble(value2_).space();
    file.writeSigned((attr_ & kFlag) != 0 ? 1 : 0).endLine();
    if (!writePropertyLists(file, properties_, boxes_)) return 0;
    file.writeString("}").endLine();
    return 1;
}

std::uint32_t LexFrame::read(TokenFile& file, LexReadContext& context) {
    std::uint32_t id = readRecordHead(file, context);
    if (id == 0 || !readStrokeLine(file)) return 0;
    std::int32_t kind = 0, x1 = 0, y1 = 0, x2 = 0, y2 = 0, flag = 0;
    double v1 = 0.0, v2 = 0.0;
    if (!file.readSigned(kind) || !file.readLong(x1) || !file.readLong(y1) || !file.readLong(x2) ||
        !file.readLong(y2) || !file.readDouble(v1) || !file.readDouble(v2) ||
        !file.readSigned(flag)) {
        recordError(kLexErrorFormat, kSeverityFormat);
        return 0;
    }
    if (flag != 0) attr_ |= kFlag;
    kind_ = kind;
    frame_.x1 = x1;
    frame_.y1 = y1;
    frame_.x2 = x2;
    frame_.y2 = y2;
    value1_ = v1;
    value2_ = v2;
    if (!readPropertyLists(file, context, properties_, boxes_)) return 0;
    if (!lexExpectToken(file, "}")) return 0;
    updateBox();
    return id;
}
