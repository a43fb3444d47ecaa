// Drawing a text with the stroke fonts: every glyph stroke becomes a polyline of plain vertices
// in database units, placed, mirrored and rotated as the text's outline is.
#pragma once

#include <vector>

class FontHandle;
class QsPolyline;
class QsText;

// Appends one polyline per glyph stroke of text to out, each vertex of the text's pen width.
// Single-byte characters use the glyphs of the text's font number, two-byte characters those of
// its wide font number; a number that gives no font falls back to defaultFont (when given), and
// characters without any font are left out (they still take their place). Lines run downwards
// from the top line; the text fills the box that its outline is made from. Returns 1, or 0
// (out untouched) when a stroke would leave the 32-bit range or memory runs out.
int drawText(const QsText& text, std::vector<QsPolyline>& out, FontHandle* defaultFont = nullptr);
