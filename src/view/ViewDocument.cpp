#include "view/ViewDocument.h"

#include <algorithm>
#include <cmath>

namespace {

// Width and height of the picture of a box whose larger side is size pixels long.
std::array<long, 2> pixelsOf(const ViewBox& box, int size) {
    const double larger = static_cast<double>(std::max(box.width, box.height));
    auto side = [&](std::int64_t v) {
        return std::max(1L, std::lround(size * static_cast<double>(v) / larger));
    };
    return {side(box.width), side(box.height)};
}

constexpr std::int64_t kUnitsPerMm = 1000;

}  // namespace

ViewBox viewBoxAround(const Extent& extent) {
    if (extent.empty())
        return {-5 * kUnitsPerMm, -5 * kUnitsPerMm, 10 * kUnitsPerMm, 10 * kUnitsPerMm};
    const std::int64_t larger = std::max(extent.width(), extent.height());
    if (larger == 0)
        return {extent.xmin - 5 * kUnitsPerMm, -extent.ymax - 5 * kUnitsPerMm, 10 * kUnitsPerMm,
                10 * kUnitsPerMm};
    const std::int64_t margin = std::max<std::int64_t>(larger / 50, 1);
    // SVG y runs downwards: the top of the picture is the largest database y.
    return {extent.xmin - margin, -extent.ymax - margin, extent.width() + 2 * margin,
            extent.height() + 2 * margin};
}

double hairlineOf(const ViewBox& box) {
    return std::max(1.0, static_cast<double>(std::max(box.width, box.height)) / 1000.0);
}

void appendSvg(std::string& out, SvgCanvas& canvas, const ViewBox& box, Rgb background,
               int pixelSize, std::string_view attributes) {
    const std::array<long, 2> pixels = pixelsOf(box, pixelSize);
    const double hairline = hairlineOf(box);
    const std::string view = std::to_string(box.x) + ' ' + std::to_string(box.y) + ' ' +
                             std::to_string(box.width) + ' ' + std::to_string(box.height);
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\"";
    if (!attributes.empty()) {
        out += ' ';
        out += attributes;
    }
    out += " width=\"" + std::to_string(pixels[0]) + "\" height=\"" + std::to_string(pixels[1]);
    // The exact shape of the box: the rounded pixel size alone would leave slivers beside a
    // picture scaled to a page's width.
    out += "\" viewBox=\"" + view + "\" style=\"aspect-ratio:" + std::to_string(box.width) + "/" +
           std::to_string(box.height) + "\"";
    // What every element inherits: no fill unless its paint has one, round pen ends, even-odd
    // filling (holes stay empty), and the hairline as the width of lines of width 0.
    out +=
        " fill=\"none\" fill-rule=\"evenodd\" stroke-linecap=\"round\""
        " stroke-linejoin=\"round\" stroke-width=\"";
    appendDecimal(out, hairline);
    out += "\">\n";
    const std::string definitions = canvas.definitions(hairline);
    if (!definitions.empty()) out += "<defs>\n" + definitions + "</defs>\n";
    out += "<rect class=\"background\" x=\"" + std::to_string(box.x) + "\" y=\"" +
           std::to_string(box.y) + "\" width=\"" + std::to_string(box.width) + "\" height=\"" +
           std::to_string(box.height) + "\" stroke=\"none\" fill=\"";
    appendColour(out, background);
    out += "\"/>\n";
    out += canvas.takeBody();
    out += "</svg>\n";
}

std::string standaloneSvg(SvgCanvas& canvas, Rgb background) {
    std::string out;
    out.reserve(canvas.bodySize() + 4096);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    appendSvg(out, canvas, viewBoxAround(canvas.extent()), background, 1000);
    return out;
}

std::string lengthText(std::int64_t units) {
    std::string out;
    const double mm = static_cast<double>(units) / kUnitsPerMm;
    if (std::fabs(mm) >= 10000.0) {
        appendDecimal(out, std::round(mm / 100.0) / 10.0);
        out += " m";
    } else {
        appendDecimal(out, std::round(mm * 10.0) / 10.0);
        out += " mm";
    }
    return out;
}

std::string extentText(const Extent& extent) {
    if (extent.empty()) return "nothing drawn";
    return "x " + lengthText(extent.xmin) + " to " + lengthText(extent.xmax) + ", y " +
           lengthText(extent.ymin) + " to " + lengthText(extent.ymax) + " (" +
           lengthText(extent.width()) + " \u00d7 " + lengthText(extent.height()) + ")";
}

std::string comparisonHtml(const ComparisonPage& page) {
    std::string out;
    out.reserve(page.plotSvg.size() + page.outputSvg.size() + 8192);
    out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>";
    appendXmlText(out, page.title);
    out +=
        "</title>\n<style>\n"
        "body{margin:0;font:14px/1.4 sans-serif;color:#111;background:#fff}\n"
        ".pair{display:flex;width:100%}\n"
        ".pair>figure{margin:0;width:50%}\n"
        ".pair svg{display:block;width:100%;height:auto}\n"
        "figcaption{padding:4px 8px;font-weight:bold}\n"
        ".summary{padding:8px}\n"
        "table{border-collapse:collapse}\n"
        "th,td{border:1px solid #bbb;padding:2px 8px;text-align:left;vertical-align:top}\n"
        ".note{color:#a00000}\n"
        "</style>\n</head>\n<body>\n<div class=\"pair\">\n<figure>\n";
    out += page.plotSvg;
    out += "<figcaption>Plot, as a pen plotter draws it</figcaption>\n</figure>\n<figure>\n";
    out += page.outputSvg;
    out +=
        "<figcaption>Converted output, as the schematic system shows it</figcaption>\n"
        "</figure>\n</div>\n<div class=\"summary\">\n<h1>";
    appendXmlText(out, page.title);
    out += "</h1>\n";
    for (const std::string& note : page.notes) {
        out += "<p class=\"note\">";
        appendXmlText(out, note);
        out += "</p>\n";
    }
    out += "<table>\n<tr><th></th><th>Plot</th><th>Output</th></tr>\n";
    for (const auto& row : page.rows) {
        out += "<tr>";
        for (std::size_t i = 0; i < row.size(); ++i) {
            out += i == 0 ? "<th>" : "<td>";
            appendXmlText(out, row[i]);
            out += i == 0 ? "</th>" : "</td>";
        }
        out += "</tr>\n";
    }
    out += "</table>\n</div>\n</body>\n</html>\n";
    return out;
}
