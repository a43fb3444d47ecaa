// The command handlers of the HP-GL interpreter and the steps they share. Every handler gets the
// interpreter, the statement and the batch, returns 1 on success and 0 on failure, and on failure
// has added its command's code to the batch.
#pragma once

#include <cstdint>
#include <string_view>

#include "hpgl/HpglInterpreter.h"

class QsPolyline;
class QsPolygon;

using HpglHandler = int (*)(HpglInterpreter&, const HpglStatement&, StatementBatch&);

struct HpglCommand {
    char mnemonic[3];
    HpglHandler handler;
    bool endsBatch;  // a drawing command: the batch ends after it outside polygon mode
    int32_t code;    // the code the handler adds when it fails (0: it never fails)
};

// The command table in its order of comparison, and the entry for a mnemonic (null when the
// table does not hold it).
const HpglCommand* hpglCommandTable(int& count);
const HpglCommand* findHpglCommand(std::string_view mnemonic);

// Plotter set-up and pen attributes (HpglStateCommands.cpp).
int handleIN(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleDF(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleIP(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleIR(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handlePS(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleSP(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handlePW(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleWU(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleLT(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleLA(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleFT(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleSM(HpglInterpreter&, const HpglStatement&, StatementBatch&);
// User scaling (HpglScaling.cpp), read only when it is on.
int handleSC(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleRO(HpglInterpreter&, const HpglStatement&, StatementBatch&);

// Vector commands (HpglVectorCommands.cpp).
int handlePA(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handlePR(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handlePD(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handlePU(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handlePE(HpglInterpreter&, const HpglStatement&, StatementBatch&);

// The stroke routine shared by PA, PR, PD and PU: one polyline from the pen position through
// every coordinate pair of the statement, kept only with the pen down. 1, or 0 after adding
// code 54 or 52 where they apply (the caller adds its own code).
int strokeStatement(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch,
                    bool absolute, bool penIsDown);
// Width, line style and (open form) line ends of a stroke, arc or circle polyline. 1, or 0 when
// the butt ends cannot be shortened.
int finishLineFigure(HpglInterpreter& in, QsPolyline& line, bool closedForm);

// Arcs, circles, rectangles and wedges (HpglArcs.cpp).
int handleAA(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleAR(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleAT(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleRT(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleCI(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleEA(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleER(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleRA(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleRR(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleEW(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleWG(HpglInterpreter&, const HpglStatement&, StatementBatch&);

// Polygon mode (HpglPolygonMode.cpp).
int handlePM(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleEP(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleFP(HpglInterpreter&, const HpglStatement&, StatementBatch&);
// Width and hatch of one polygon from the current pen attributes, then the polygon check.
int finishPolygon(const HpglInterpreter& in, QsPolygon& polygon);
// Finishes every polygon of the polygon buffer again (after SP, PW, FT, PM 2): 1, or 0 after
// adding code 51 to the buffer's codes, tagged with the command by, when one of them fails.
int reapplyPolygonAttributes(HpglInterpreter& in, const char* by);

// Labels and character attributes (HpglLabels.cpp). DV and TD are not in the command table:
// only DF runs them.
int handleLB(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleDT(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleSI(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleSR(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleSD(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleAD(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleSS(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleSA(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleES(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleLO(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleDI(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleDR(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleCP(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleDV(HpglInterpreter&, const HpglStatement&, StatementBatch&);
int handleTD(HpglInterpreter&, const HpglStatement&, StatementBatch&);

// Failure codes of the handlers, by command.
enum HpglCommandCode : int32_t {
    kHpglCodeDF = 6,
    kHpglCodeIN = 7,
    kHpglCodeIP = 8,
    kHpglCodeIR = 9,
    kHpglCodeFT = 10,
    kHpglCodeLA = 11,
    kHpglCodeLT = 12,
    kHpglCodePW = 13,
    kHpglCodeSP = 14,
    kHpglCodeWU = 15,
    kHpglCodeAA = 16,
    kHpglCodeAR = 17,
    kHpglCodeAT = 18,
    kHpglCodeRT = 19,
    kHpglCodeCI = 20,
    kHpglCodePA = 21,
    kHpglCodePR = 22,
    kHpglCodePD = 23,
    kHpglCodePU = 24,
    kHpglCodeEA = 25,
    kHpglCodeER = 26,
    kHpglCodeRA = 27,
    kHpglCodeRR = 28,
    kHpglCodeEW = 29,
    kHpglCodeWG = 30,
    kHpglCodeEP = 31,
    kHpglCodeFP = 32,
    kHpglCodePM = 33,
    kHpglCodeAD = 34,
    kHpglCodeSD = 35,
    kHpglCodeDI = 36,
    kHpglCodeDR = 37,
    kHpglCodeLO = 38,
    kHpglCodeSA = 39,
    kHpglCodeSS = 40,
    kHpglCodeDT = 41,
    kHpglCodeDV = 42,
    kHpglCodeES = 43,
    kHpglCodeTD = 44,
    kHpglCodeSI = 45,
    kHpglCodeSR = 46,
    kHpglCodeCP = 47,
    kHpglCodeLB = 48,
    kHpglCodePE = 49,
    kHpglCodePS = 50,
    // User scaling.
    kHpglCodeSC = 56,
    kHpglCodeRO = 57,
};
