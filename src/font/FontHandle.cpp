#include "font/FontHandle.h"

#include <new>

#include "base/PathUtil.h"
#include "base/SysEnv.h"
#include "font/SplitVectorFont.h"

FontHandle::FontHandle(std::string_view path, int loadMode, int codeKind) {
    open(path, loadMode, codeKind);
}

std::string FontHandle::searchFontPath(std::string_view path) {
    const char* value = getSysEnv("QFONT_PATH");
    if (value) {
        std::string_view dirs(value);
        while (!dirs.empty()) {
            std::size_t cut = dirs.find(';');
            std::string_view dir = dirs.substr(0, cut);
            dirs = cut == std::string_view::npos ? std::string_view() : dirs.substr(cut + 1);
            if (dir.empty()) continue;
            std::string candidate = pathJoin(dir, path);
            if (pathKind(candidate) >= 2 || pathKind(candidate + ".vf1") >= 2) return candidate;
        }
    }
    return std::string(path);
}

int FontHandle::open(std::string_view path, int loadMode, int codeKind) {
    close();
    loadMode_ = loadMode == kLoadOnDemand ? kLoadOnDemand : kLoadWhole;
    codeKind_ = codeKind;
    try {
        path_ = searchFontPath(path);
        std::shared_ptr<VectorFont> font = findOpenFont(path_);
        if (!font) {
            if (testAccess(path_ + ".vf1", kAccessRead))
                font = std::make_shared<SplitVectorFont>();
            else
                font = std::make_shared<VectorFont>();
            if (font->open(path_, loadMode_) < 0) return -1;
            addOpenFont(font);
        }
        font_ = std::move(font);
    } catch (const std::bad_alloc&) {
        font_.reset();
        return -1;
    }
    return static_cast<int>(font_->flags() & 0x7FFFFFFFu);
}

void FontHandle::close() {
    font_.reset();
}

int FontHandle::fetchGlyph(std::uint32_t code, std::uint8_t* dest, std::size_t capacity) {
    if (!font_) return -1;
    return font_->fetchGlyph(code, codeKind_, dest, capacity);
}

int FontHandle::fetchGlyphWidth(std::uint32_t code, std::uint8_t* dest, std::size_t capacity,
                                int* width) {
    if (width) *width = 0;
    if (!font_) return -1;
    return font_->fetchGlyphWidth(code, codeKind_, dest, capacity, width);
}

int FontHandle::glyphPoints(std::uint32_t code, std::vector<GlyphPoint>& points) {
    points.clear();
    if (!font_) return 0;
    std::uint8_t* buffer = glyphBuffer();
    int units = font_->fetchGlyph(code, codeKind_, buffer, kGlyphBufferSize);
    if (units <= 0) return 0;
    font_->decodeGlyph(buffer, units, points);
    return static_cast<int>(points.size());
}
