// A user's handle on a shared vector font: the load mode, the kind of character codes it hands
// to the font, and shared ownership of the font object (fonts are opened once per path).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "font/VectorFont.h"

class FontHandle {
public:
    FontHandle() = default;
    // Opens path at once (see open).
    FontHandle(std::string_view path, int loadMode, int codeKind);
    // Copies share the font (its reference count grows).
    FontHandle(const FontHandle&) = default;
    FontHandle& operator=(const FontHandle&) = default;
    FontHandle(FontHandle&&) noexcept = default;
    FontHandle& operator=(FontHandle&&) noexcept = default;
    ~FontHandle() = default;

    // Lets go of any font held, then opens the font at path: the first directory of QFONT_PATH
    // (";"-separated) that holds the file wins, else the path is used as given. A font already
    // open on that path is shared; otherwise a split font when path + ".vf1" is readable, else a
    // ".vec" font. Returns the font's flags, or -1 when it cannot be opened (no font then).
    int open(std::string_view path, int loadMode, int codeKind);
    // Lets go of the font (it closes when no other handle holds it).
    void close();

    bool hasFont() const { return font_ != nullptr; }
    VectorFont* font() const { return font_.get(); }
    int loadMode() const { return loadMode_; }
    int codeKind() const { return codeKind_; }
    void setCodeKind(int kind) { codeKind_ = kind; }

    // Glyph fetching with the handle's code kind; results as VectorFont's (-1 without a font).
    int fetchGlyph(std::uint32_t code, std::uint8_t* dest, std::size_t capacity);
    int fetchGlyphWidth(std::uint32_t code, std::uint8_t* dest, std::size_t capacity, int* width);
    // Fetches the glyph into the process-wide glyph buffer and decodes its points; returns the
    // number of points (0 without glyph, font or points).
    int glyphPoints(std::uint32_t code, std::vector<GlyphPoint>& points);

    // The path given to the last open after the QFONT_PATH search.
    const std::string& resolvedPath() const { return path_; }

    // The path under which open looks for a font: the first QFONT_PATH directory joined with
    // path that holds a file, else path itself.
    static std::string searchFontPath(std::string_view path);

private:
    std::shared_ptr<VectorFont> font_;
    std::string path_;
    int loadMode_ = kLoadWhole;
    int codeKind_ = kCodeJis;
};
