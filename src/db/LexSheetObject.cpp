#include "db/LexSheetObject.h"

int lexFieldRaw(std::uint32_t word, std::uint32_t flags, const LexAttrField& f) {
    if ((flags >> f.defaultBit) & 1u) return -1;
    return static_cast<int>((word >> f.shift) & ((1u << f.bits) - 1u));
}

void lexFieldSet(std::uint32_t& word, std::uint32_t& flags, const LexAttrField& f, int value) {
    std::uint32_t flag = 1u << f.defaultBit;
    if (value < 0) {
        flags |= flag;
        return;
    }
    std::uint32_t mask = ((1u << f.bits) - 1u) << f.shift;
    word = (word & ~mask) | ((static_cast<std::uint32_t>(value) << f.shift) & mask);
    flags &= ~flag;
}

int lexDefaultIndex(const LexEnvironment* env, SettingsDefault key) {
    if (env != nullptr) return env->defaultIndex(key);
    switch (key) {
        case SettingsDefault::CompColor:
            return -1;
        case SettingsDefault::SymbFrameColor:
            return 13;
        default:
            return 0;
    }
}

int lexFieldValue(std::uint32_t word, std::uint32_t flags, const LexAttrField& f,
                  const LexEnvironment* env) {
    int raw = lexFieldRaw(word, flags, f);
    return raw >= 0 ? raw : lexDefaultIndex(env, f.key);
}

LexSheetObject::LexSheetObject(const LexSheetObject& other)
    : LexObject(other), attr_(other.attr_), box_(other.box_) {}

bool LexSheetObject::boxMoveFits(const QsPoint& delta) const {
    return fitsInt32(static_cast<std::int64_t>(box_.x1) + delta.x) &&
           fitsInt32(static_cast<std::int64_t>(box_.x2) + delta.x) &&
           fitsInt32(static_cast<std::int64_t>(box_.y1) + delta.y) &&
           fitsInt32(static_cast<std::int64_t>(box_.y2) + delta.y);
}

int LexSheetObject::move(const QsPoint&) {
    return 1;
}

void LexSheetObject::setVisible(bool visible) {
    attr_ = visible ? (attr_ | 1u) : (attr_ & ~1u);
}

bool LexSheetObject::attach(const LexEnvironment*) {
    // Every geometric change keeps the box current; only classes whose box depends on the
    // settings measure it again here.
    return true;
}
