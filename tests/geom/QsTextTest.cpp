#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

#include "geom/QsAngle.h"
#include "geom/QsBox.h"
#include "geom/QsPointPolygon.h"
#include "geom/QsText.h"
#include "geom/TextMetrics.h"

namespace {

// Texts measured with the fixed pitch: no text metrics are installed.
class QsTextTest : public ::testing::Test {
protected:
    void SetUp() override { setTextMetrics(nullptr); }

    // A text whose extent is 100 x 40: ten characters of width 10 without gaps, one line.
    static QsText text(std::uint8_t justification, std::uint8_t path = 0) {
        return QsText(QsPoint(0, 0), "0123456789", 10, 40, 0, 0, justification, path, 0, 0, 0, 0, 1,
                      100);
    }
};

std::vector<QsPoint> outlineOf(const QsText& t) {
    QsPointPolygon poly;
    if (!t.outline(poly)) return {};
    return std::vector<QsPoint>(poly.points(), poly.points() + poly.pointCount());
}

// A text's position, angle (all digits) and mirror flags as text.
std::string placed(int x, int y, double angle, int mirror) {
    char s[100];
    std::snprintf(s, sizeof s, "(%d,%d) %.17g m%d", x, y, angle, mirror);
    return s;
}

std::string placement(const QsText& t) {
    return placed(t.position.x, t.position.y, t.angle, t.mirror);
}

}  // namespace

TEST_F(QsTextTest, LinesCopiesAndEmptyTexts) {
    QsText t(QsPoint(5, 6), "AB\nC\n\nDEFG", 10, 20, 3, 2, 9, 0, 7, 1, 4, 8, 3, 100);
    EXPECT_EQ(t.lineCount(), 4);
    EXPECT_EQ(t.longestLine(), 4);
    EXPECT_EQ(t.length(), 10);
    std::unique_ptr<QsFigure> copy = t.clone();
    auto* c = dynamic_cast<QsText*>(copy.get());
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(c->string(), "AB\nC\n\nDEFG");
    EXPECT_NE(c->string(), t.string());  // duplicated, not shared

    QsText empty(QsPoint(1, 2), "", 10, 10, 0, 0, 0, 0, 0, 0, 0, 0, 1, 100);
    EXPECT_EQ(empty.string(), nullptr);
    EXPECT_EQ(empty.lineCount(), 0);
    QsPointPolygon poly;
    EXPECT_EQ(empty.outline(poly), 0);
    QsBox box;
    ASSERT_EQ(empty.getBox(box), 1);
    EXPECT_EQ(box, QsBox(1, 2, 1, 2));
}

TEST_F(QsTextTest, LowerLeftCornerByJustificationAndPath) {
    struct Case {
        std::uint8_t justification, path;
        QsPoint corner;
    };
    const Case cases[] = {
        {0, 0, {0, 0}},       {1, 0, {-50, 0}},    {2, 0, {-100, 0}}, {4, 0, {0, -20}},
        {5, 0, {-50, -20}},   {6, 0, {-100, -20}}, {8, 0, {0, -40}},  {9, 0, {-50, -40}},
        {10, 0, {-100, -40}}, {5, 1, {50, -20}},   {2, 1, {100, 0}},  {0, 1, {0, 0}},
    };
    std::int32_t w = 0, h = 0;
    ASSERT_EQ(text(0).extent(w, h), 1);
    ASSERT_EQ(QsPoint(w, h), QsPoint(100, 40));
    QsPoint corner;
    for (const Case& c : cases) {
        ASSERT_EQ(text(c.justification, c.path).lowerLeft(corner), 1);
        EXPECT_EQ(corner, c.corner) << int(c.justification) << " " << int(c.path);
    }
    // Odd extents halve towards zero.
    QsText odd = text(5);
    ASSERT_EQ(odd.lowerLeftCorner(-7, 9, corner), 1);
    EXPECT_EQ(corner, QsPoint(3, -4));
    // A corner beyond the 32-bit range is refused.
    odd.position = QsPoint(INT32_MIN, 0);
    EXPECT_EQ(odd.lowerLeftCorner(100, 0, corner), 0);
}

TEST_F(QsTextTest, OutlineWithPenWidthFrameMirrorAndRotation) {
    QsText t = text(0);
    t.position = QsPoint(10, 20);
    using Pts = std::vector<QsPoint>;
    EXPECT_EQ(outlineOf(t), (Pts{{10, 20}, {10, 60}, {110, 60}, {110, 20}}));

    t.penWidth = 3;  // 3 wider and higher, starting 2 below and to the left
    EXPECT_EQ(outlineOf(t), (Pts{{8, 18}, {8, 61}, {111, 61}, {111, 18}}));
    t.frame = kFrameMargin1;
    t.frameMargin1 = 10;
    t.frameMargin2 = 5;  // a frame replaces the pen-width allowance
    EXPECT_EQ(outlineOf(t), (Pts{{0, 10}, {0, 70}, {120, 70}, {120, 10}}));
    t.frame = kFrameMarginBoth;
    EXPECT_EQ(outlineOf(t), (Pts{{-5, 5}, {-5, 75}, {125, 75}, {125, 5}}));
    t.frameMargin1 = 0;
    t.frameMargin2 = 0;  // a frame of margin 0 adds nothing
    EXPECT_EQ(outlineOf(t), (Pts{{10, 20}, {10, 60}, {110, 60}, {110, 20}}));

    t.frame = 0;
    t.penWidth = 0;
    t.mirror = kMirrorX;
    EXPECT_EQ(outlineOf(t), (Pts{{10, 20}, {10, 60}, {-90, 60}, {-90, 20}}));
    t.mirror = kMirrorX | kMirrorY;
    EXPECT_EQ(outlineOf(t), (Pts{{10, 20}, {10, -20}, {-90, -20}, {-90, 20}}));
    t.mirror = 0;
    t.angle = kQsHalfPi;
    EXPECT_EQ(outlineOf(t), (Pts{{10, 20}, {-30, 20}, {-30, 120}, {10, 120}}));
    QsBox box;
    ASSERT_EQ(t.getBox(box), 1);
    EXPECT_EQ(box, QsBox(-30, 20, 10, 120));

    // Multi-line texts: line gaps between lines only.
    QsText two(QsPoint(0, 0), "AB\nC", 10, 20, 2, 0, 0, 0, 5, 0, 0, 0, 1, 100);
    EXPECT_EQ(outlineOf(two), (Pts{{0, 0}, {0, 45}, {22, 45}, {22, 0}}));

    // An outline that would leave the 32-bit range fails.
    t.angle = 0.0;
    t.position = QsPoint(INT32_MAX - 50, 0);
    EXPECT_EQ(outlineOf(t), Pts{});
    EXPECT_EQ(t.getBox(box), 0);
    QsText huge(QsPoint(0, 0), std::string(3, 'A'), INT32_MAX, 10, 0, 0, 0, 0, 0, 0, 0, 0, 1, 100);
    std::int32_t w = 0, h = 0;
    EXPECT_EQ(huge.extent(w, h), 0);
    EXPECT_EQ(outlineOf(huge), Pts{});
}

// Near the edge of the range a turned text keeps its box when its turned corners fit, whatever
// other angles would do. The text's extent is 100 x 40; corners turned by 2.5 radians lie at
// (-24, -32), (-104, 28) and (-80, 60) from the position, by 1 radian at (-34, 22), (20, 106)
// and (54, 84).
TEST_F(QsTextTest, TurnedBoxNearTheRangeEdge) {
    constexpr int32_t kNear = INT32_MAX - 50;
    const struct {
        int32_t x;
        double angle;
        std::optional<QsBox> box;
    } cases[] = {
        {kNear, 0.0, std::nullopt},
        {kNear, kQsPi, QsBox(kNear - 100, -40, kNear, 0)},
        {kNear, 2.5, QsBox(kNear - 104, -32, kNear, 60)},
        {kNear, 0.3, std::nullopt},
        {INT32_MAX - 54, 1.0, QsBox(INT32_MAX - 88, 0, INT32_MAX, 106)},
        {INT32_MAX - 53, 1.0, std::nullopt},
    };
    for (const auto& c : cases) {
        QsText t = text(0);
        t.position = QsPoint(c.x, 0);
        t.angle = c.angle;
        QsBox box;
        const bool made = t.getBox(box) != 0;
        EXPECT_EQ(made, c.box.has_value()) << c.x << " " << c.angle;
        if (made && c.box) {
            EXPECT_EQ(box, *c.box) << c.x << " " << c.angle;
        }
    }
    // A text on the edge turns about its own position.
    QsText edge = text(0);
    edge.position = QsPoint(INT32_MAX, INT32_MIN);
    ASSERT_EQ(edge.rotate(edge.position, 1.0), 1);
    EXPECT_EQ(placement(edge), placed(INT32_MAX, INT32_MIN, 1.0, 0));
}

TEST_F(QsTextTest, RotateScaleAndMove) {
    QsText t = text(0);
    t.position = QsPoint(3, -2);
    // Rotations add to the angle, kept in [0, 2pi).
    t.angle = 6.0;
    ASSERT_EQ(t.rotate(QsPoint(0, 0), 0.5), 1);
    EXPECT_EQ(placement(t), placed(4, 0, 6.5 - kQsTwoPi, 0));
    t.angle = 0.0;
    ASSERT_EQ(t.rotate(QsPoint(0, 0), kQsHalfPi), 1);
    EXPECT_EQ(placement(t), placed(0, 4, kQsHalfPi, 0));

    t = QsText(QsPoint(10, 10), "A", 10, 20, 3, 3, 0, 0, 5, 0, 7, 7, 1, 100);
    ASSERT_EQ(t.scale(QsPoint(0, 0), 1.5), 1);
    // 4.5 and 7.5 round away from zero; pen width and m2 stay.
    EXPECT_EQ(std::vector<int>({t.width, t.height, t.spacing, t.lineSpacing, t.frameMargin1,
                                t.penWidth, t.frameMargin2}),
              std::vector<int>({15, 30, 5, 8, 11, 3, 7}));
    EXPECT_EQ(t.position, QsPoint(15, 15));
    // Scaling or moving out of range changes nothing.
    EXPECT_EQ(t.scale(QsPoint(0, 0), 1e9), 0);
    EXPECT_EQ(t.width, 15);
    EXPECT_EQ(t.position, QsPoint(15, 15));
    t.position = QsPoint(INT32_MAX, 0);
    EXPECT_EQ(t.move(QsPoint(1, 0)), 0);
    EXPECT_EQ(t.position, QsPoint(INT32_MAX, 0));
}

// Geometry asks the installed metrics, with the text's own sizes and font, and lays its box out
// from their answer.
TEST_F(QsTextTest, ExtentComesFromTheInstalledMetrics) {
    struct Recording : TextMetrics {
        mutable std::string asked;
        TextExtent measure(int w, int h, int s, int g, unsigned font,
                           std::string_view text) const override {
            asked = std::to_string(w) + " " + std::to_string(h) + " " + std::to_string(s) + " " +
                    std::to_string(g) + " " + std::to_string(font) + " " + std::string(text);
            return TextExtent{70, 30};
        }
    } metrics;
    setTextMetrics(&metrics);
    QsText t(QsPoint(0, 0), "AB", 10, 20, 3, 0, 5, 0, 4, 0, 0, 0, 9, 100);
    std::int32_t w = 0, h = 0;
    EXPECT_EQ(t.extent(w, h), 1);
    EXPECT_EQ(metrics.asked, "10 20 3 4 9 AB");
    EXPECT_EQ(QsPoint(w, h), QsPoint(70, 30));
    EXPECT_EQ(outlineOf(t), (std::vector<QsPoint>{{-35, -15}, {-35, 15}, {35, 15}, {35, -15}}));
    // An answer beyond a coordinate is refused, not cut.
    metrics = {};
    struct Huge : TextMetrics {
        TextExtent measure(int, int, int, int, unsigned, std::string_view) const override {
            return TextExtent{std::int64_t{1} << 40, 1};
        }
    } huge;
    setTextMetrics(&huge);
    EXPECT_EQ(t.extent(w, h), 0);
    setTextMetrics(nullptr);
    EXPECT_EQ(t.extent(w, h), 1);
    EXPECT_EQ(QsPoint(w, h), QsPoint(23, 20));  // the fixed pitch: 10 + 3 + 10
}
