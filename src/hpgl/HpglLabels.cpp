// Labels and character attributes: LB, DT, SI, SR, SD, AD, SS, SA, ES, LO, DI, DR, CP, and DV and
// TD (run only by DF).
//
// What runs today: DT, LO, SS and SA in full, and the reset that every other handler does without
// parameters (the one DF relies on). Labels are not drawn yet, and the handlers that take sizes,
// directions and moves accept their parameters without acting on them.

#include "hpgl/HpglHandlers.h"
#include "hpgl/HpglParams.h"

namespace {

int fail(StatementBatch& batch, int32_t code) {
    batch.addCode(code);
    return 0;
}

// Terminators that would make labels unreadable: NUL, ENQ, ESC and ";".
bool isRefusedTerminator(unsigned char c) {
    return c == 0 || c == 5 || c == 27 || c == ';';
}

// The justification code of each label origin 1 to 9 (left column first, bottom to top).
constexpr unsigned char kOriginCodes[9] = {0, 4, 8, 1, 5, 9, 2, 6, 10};

}  // namespace

int handleLB(HpglInterpreter&, const HpglStatement&, StatementBatch&) {
    return 1;
}

int handleDT(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    unsigned char terminator = LabelState::kDefaultTerminator;
    if (st.parameterCount() >= 1 && !st[1].empty())
        terminator = static_cast<unsigned char>(st[1][0]);
    int32_t mode = 1;
    if (st.parameterCount() >= 2 && !intParam(st, 2, mode)) return fail(batch, kHpglCodeDT);
    if ((mode != 0 && mode != 1) || isRefusedTerminator(terminator)) {
        return fail(batch, kHpglCodeDT);
    }
    in.labelState->terminator = terminator;
    in.labelState->terminatorPrinted = mode == 0 ? 1 : 0;
    return 1;
}

int handleSI(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    if (st.parameterCount() > 0) return 1;
    LabelState& ls = *in.labelState;
    LabelFontSize standard = ls.standard;
    LabelFontSize alternate = ls.alternate;
    const double k = unitFactor();
    for (LabelFontSize* f : {&standard, &alternate}) {
        if (!LabelState::setPitch(*f, LabelState::kDefaultPitch) ||
            !LabelState::setHeight(*f, LabelState::kDefaultHeight, k)) {
            return fail(batch, kHpglCodeSI);
        }
    }
    ls.standard = standard;
    ls.alternate = alternate;
    ls.mirrorFlags = 0;
    return 1;
}

int handleSR(HpglInterpreter&, const HpglStatement&, StatementBatch&) {
    return 1;
}

int handleSD(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    if (st.parameterCount() > 0) return 1;
    return LabelState::setDefaults(in.labelState->standard, unitFactor())
               ? 1
               : fail(batch, kHpglCodeSD);
}

int handleAD(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    if (st.parameterCount() > 0) return 1;
    return LabelState::setDefaults(in.labelState->alternate, unitFactor())
               ? 1
               : fail(batch, kHpglCodeAD);
}

int handleSS(HpglInterpreter& in, const HpglStatement&, StatementBatch&) {
    in.labelState->selectedFont = 1;
    return 1;
}

int handleSA(HpglInterpreter& in, const HpglStatement&, StatementBatch&) {
    in.labelState->selectedFont = 0;
    return 1;
}

int handleES(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    if (st.parameterCount() > 0) return 1;
    // No extra space: spacing and line spacing back to their plain proportions.
    LabelState& ls = *in.labelState;
    LabelFontSize standard = ls.standard;
    LabelFontSize alternate = ls.alternate;
    for (LabelFontSize* f : {&standard, &alternate}) {
        if (!tryTruncTowardZero(1.5 * f->width, f->spacing) ||
            !tryTruncTowardZero(1.2 * f->height, f->lineSpacing)) {
            return fail(batch, kHpglCodeES);
        }
    }
    ls.standard = standard;
    ls.alternate = alternate;
    return 1;
}

int handleLO(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    int32_t origin = 1;
    if (st.parameterCount() > 0 && !intParam(st, 1, origin)) return fail(batch, kHpglCodeLO);
    if (origin >= 11 && origin <= 19) origin -= 10;
    in.labelState->originCode = origin >= 1 && origin <= 9 ? kOriginCodes[origin - 1] : 0;
    in.previous = in.current;
    return 1;
}

int handleDI(HpglInterpreter& in, const HpglStatement& st, StatementBatch&) {
    if (st.parameterCount() > 0) return 1;
    in.labelState->direction = 0.0;
    in.previous = in.current;
    return 1;
}

int handleDR(HpglInterpreter&, const HpglStatement&, StatementBatch&) {
    return 1;
}

int handleCP(HpglInterpreter&, const HpglStatement&, StatementBatch&) {
    return 1;
}

int handleDV(HpglInterpreter& in, const HpglStatement& st, StatementBatch&) {
    if (st.parameterCount() > 0) return 1;
    in.labelState->textPath = 0;
    in.labelState->lineFeed = 1;
    in.previous = in.current;
    return 1;
}

int handleTD(HpglInterpreter& in, const HpglStatement& st, StatementBatch&) {
    if (st.parameterCount() > 0) return 1;
    in.labelState->transparentData = 0;
    return 1;
}
