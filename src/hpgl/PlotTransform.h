// How the coordinates of a plot become output units. A conversion hands its interpreter a
// transform: plain, every coordinate and length is multiplied by the unit factor (output units
// per plotter unit). With user scaling (an extension the user turns on), the interpreter also
// honours SC (user units mapped onto the scaling points P1 and P2) and RO (the coordinate
// system turned by quarter turns on the page), and the transform becomes
//   output = k * (turn(S * u + o) + shift)
// for a point u in user units: S and o the scale and origin that SC and P1, P2 give, turn and
// shift the quarter turns of RO about the page.
#pragma once

#include <cstdint>

#include "geom/QsPoint.h"
#include "hpgl/PlotPage.h"

// The forms of SC.
enum class ScaleKind : uint8_t {
    kOff,          // plotter units
    kAnisotropic,  // SC xmin,xmax,ymin,ymax (type 0): the user rectangle fills P1-P2
    kIsotropic,    // type 1: equal units in x and y, the spare room split by left and bottom
    kPointFactor,  // type 2: P1 is (xmin, ymin), so many plotter units per user unit
};

// The scaling that the last SC set.
struct UserScale {
    ScaleKind kind = ScaleKind::kOff;
    double xmin = 0.0;
    double xmax = 0.0;  // the x factor for kPointFactor
    double ymin = 0.0;
    double ymax = 0.0;     // the y factor for kPointFactor
    double left = 50.0;    // percent of the spare width left of an isotropic drawing
    double bottom = 50.0;  // percent of the spare height below it
};

// The state of user scaling in an interpreter: whether the user turned it on, the scaling of
// SC and the quarter turns of RO (0 to 3).
struct ScalingState {
    bool enabled = false;
    UserScale scale;
    int quarterTurns = 0;
};

class PlotTransform {
public:
    // The plain transform: k output units per plotter unit.
    explicit PlotTransform(double unitFactor);

    // The transform of the scaling on the page (P1, P2 and the plot size, in the coordinates of
    // the turned system). False, out untouched, when the scaling gives no usable map: a zero,
    // infinite or undefined scale (P1 and P2 on one vertical or horizontal line, for example).
    static bool make(double unitFactor, const UserScale& scale, const PlotPage& page,
                     int quarterTurns, PlotTransform& out);

    double unitFactor() const { return k_; }
    // k * (x, y): the default conversion, computed exactly as k * x and k * y.
    bool isPlain() const { return plain_; }
    // Circles stay circles: equal scales in x and y (plain, isotropic, or turned and mirrored).
    bool keepsCircles() const { return keepsCircles_; }
    // The map turns the sense of rotation around (one axis of the user units runs backwards).
    bool mirrors() const { return m00_ * m11_ - m01_ * m10_ < 0; }
    int quarterTurns() const { return quarterTurns_; }

    // A point in the plot's current units (user units under SC, else plotter units), in output
    // units.
    QsDPoint point(double x, double y) const {
        if (plain_) return QsDPoint(k_ * x, k_ * y);
        return QsDPoint(m00_ * x + m01_ * y + tx_, m10_ * x + m11_ * y + ty_);
    }
    // A displacement (relative coordinates) in output units.
    QsDPoint vector(double x, double y) const {
        if (plain_) return QsDPoint(k_ * x, k_ * y);
        return QsDPoint(m00_ * x + m01_ * y, m10_ * x + m11_ * y);
    }
    // A length given in current units along x (a radius) in output units.
    double length(double r) const { return plain_ ? k_ * r : r * scaleX_; }
    // The direction in output units of the direction a (radians) of current units.
    double direction(double a) const;
    // The point in current units of a point in output units.
    QsDPoint toUser(const QsDPoint& p) const;
    // Where the origin of the plotter's coordinate system lies, in output units: (0, 0) unless
    // RO has turned the system about the page.
    QsDPoint plotterOrigin() const { return QsDPoint(originX_, originY_); }

private:
    double k_;
    bool plain_ = true;
    bool keepsCircles_ = true;
    int quarterTurns_ = 0;
    double m00_, m01_ = 0.0, m10_ = 0.0, m11_, tx_ = 0.0, ty_ = 0.0;
    double scaleX_;  // |M (1, 0)|
    double originX_ = 0.0, originY_ = 0.0;
};
