#include "geom/QsText.h"

#include <algorithm>
#include <new>

#include "base/ErrorRecord.h"
#include "geom/TextMetrics.h"

QsText::QsText(const QsPoint& pos, std::string_view string, std::int32_t w, std::int32_t h,
               std::int32_t s, std::int32_t pen, std::uint8_t just, std::uint8_t textPath,
               std::int32_t lineGap, std::uint8_t frameBits, std::int32_t m1, std::int32_t m2,
               std::uint16_t font, std::uint16_t wideFont)
    : fontNumber(font), wideFontNumber(wideFont) {
    position = pos;
    width = w;
    height = h;
    spacing = s;
    penWidth = pen;
    justification = just;
    path = textPath;
    lineSpacing = lineGap;
    frame = frameBits;
    frameMargin1 = m1;
    frameMargin2 = m2;
    setString(string);
}

std::unique_ptr<QsFigure> QsText::clone() const {
    try {
        return std::make_unique<QsText>(*this);
    } catch (const std::bad_alloc&) {
        recordError(kGeomAllocError, kSeverityError);
        return nullptr;
    }
}

int QsText::setString(std::string_view s) {
    try {
        string_.assign(s);
    } catch (const std::bad_alloc&) {
        string_.clear();
        recordError(kGeomAllocError, kSeverityError);
        return 0;
    }
    return 1;
}

int QsText::lineCount() const {
    if (string_.empty()) return 0;
    return 1 + static_cast<int>(std::count(string_.begin(), string_.end(), '\n'));
}

int QsText::longestLine() const {
    std::size_t longest = 0;
    std::size_t start = 0;
    while (start <= string_.size()) {
        std::size_t end = string_.find('\n', start);
        if (end == std::string::npos) end = string_.size();
        longest = std::max(longest, end - start);
        start = end + 1;
    }
    return static_cast<int>(longest);
}

int QsText::extent(std::int32_t& w, std::int32_t& h) const {
    if (string_.empty()) {
        w = 0;
        h = 0;
        return 1;
    }
    const TextExtent e =
        textMetrics().measure(width, height, spacing, lineSpacing, unsigned{fontNumber}, string_);
    w = clampToInt32(e.width);
    h = clampToInt32(e.height);
    return fitsInt32(e.width) && fitsInt32(e.height) ? 1 : 0;
}
