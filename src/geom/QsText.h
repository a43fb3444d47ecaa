// A text figure (type code 7): text geometry plus the two system font numbers and the string,
// whose line feeds separate lines. The HP-GL labels produce these; the database stores them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "geom/QsTextBase.h"

class QsText : public QsTextBase {
public:
    std::uint16_t fontNumber = 1;        // system font for single-byte characters
    std::uint16_t wideFontNumber = 100;  // system font for double-byte characters

    QsText() = default;
    // Angle, mirror and flags start at 0.
    QsText(const QsPoint& position, std::string_view string, std::int32_t width,
           std::int32_t height, std::int32_t spacing, std::int32_t penWidth,
           std::uint8_t justification, std::uint8_t path, std::int32_t lineSpacing,
           std::uint8_t frame, std::int32_t m1, std::int32_t m2, std::uint16_t fontNumber,
           std::uint16_t wideFontNumber);
    QsText(const QsText&) = default;
    QsText& operator=(const QsText&) = default;
    QsText(QsText&&) noexcept = default;
    QsText& operator=(QsText&&) noexcept = default;

    std::unique_ptr<QsFigure> clone() const override;

    // The string, or null when the text has none (an empty string is held as none).
    const char* string() const { return string_.empty() ? nullptr : string_.c_str(); }
    std::string_view stringView() const { return string_; }
    // Replaces the string; 0 and code 772 when it cannot be stored (the text then has none).
    int setString(std::string_view s);
    bool hasString() const override { return !string_.empty(); }

    // 0 without a string, else 1 plus the number of line feeds.
    int lineCount() const;
    // The largest number of bytes between line feeds.
    int longestLine() const;
    // The number of bytes of the string.
    int length() const { return static_cast<int>(string_.size()); }

    // Measured with width, height, spacing, lineSpacing and fontNumber by the installed text
    // metrics (geom/TextMetrics.h; the fixed pitch when none are installed or the font is
    // missing); 0 x 0 without a string.
    int extent(std::int32_t& w, std::int32_t& h) const override;

private:
    std::string string_;
};
