// The interface through which the interpreter hands a plot over to whoever consumes it (the
// conversion, the preview): each figure in output units with the pen it is drawn with and the
// command that made it, every status code a handler added, and at the end how many statements
// were read.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

class QsPolygon;
class QsPolyline;
class QsText;

// The number of commands in the dispatcher's table.
inline constexpr int kHpglCommandCount = 44;
// The commands of user scaling (SC, RO), which are read only when it is on.
inline constexpr int kHpglScalingCommandCount = 2;

// Where a figure came from.
struct FigureSource {
    // The pen of the batch the figure was handed over in: the pen selected when the batch began,
    // or by the last SP within it (EP and FP: the polygon buffer's pen).
    int16_t pen = 0;
    // The two-letter mnemonic of the command whose handler made the figure (static storage);
    // null when no command made it.
    const char* command = nullptr;

    // Whether the command fills the shapes it makes (FP, RA, RR and WG; EP, EA, ER and EW edge
    // theirs).
    bool fills() const;
};

// How many statements the dispatcher read: per command of its table, in table order, and those
// it ignored (mnemonics outside the table, escape sequences, parameters before the first
// mnemonic). Statements that IN and DF run on their own are not read, so not counted. SC and RO
// count as commands only with user scaling on; otherwise they are ignored like any other.
struct StatementCounts {
    std::array<int64_t, kHpglCommandCount> perCommand{};
    std::array<int64_t, kHpglScalingCommandCount> perScalingCommand{};
    int64_t ignored = 0;
    // Of the ignored statements: those of two-capital mnemonics outside the table, indexed by
    // mnemonicSlot, and the escape sequences. The rest are parameters before the first mnemonic.
    std::array<int64_t, 26 * 26> unknown{};
    int64_t escapes = 0;

    int64_t total() const;
    // The statements read of one command; 0 for a mnemonic outside the table.
    int64_t of(std::string_view mnemonic) const;
    // Counts an ignored statement by its first element.
    void countIgnored(std::string_view first);
    // The slot of a two-capital mnemonic ("AA" 0 to "ZZ" 675); -1 for anything else.
    static int mnemonicSlot(std::string_view mnemonic);
};

// The mnemonic of the command at index (table order, as in StatementCounts::perCommand); empty
// outside 0 to kHpglCommandCount - 1.
std::string_view hpglCommandMnemonic(int index);
// The same for the commands that only user scaling reads (StatementCounts::perScalingCommand).
std::string_view hpglScalingCommandMnemonic(int index);

class FigureSink {
public:
    virtual ~FigureSink() = default;

    // A stroke, arc or circle. Its records carry the line width; its first attribute field the
    // line style (1 dashed) and its second the end style (1 flat).
    virtual void polyline(std::unique_ptr<QsPolyline> line, const FigureSource& source) = 0;
    // A polygon of polygon mode, a rectangle or a wedge: outline and holes, line width, hatch
    // line width and direction.
    virtual void polygon(std::unique_ptr<QsPolygon> polygon, const FigureSource& source) = 0;
    // A label's text: position, string, sizes, justification, path, mirror flags and rotation.
    virtual void text(std::unique_ptr<QsText> text, const FigureSource& source) = 0;
    // A status code that the handler of the command added: the command's own failure code, or
    // one of 51 to 55 saying why it failed. Codes gathered in polygon mode travel with the
    // polygon buffer and come with every EP or FP that hands its polygons out.
    virtual void statementFailed(std::string_view mnemonic, int32_t code) = 0;
    // The input has been read to its end (or there was none): the last call.
    virtual void endOfInput(const StatementCounts& counts) = 0;
};
