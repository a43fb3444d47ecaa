// An arc on a sheet: a QsArc with its orientation flags, line style, colour and width indices
// (each able to follow the settings default), properties.
#pragma once

#include <memory>
#include <optional>

#include "db/LexArcAsRead.h"
#include "db/LexStrokedObject.h"
#include "geom/QsArc.h"

class LexArc : public LexStrokedObject<LexArc> {
public:
    // The same layout as a polyline's.
    static constexpr LexAttrField kColor{8, 8, 1, SettingsDefault::LineColor};
    static constexpr LexAttrField kLineStyle{4, 4, 2, SettingsDefault::LineStyle};
    static constexpr LexAttrField kLineWidth{16, 8, 3, SettingsDefault::LineWidth};

    // Visible, all indices 0, a zero arc.
    LexArc();
    explicit LexArc(const QsArc& geometry);
    ~LexArc() override;

    bool postLoadCheck() const override { return true; }
    int typeCode() const override { return kLexTypeArc; }
    const char* className() const override { return "LexArc"; }
    std::unique_ptr<LexObject> clone() const override;
    int write(TokenFile& file) override;
    std::uint32_t read(TokenFile& file, LexReadContext& context) override;
    LexArc* asArc() override { return this; }
    const LexArc* asArc() const override { return this; }

    // Start, end and the axis points of the circle that the arc passes through.
    void updateBox() override;
    int move(const QsPoint& delta) override;

    const QsArc& geometry() const { return arc_; }
    void setGeometry(const QsArc& arc);

private:
    LexArc(const LexArc& other);

    QsArc arc_;
    // The record's values as the file held them, written back while the arc is unchanged.
    std::optional<LexArcAsRead> asRead_;
};
