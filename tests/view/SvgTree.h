// A small reader of the SVG the preview writes, for tests that look at its structure: elements
// with their attributes and children, attributes inherited from the ancestors, and the numbers
// of a path's data.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace svgtest {

struct Element {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::vector<std::unique_ptr<Element>> children;
    std::string text;  // character data directly inside (titles)
    const Element* parent = nullptr;

    // The attribute, or empty.
    std::string attr(const std::string& key) const;
    // The attribute of this element or of its nearest ancestor that has it (how SVG inherits
    // presentation attributes), or empty.
    std::string inherited(const std::string& key) const;
    // Every element below this one (depth first) with the name.
    std::vector<const Element*> all(std::string_view name) const;
};

// Parses one document (or the first <svg> element in a page); null with a message in error when
// the text is not well formed.
std::unique_ptr<Element> parse(std::string_view text, std::string* error = nullptr);

// The <svg> element with the id in a page, parsed; null when there is none.
std::unique_ptr<Element> svgById(std::string_view page, std::string_view id);

// The points of a path's data (every coordinate pair after M and L, the end point of A), with y
// turned back to database orientation.
struct Point {
    double x;
    double y;
};
std::vector<Point> pathPoints(std::string_view d);

// The bounding box of points: x1, y1, x2, y2.
std::array<double, 4> boundsOf(const std::vector<Point>& points);

}  // namespace svgtest
