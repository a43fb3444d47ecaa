// User scaling, an extension that the user turns on: SC (user units) and RO (the coordinate
// system turned on the page). IP, IR, PS, IN and DF keep the transform up to date as they change
// the page; the drawing commands take their coordinates through it.

#include <cmath>

#include "hpgl/HpglHandlers.h"
#include "hpgl/HpglParams.h"

namespace {

int fail(StatementBatch& batch, int32_t code) {
    batch.addCode(code);
    return 0;
}

// The parameters of SC with a form: xmin, xmax, ymin, ymax (or xmin, xfactor, ymin, yfactor),
// the type, and for isotropic scaling both or neither of left and bottom (percent, 0 to 100).
bool readScale(const HpglStatement& st, UserScale& scale) {
    const int n = st.parameterCount();
    if (n < 4 || n == 6 || n > 7) return false;
    double v[4];
    for (int i = 0; i < 4; ++i) {
        if (!realParam(st, i + 1, v[i])) return false;
    }
    int32_t type = 0;
    if (n >= 5 && !intParam(st, 5, type)) return false;
    scale.xmin = v[0];
    scale.xmax = v[1];
    scale.ymin = v[2];
    scale.ymax = v[3];
    switch (type) {
        case 0:
            scale.kind = ScaleKind::kAnisotropic;
            break;
        case 1:
            scale.kind = ScaleKind::kIsotropic;
            break;
        case 2:
            scale.kind = ScaleKind::kPointFactor;
            break;
        default:
            return false;
    }
    if (n == 7) {
        if (!realParam(st, 6, scale.left) || !realParam(st, 7, scale.bottom)) return false;
        if (!(scale.left >= 0 && scale.left <= 100 && scale.bottom >= 0 && scale.bottom <= 100))
            return false;
    }
    // An empty user range, or a factor of 0, maps nothing.
    if (scale.kind == ScaleKind::kPointFactor) return v[1] != 0 && v[3] != 0;
    return v[0] != v[1] && v[2] != v[3];
}

}  // namespace

// SC: without parameters user scaling ends (plotter units); otherwise the new scaling holds from
// here on. A scaling that cannot map this page (its transform would not be finite) is refused
// and the one before stays.
int handleSC(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    UserScale scale;
    if (st.parameterCount() > 0 && !readScale(st, scale)) return fail(batch, kHpglCodeSC);
    ScalingState& scaling = in.scaling();
    const UserScale before = scaling.scale;
    scaling.scale = scale;
    if (!in.updateTransform()) {
        scaling.scale = before;
        in.updateTransform();
        return fail(batch, kHpglCodeSC);
    }
    return 1;
}

// RO: turns the coordinate system by 0, 90, 180 or 270 degrees counter-clockwise on the page
// (none given: 0). The pen stays where it is on the page; P1 and P2 keep their coordinates.
int handleRO(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    int32_t angle = 0;
    if (st.parameterCount() > 0 && !intParam(st, 1, angle)) return fail(batch, kHpglCodeRO);
    if (angle != 0 && angle != 90 && angle != 180 && angle != 270) return fail(batch, kHpglCodeRO);
    in.scaling().quarterTurns = angle / 90;
    in.updateTransform();
    return 1;
}
