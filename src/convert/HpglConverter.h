// Runs the HP-GL interpreter over a plot file and turns every figure it hands over into a
// polyline, polygon or text of the output sheet, with the colour and style of the pen map, the
// widths and fonts of the settings, moved by the offsets.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "convert/DbHandle.h"
#include "geom/QsBox.h"
#include "hpgl/FigureSink.h"
#include "hpgl/PenMap.h"
#include "hpgl/PlotFit.h"

class CreateObjectCommand;
class DatabaseSettings;
class EnvironmentSettings;
class QsPolygon;
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

// What became of one figure. A stroke of more than 65,535 points never gets here: the
// interpreter refuses it with code 54 and its command's code.
enum class FigureOutcome : uint8_t {
    kAdded,       // the object is on the sheet
    kEmpty,       // a polyline or polygon without records: nothing to add
    kOutOfRange,  // moved by the offsets, a point, arc end, axis point or arc centre would leave
                  // the 32-bit range (an arc centre also without offsets)
    kNotAdded,    // the object could not be made, was not valid or could not be added to the
                  // sheet (the codes are in the error record), or storage ran out
};
inline constexpr int kFigureOutcomeCount = 4;

// The kinds of object a figure becomes on the sheet.
enum class ObjectKind : uint8_t { kPolyline, kPolygon, kText };
inline constexpr int kObjectKindCount = 3;

// What one conversion did with its plot, for a report of it.
struct ConversionTally {
    // The statements the interpreter read, per command.
    StatementCounts statements;
    // How often each command added each status code: (mnemonic, code) -> count.
    std::map<std::pair<std::string, int32_t>, int64_t> failures;
    // The figures by outcome, indexed by FigureOutcome.
    std::array<int64_t, kFigureOutcomeCount> figures{};
    // The output units per plotter unit the plot was read at (25 times the scale, times the
    // factor of a fit), and whether a fit was asked for a drawing without extent, which was
    // then left as it was.
    double unitFactor = 0.0;
    bool fitWithoutExtent = false;
    // The objects put on the sheet, indexed by ObjectKind, and the union of their boxes (none
    // while no object with a box was added).
    std::array<int64_t, kObjectKindCount> objects{};
    std::optional<QsBox> extent;

    int64_t figuresWith(FigureOutcome outcome) const {
        return figures[static_cast<size_t>(outcome)];
    }
    int64_t objectsOf(ObjectKind kind) const { return objects[static_cast<size_t>(kind)]; }
    // The times the command added the code; 0 when it never did.
    int64_t failuresOf(std::string_view mnemonic, int32_t code) const;
    // The strokes the interpreter refused for holding more than 65,535 points: the times any
    // command added the code of a vertex that could not be appended.
    int64_t tooLongStrokes() const;
};

class HpglConverter : private FigureSink {
public:
    // The settings are not owned and must outlive the converter (either may be null: then the
    // defaults are index 0 and the width and text tables are empty). The offsets are in output
    // units.
    HpglConverter(const DatabaseSettings* landata, const EnvironmentSettings* lanenv,
                  const DbHandle& sheet, std::int32_t offsetX, std::int32_t offsetY);
    ~HpglConverter() override;
    HpglConverter(const HpglConverter&) = delete;
    HpglConverter& operator=(const HpglConverter&) = delete;

    // Loads the pen map (when named), reads the plot file with an interpreter at 25 times the
    // scale output units per plotter unit and converts every figure it hands over, up to the
    // end of the input. Returns a ConvertResult.
    int convert(const std::string& inputFile, double scale, const std::string& penMapFile);
    // The same with the sizing extensions: user scaling (SC and RO), and a fit into a box, for
    // which the plot is read once more before it is converted (fitPlotToBox).
    int convert(const std::string& inputFile, const PlotSizing& sizing,
                const std::string& penMapFile);
    // After kConvertUnreadable: the system's error number of opening the input (0 when no
    // system call failed).
    int inputError() const { return inputError_; }

    // Converts one figure drawn with the pen into an object of the sheet: a polyline becomes a
    // LexPolyline; a polygon (with its holes) an unfilled LexPolygon, whichever command made it;
    // a polyline set a filled LexPolygon; a text a LexText. The polyline, polygon and set become
    // the geometry of their objects without a copy.
    FigureOutcome convertFigure(std::unique_ptr<QsPolyline> line, int pen);
    FigureOutcome convertFigure(std::unique_ptr<QsPolygon> polygon, int pen);
    FigureOutcome convertFigure(std::unique_ptr<QsPolylineSet> outline, int pen);
    FigureOutcome convertFigure(QsText& text, int pen);

    // The line-width index for a polygon line width in output units: the table entry closest to
    // a tenth of it, the default index winning every tie and earlier entries later ones.
    int widthIndex(std::int32_t lineWidth) const;
    // The text-table index for a character height: the first entry whose height is closest to
    // it and closer than the height itself; 0 when there is none.
    int fontIndex(std::int32_t height) const;

    const PenMap& penTable() const { return penTable_; }
    PenMap& penTable() { return penTable_; }
    const DbHandle& sheet() const { return sheet_; }
    // What the last convert did (and every convertFigure since the converter was made).
    const ConversionTally& tally() const { return tally_; }

private:
    // The interpreter's figures, failures and end.
    void polyline(std::unique_ptr<QsPolyline> line, const FigureSource& source) override;
    void polygon(std::unique_ptr<QsPolygon> polygon, const FigureSource& source) override;
    void text(std::unique_ptr<QsText> text, const FigureSource& source) override;
    void statementFailed(std::string_view mnemonic, int32_t code) override;
    void endOfInput(const StatementCounts& counts) override;

    // Adds a polygon, moved already, with the width index of its line width.
    FigureOutcome addPolygon(std::unique_ptr<QsPolylineSet> polygon, int pen, bool filled);
    // Counts the outcome.
    FigureOutcome tallied(FigureOutcome outcome);
    // Executes the command; once its object is on the sheet, counts it by kind and grows the
    // extent by its box.
    FigureOutcome executed(CreateObjectCommand& command, ObjectKind kind);
    int defaultLineStyle() const;
    int defaultLineWidth() const;

    const DatabaseSettings* landata_;
    const EnvironmentSettings* lanenv_;
    DbHandle sheet_;
    PenMap penTable_;
    std::int32_t offsetX_;
    std::int32_t offsetY_;
    ConversionTally tally_;
    int inputError_ = 0;
};
