#include "hpgl/PlotTransform.h"

#include <algorithm>
#include <cmath>

namespace {

// Plotter units of a user unit (sx, sy) and the plotter point of the user origin (ox, oy).
struct AxisScale {
    double sx = 1.0;
    double sy = 1.0;
    double ox = 0.0;
    double oy = 0.0;
};

// One axis of isotropic scaling: the user range [lo, hi] runs from p1 to p2 at s plotter units
// per unit (the sign from their directions), placed in the room between p1 and p2 with the
// given percent of the spare room before it. The plotter coordinate of lo, and the signed scale.
void isotropicAxis(double lo, double hi, double p1, double p2, double s, double percent, double& at,
                   double& signedScale) {
    const double along = (p2 - p1) / (hi - lo);
    signedScale = along < 0 ? -s : s;
    const double used = s * std::fabs(hi - lo);
    const double start = std::min(p1, p2) + (std::fabs(p2 - p1) - used) * percent / 100.0;
    at = signedScale > 0 ? start : start + used;
}

bool axisScale(const UserScale& scale, const PlotPage& page, AxisScale& a) {
    const double p1x = page.p1.x, p1y = page.p1.y, p2x = page.p2.x, p2y = page.p2.y;
    switch (scale.kind) {
        case ScaleKind::kOff:
            return true;
        case ScaleKind::kAnisotropic:
            a.sx = (p2x - p1x) / (scale.xmax - scale.xmin);
            a.sy = (p2y - p1y) / (scale.ymax - scale.ymin);
            a.ox = p1x - a.sx * scale.xmin;
            a.oy = p1y - a.sy * scale.ymin;
            break;
        case ScaleKind::kIsotropic: {
            const double s = std::min(std::fabs((p2x - p1x) / (scale.xmax - scale.xmin)),
                                      std::fabs((p2y - p1y) / (scale.ymax - scale.ymin)));
            double atX = 0.0, atY = 0.0;
            isotropicAxis(scale.xmin, scale.xmax, p1x, p2x, s, scale.left, atX, a.sx);
            isotropicAxis(scale.ymin, scale.ymax, p1y, p2y, s, scale.bottom, atY, a.sy);
            a.ox = atX - a.sx * scale.xmin;
            a.oy = atY - a.sy * scale.ymin;
            break;
        }
        case ScaleKind::kPointFactor:
            a.sx = scale.xmax;
            a.sy = scale.ymax;
            a.ox = p1x - a.sx * scale.xmin;
            a.oy = p1y - a.sy * scale.ymin;
            break;
    }
    return std::isfinite(a.sx) && std::isfinite(a.sy) && std::isfinite(a.ox) &&
           std::isfinite(a.oy) && a.sx != 0.0 && a.sy != 0.0;
}

}  // namespace

PlotTransform::PlotTransform(double unitFactor)
    : k_(unitFactor), m00_(unitFactor), m11_(unitFactor), scaleX_(std::fabs(unitFactor)) {}

bool PlotTransform::make(double k, const UserScale& scale, const PlotPage& page, int quarterTurns,
                         PlotTransform& out) {
    AxisScale a;
    if (!axisScale(scale, page, a)) return false;
    // The turned system on the page: its origin moves to the corner that keeps the plot area
    // at positive coordinates.
    const double w = page.plotSize.x;
    const double h = page.plotSize.y;
    double r00 = 1, r01 = 0, r10 = 0, r11 = 1, shiftX = 0, shiftY = 0;
    switch (quarterTurns & 3) {
        case 1:
            r00 = 0, r01 = -1, r10 = 1, r11 = 0, shiftX = w;
            break;
        case 2:
            r00 = -1, r11 = -1, shiftX = w, shiftY = h;
            break;
        case 3:
            r00 = 0, r01 = 1, r10 = -1, r11 = 0, shiftY = h;
            break;
        default:
            break;
    }
    PlotTransform t(k);
    t.quarterTurns_ = quarterTurns & 3;
    t.plain_ = scale.kind == ScaleKind::kOff && t.quarterTurns_ == 0;
    t.keepsCircles_ = std::fabs(a.sx) == std::fabs(a.sy);
    t.m00_ = k * r00 * a.sx;
    t.m01_ = k * r01 * a.sy;
    t.m10_ = k * r10 * a.sx;
    t.m11_ = k * r11 * a.sy;
    t.tx_ = k * (r00 * a.ox + r01 * a.oy + shiftX);
    t.ty_ = k * (r10 * a.ox + r11 * a.oy + shiftY);
    t.scaleX_ = std::hypot(t.m00_, t.m10_);
    t.originX_ = k * shiftX;
    t.originY_ = k * shiftY;
    if (!std::isfinite(t.m00_) || !std::isfinite(t.m01_) || !std::isfinite(t.m10_) ||
        !std::isfinite(t.m11_) || !std::isfinite(t.tx_) || !std::isfinite(t.ty_) ||
        t.m00_ * t.m11_ - t.m01_ * t.m10_ == 0.0)
        return false;
    out = t;
    return true;
}

double PlotTransform::direction(double a) const {
    if (plain_) return a;
    const double c = std::cos(a);
    const double s = std::sin(a);
    return std::atan2(m10_ * c + m11_ * s, m00_ * c + m01_ * s);
}

QsDPoint PlotTransform::toUser(const QsDPoint& p) const {
    if (plain_) return QsDPoint(p.x / k_, p.y / k_);
    const double dx = p.x - tx_;
    const double dy = p.y - ty_;
    const double det = m00_ * m11_ - m01_ * m10_;
    return QsDPoint((m11_ * dx - m01_ * dy) / det, (m00_ * dy - m10_ * dx) / det);
}
