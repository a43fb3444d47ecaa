#include "geom/QsPolyline.h"

#include <new>

#include "base/ErrorRecord.h"

std::unique_ptr<QsFigure> QsPolyline::clone() const {
    try {
        return std::make_unique<QsPolyline>(*this);
    } catch (const std::bad_alloc&) {
        recordError(kGeomAllocError, kSeverityError);
        return nullptr;
    }
}

void QsPolyline::setFirstAttribute(int v) {
    attributes_ =
        static_cast<uint16_t>((attributes_ & ~0x000Fu) | (static_cast<unsigned>(v) & 0x0Fu));
}

void QsPolyline::setSecondAttribute(int v) {
    attributes_ =
        static_cast<uint16_t>((attributes_ & ~0x00F0u) | ((static_cast<unsigned>(v) & 0x0Fu) << 4));
}

void QsPolyline::setWord(int i, int32_t v) {
    if (i < 0 || i >= 3) {
        recordError(kGeomIndexError, kSeverityMinor);
        return;
    }
    words_[static_cast<size_t>(i)] = v;
}
