// Arcs, circles, rectangles and wedges: AA, AR, AT, RT, CI, EA, ER, RA, RR, EW and WG.
//
// These commands are not drawn yet: each handler accepts its statement and makes no figure, so a
// plot that uses them still runs to its end. The dispatcher already treats them as drawing
// commands (all but EW end a batch outside polygon mode).

#include "hpgl/HpglHandlers.h"

namespace {

int notDrawnYet(HpglInterpreter&, const HpglStatement&, StatementBatch&) {
    return 1;
}

}  // namespace

int handleAA(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    return notDrawnYet(in, st, b);
}
int handleAR(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    return notDrawnYet(in, st, b);
}
int handleAT(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    return notDrawnYet(in, st, b);
}
int handleRT(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    return notDrawnYet(in, st, b);
}
int handleCI(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    return notDrawnYet(in, st, b);
}
int handleEA(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    return notDrawnYet(in, st, b);
}
int handleER(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    return notDrawnYet(in, st, b);
}
int handleRA(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    return notDrawnYet(in, st, b);
}
int handleRR(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    return notDrawnYet(in, st, b);
}
int handleEW(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    return notDrawnYet(in, st, b);
}
int handleWG(HpglInterpreter& in, const HpglStatement& st, StatementBatch& b) {
    return notDrawnYet(in, st, b);
}
