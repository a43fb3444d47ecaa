#include "db/LexGrid.h"

#include "base/ErrorRecord.h"
#include "db/LexReadContext.h"
#include "db/TokenFile.h"

LexGrid::LexGrid() = default;

LexGrid::~LexGrid() = default;

LexGrid::LexGrid(const LexGrid& other)
    : LexObject(other),
      flags_(other.flags_),
      pitchX_(other.pitchX_),
      pitchY_(other.pitchY_),
      value1_(other.value1_),
      value2_(other.value2_) {}

std::unique_ptr<LexObject> LexGrid::clone() const {
    return std::unique_ptr<LexObject>(new LexGrid(*this));
}

void LexGrid::setColor(int color) {
    flags_ = (flags_ & ~(0xFFu << 16)) | ((static_cast<std::uint32_t>(color) & 0xFFu) << 16);
}

void LexGrid::setHighByte(int value) {
    flags_ = (flags_ & 0x00FFFFFFu) | ((static_cast<std::uint32_t>(value) & 0xFFu) << 24);
}

void LexGrid::setPitch(std::int32_t x, std::int32_t y) {
    pitchX_ = x;
    pitchY_ = y;
}

void LexGrid::setValues(int v1, int v2) {
    value1_ = static_cast<std::uint16_t>(v1 & 0xFFFF);
    value2_ = static_cast<std::uint16_t>(v2 & 0xFFFF);
}

int LexGrid::write(TokenFile& file) {
    writeRecordHead(file);
    file.writeUnsigned(flags_ & 1u).space().writeUnsigned((flags_ >> 1) & 1u).space();
    file.writeUnsigned((flags_ >> 16) & 0xFFu).space().writeUnsigned((flags_ >> 2) & 0x3FFFu);
    file.space().writeUnsigned(flags_ >> 24).endLine();
    file.writeLong(pitchX_).space().writeLong(pitchY_).space().writeUnsigned(value1_).space();
    file.writeUnsigned(value2_).endLine();
    file.writeString("}").endLine();
    return 1;
}

std::uint32_t LexGrid::read(TokenFile& file, LexReadContext& context) {
    std::uint32_t id = readRecordHead(file, context);
    if (id == 0) return 0;
    std::uint32_t visible = 0, second = 0, color = 0, ignored = 0, high = 0, v1 = 0, v2 = 0;
    std::int32_t px = 0, py = 0;
    if (!file.readUnsigned(visible) || !file.readUnsigned(second) || !file.readUnsigned(color) ||
        !file.readUnsigned(ignored) || !file.readUnsigned(high) || !file.readLong(px) ||
        !file.readLong(py) || !file.readUnsigned16(v1) || !file.readUnsigned16(v2)) {
        recordError(kLexErrorFormat, kSeverityFormat);
        return 0;
    }
    flags_ = (visible != 0 ? 1u : 0u) | (second != 0 ? 2u : 0u);
    setColor(static_cast<int>(color));
    setHighByte(static_cast<int>(high));
    pitchX_ = px;
    pitchY_ = py;
    value1_ = static_cast<std::uint16_t>(v1);
    value2_ = static_cast<std::uint16_t>(v2);
    if (!lexExpectToken(file, "}")) return 0;
    return id;
}
