// Runs the HP-GL interpreter over a plot file batch by batch and turns every figure it hands back
// into a polyline, polygon or text of the output sheet, with the colour and style of the pen map,
// the widths and fonts of the settings, moved by the offsets.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "convert/DbHandle.h"
#include "hpgl/PenMap.h"

class DatabaseSettings;
class EnvironmentSettings;
class QsFigure;
class QsPolyline;
class QsPolylineSet;
class QsText;

// Results of HpglConverter::convert.
enum ConvertResult : int {
    kConvertDone = 1,          // every statement was read
    kConvertNoSheet = 2,       // the output sheet is not available
    kConvertNoInput = 3,       // the input file does not exist
    kConvertUnreadable = 4,    // the input file cannot be opened for reading
    kConvertNoStatements = 5,  // the input file holds no statement
};

class HpglConverter {
public:
    // The settings are not owned and must outlive the converter (either may be null: then the
    // defaults are index 0 and the width and text tables are empty). The offsets are in output
    // units.
    HpglConverter(const DatabaseSettings* landata, const EnvironmentSettings* lanenv,
                  const DbHandle& sheet, std::int32_t offsetX, std::int32_t offsetY);
    ~HpglConverter();
    HpglConverter(const HpglConverter&) = delete;
    HpglConverter& operator=(const HpglConverter&) = delete;

    // Multiplies the process-wide unit factor by scale, loads the pen map (when named), reads
    // the plot file and converts every figure of every batch until the end of the input.
    // Returns a ConvertResult.
    int convert(const std::string& inputFile, double scale, const std::string& penMapFile);
    // After kConvertUnreadable: the system's error number of opening the input (0 when no
    // system call failed).
    int inputError() const { return inputError_; }

    // Converts one figure drawn with the pen: a polyline (25) becomes a LexPolyline, a polyline
    // set (26) a filled LexPolygon, a polygon (27) an unfilled LexPolygon, a text (7) a LexText.
    // 1 when an object was added to the sheet (and for type 17, which needs nothing), else 0.
    int convertFigure(std::unique_ptr<QsFigure> figure, int pen);

    // The line-width index for a polygon line width in output units: the table entry closest to
    // a tenth of it, the default index winning every tie and earlier entries later ones.
    int widthIndex(std::int32_t lineWidth) const;
    // The text-table index for a character height: the first entry whose height is closest to
    // it and closer than the height itself; 0 when there is none.
    int fontIndex(std::int32_t height) const;

    const PenMap& penTable() const { return penTable_; }
    PenMap& penTable() { return penTable_; }
    const DbHandle& sheet() const { return sheet_; }

private:
    int convertPolyline(std::unique_ptr<QsPolyline> line, int pen);
    int convertPolygon(std::unique_ptr<QsPolylineSet> polygon, int pen, bool filled);
    int convertText(QsText& text, int pen);
    // Moves the figure by the offsets; false (the figure then is skipped) when any of its
    // points, arc centres or axis points would leave the 32-bit range.
    bool moveByOffset(QsFigure& figure) const;
    int defaultLineStyle() const;
    int defaultLineWidth() const;

    const DatabaseSettings* landata_;
    const EnvironmentSettings* lanenv_;
    DbHandle sheet_;
    PenMap penTable_;
    std::int32_t offsetX_;
    std::int32_t offsetY_;
    int inputError_ = 0;
};
