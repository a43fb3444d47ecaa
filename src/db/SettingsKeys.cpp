// The keys of the settings files, one row per key, in the order the files' description lists
// them. A row: key, form, target slot, check of a scalar value, checks of a table's columns
// after the index, names of an enumeration. A row with only its key is a preference kept as
// written (read and handed back by valueOf/tableOf, used by nothing in the converter).
#include "db/SettingsKeys.h"

#include <algorithm>
#include <cstring>

#include "db/ResourceSettings.h"

namespace {

using F = SettingsForm;
using C = SettingsCheck;

// Table layouts: the columns after the index.
constexpr C kColorColumns[] = {C::Byte, C::Byte, C::Byte, C::String};  // red, green, blue, name
constexpr C kLineWidthColumns[] = {C::Length};
constexpr C kLineStyleColumns[] = {C::Length, C::Length, C::Length, C::Length};  // dash, gap x2
constexpr C kFillStyleColumns[] = {C::FillKind, C::Real, C::Length};        // kind, angle, pitch
constexpr C kTextColumns[] = {C::Length, C::Length, C::Length, C::Length};  // w, h, gaps
constexpr C kPrecisionColumns[] = {C::String, C::PositiveReal, C::Real};    // name, units/mm, ratio
constexpr C kPathColumns[] = {C::String};
constexpr C kGridColumns[] = {C::UInt16, C::UInt16, C::PositiveMm, C::PositiveMm};
constexpr C kSymSheetColumns[] = {C::String, C::Mm, C::Mm, C::Mm, C::Mm};  // name, corners
constexpr C kSchSheetColumns[] = {C::String, C::Mm, C::Mm, C::Mm, C::Mm, C::UInt16, C::String};
constexpr C kSheetAttrColumns[] = {C::String, C::String};

// Enumerations.
constexpr SettingsName kJustifications[] = {
    {"lowerLeft", 0},  {"lowerCenter", 1},  {"lowerRight", 2},
    {"centerLeft", 4}, {"centerCenter", 5}, {"centerRight", 6},
    {"upperLeft", 8},  {"upperCenter", 9},  {"upperRight", 10},
};
constexpr SettingsName kZoneOrigins[] = {
    {"DownLeft", kZoneDownLeft},
    {"DownRight", kZoneDownRight},
    {"UpLeft", kZoneUpLeft},
    {"UpRight", kZoneUpRight},
};
constexpr SettingsName kZoneOffsetModes[] = {
    {"Off", kZoneOffsetOff},
    {"CenterEnd", kZoneOffsetCenterEnd},
    {"CenterCross", kZoneOffsetCenterCross},
};

// "landata". The 25 default keys stand in kDefaultKeys (after the style tables in the files).
constexpr SettingsKey kDatabaseKeys[] = {
    {"precisionTable", F::Table, kDbPrecisionTable, C::String, kPrecisionColumns},
    {"precisionTblNo", F::Integer, kDbPrecisionTblNo, C::Int},
    {"nlogicStartChar", F::Character, kDbNlogicStartChar},
    {"nlogicEndChar", F::Character, kDbNlogicEndChar},
    {"busStartChar", F::Character, kDbBusStartChar},
    {"busEndChar", F::Character, kDbBusEndChar},
    {"bitEndChar", F::Character, kDbBitEndChar},
    {"rangeEndChar", F::Character, kDbRangeEndChar},
    {"rangeStepChar", F::Character, kDbRangeStepChar},
    {"nodeSize", F::Real, kDbNodeSize, C::Real},
    {"cornerRadius", F::Real, kDbCornerRadius, C::Real},
    {"colorTable", F::Table, kDbColorTable, C::String, kColorColumns},
    {"textTable", F::Table, kDbTextTable, C::String, kTextColumns},
    {"lineWidth", F::Table, kDbLineWidth, C::String, kLineWidthColumns},
    {"lineStyleTable", F::Table, kDbLineStyleTable, C::String, kLineStyleColumns},
    {"fillStyleTable", F::Table, kDbFillStyleTable, C::String, kFillStyleColumns},
    {"dataTrap"},
    {"symbPathTable", F::Table, kDbSymbPathTable, C::String, kPathColumns},
    {"contPathTable", F::Table, kDbContPathTable, C::String, kPathColumns},
    {"lcdbPathTable", F::Table, kDbLcdbPathTable, C::String, kPathColumns},
    {"propDispNum"},
    {"contentsViewer"},
    {"contentsFrameIsVisible"},
    {"contentsUnvisibleCmpType"},
    {"vmarkFlag"},
    {"vmarkStr"},
    {"vmarkPname"},
    {"noMountAliasName"},
    {"noMountAliasValue"},
    {"noMountDispStyle"},
    {"busNSimpleDispFlag"},
    {"busNSimpleDispSepChar"},
    {"busNSimpleDispCrownChar"},
    {"useBusAliasFlag"},
    {"createNetLabelFromDefRef"},
    {"sheetNetErrorLevel", F::String, kDbSheetNetErrorLevel},
    {"overwritePortMode"},
    {"simpleArray", F::Flag, kDbSimpleArray},
    {"dateFormat", F::String, kDbDateFormat, C::Pattern},
    {"timeFormat", F::String, kDbTimeFormat, C::Pattern},
    {"nplNoMountCompDispStyle"},
    {"nplNoMountCompAliasName"},
    {"nplNoMountCompAliasValue"},
};

// "lanenv": the keys that shape the converter's output, then the editor's preferences.
constexpr SettingsKey kEnvironmentKeys[] = {
    {"gridTable", F::Table, kEnvGridTable, C::String, kGridColumns},
    {"gridColor", F::Integer, kEnvGridColor, C::Int},
    {"symSheetSizeTable", F::Table, kEnvSymSheetSizeTable, C::String, kSymSheetColumns},
    {"schSheetSizeTable", F::Table, kEnvSchSheetSizeTable, C::String, kSchSheetColumns},
    {"schSheetAttrTable", F::Table, kEnvSchSheetAttrTable, C::String, kSheetAttrColumns},
    {"symSheetSizeColor", F::Integer, kEnvSymSheetSizeColor, C::Int},
    {"schSheetSizeColor", F::Integer, kEnvSchSheetSizeColor, C::Int},
    {"zonePitchX", F::Real, kEnvZonePitchX, C::ZonePitch},
    {"zonePitchY", F::Real, kEnvZonePitchY, C::ZonePitch},
    {"zoneStartTextX", F::Character, kEnvZoneStartTextX},
    {"zoneStartTextY", F::Character, kEnvZoneStartTextY},
    {"zoneOrigin", F::Name, kEnvZoneOrigin, C::String, {}, kZoneOrigins},
    {"zoneDispFlag", F::Flag, kEnvZoneDispFlag},
    {"zoneOffsetX", F::Real, kEnvZoneOffsetX, C::Mm},
    {"zoneOffsetY", F::Real, kEnvZoneOffsetY, C::Mm},
    {"zoneOffsetMode", F::Name, kEnvZoneOffsetMode, C::String, {}, kZoneOffsetModes},
    {"textJustify", F::Name, kEnvTextJustify, C::String, {}, kJustifications},
    {"pvJustify", F::Name, kEnvPvJustify, C::String, {}, kJustifications},
    {"zipText", F::Flag, kEnvZipText},
    {"doNotSelectUnvisiblePbox", F::Flag, kEnvDoNotSelectUnvisiblePbox},
    {"dProject"},
    {"screenTrap"},
    {"panRatio"},
    {"zoomRatio"},
    {"adjustRatio"},
    {"cursorType"},
    {"cursorColor"},
    {"rotateRatio"},
    {"dFocus"},
    {"areaMode"},
    {"roundRectCornerRadius"},
    {"inputGrid"},
    {"echoGrid"},
    {"gridHighlightColor"},
    {"symSheetDispFlag"},
    {"schSheetDispFlag"},
    {"symbolPath"},
    {"cScale"},
    {"cPvScaleFlag"},
    {"cAngle"},
    {"cSearchFlag"},
    {"cCutinFlag"},
    {"netInputMode"},
    {"nSearchFlag"},
    {"busInputMode"},
    {"bSearchFlag"},
    {"netTheta"},
    {"slide"},
    {"mvSearchFlag"},
    {"mvPvGridFlag"},
    {"cpSearchFlag"},
    {"mcpSearchFlag"},
    {"pasteSearchFlag"},
    {"deleteWithNet"},
    {"cbufWithNetLabel"},
    {"cbufWithReference"},
    {"ripperStyle"},
    {"ripperDir"},
    {"pvAngle"},
    {"pvDispMode"},
    {"pvOffsetFromObjX"},
    {"pvOffsetFromObjY"},
    {"lineInputMode"},
    {"lineTheta"},
    {"circleInputMode"},
    {"circleRadius"},
    {"textAngle"},
    {"sPinDispFlag"},
    {"compIDDispFlag"},
    {"netIDDispFlag"},
    {"cPinIDDispFlag"},
    {"sPinIDDispFlag"},
    {"pvIDDispFlag"},
    {"backupTime"},
    {"undoLimit"},
    {"logfile"},
    {"openCheckMarkColor"},
    {"openCheckMarkFlag"},
    {"liftPointCPin"},
    {"dispRoute"},
    {"measureColor"},
    {"measureFontForUNIX"},
    {"measureFontForWIN"},
    {"measureDisp"},
    {"measurePos"},
    {"netDupCheck"},
    {"swapSConnMode"},
    {"swapSDisconnChgPin"},
    {"cpNetLabelIncrement"},
    {"dynamicScroll"},
    {"chgNetLabelScope"},
    {"chgNetLabelDispFlag"},
    {"chgNetLabelAutoRefMode"},
    {"chgNetLabelListHeightSize"},
    {"chgNetLabelViewSelectBusLabel"},
    {"selectNetDialogBootMode"},
    {"cpsSelectMode"},
    {"cpsSearchMode"},
    {"UnloadedSymbolCheck"},
    {"UpdatedSymbolCheckFlag"},
    {"symbDefaultcompType"},
    {"saveAreaFlag"},
    {"BlockCheckTiming"},
    {"moveSignMode"},
    {"dynPanFlag"},
    {"autoSaveRuleCheck"},
    {"autoSaveReload"},
    {"autoSaveReloadKeyName"},
    {"autoSaveReloadRscFile"},
};

}  // namespace

const DefaultKey kDefaultKeys[kSettingsDefaultCount] = {
    {"defaultCompColor", -1, kDbColorTable},
    {"defaultFrameColor", 0, kDbColorTable},
    {"defaultNetColor", 0, kDbColorTable},
    {"defaultBusColor", 0, kDbColorTable},
    {"defaultLineColor", 0, kDbColorTable},
    {"defaultCircleColor", 0, kDbColorTable},
    {"defaultTextColor", 0, kDbColorTable},
    {"defaultPropertyColor", 0, kDbColorTable},
    {"defaultSymbSheetColor", 0, kDbColorTable},
    {"defaultSchmSheetColor", 0, kDbColorTable},
    {"defaultSymbFrameColor", 13, kDbColorTable},
    {"defaultLineWidth", 0, kDbLineWidth},
    {"defaultFrameLineWidth", 0, kDbLineWidth},
    {"defaultNetLineWidth", 0, kDbLineWidth},
    {"defaultBusLineWidth", 0, kDbLineWidth},
    {"defaultCircleLineWidth", 0, kDbLineWidth},
    {"defaultLineStyle", 0, kDbLineStyleTable},
    {"defaultFrameLineStyle", 0, kDbLineStyleTable},
    {"defaultNetLineStyle", 0, kDbLineStyleTable},
    {"defaultBusLineStyle", 0, kDbLineStyleTable},
    {"defaultCircleLineStyle", 0, kDbLineStyleTable},
    {"defaultFillStyle", 0, kDbFillStyleTable},
    {"defaultCircleFillStyle", 0, kDbFillStyleTable},
    {"defaultTextFont", 0, kDbTextTable},
    {"defaultPropertyFont", 0, kDbTextTable},
};

SettingsKeySet::SettingsKeySet(std::vector<SettingsKey> keys) : keys_(std::move(keys)) {
    std::sort(keys_.begin(), keys_.end(), [](const SettingsKey& a, const SettingsKey& b) {
        return std::strcmp(a.key, b.key) < 0;
    });
    int tableSlots = 0;
    for (const SettingsKey& k : keys_) {
        if (k.form == F::Table) {
            tableSlots = std::max(tableSlots, k.slot + 1);
        } else if (k.form != F::Kept) {
            scalarSlots_ = std::max(scalarSlots_, k.slot + 1);
        }
    }
    tableColumns_.assign(static_cast<std::size_t>(tableSlots), 0);
    for (const SettingsKey& k : keys_) {
        if (k.form == F::Table) tableColumns_[static_cast<std::size_t>(k.slot)] = k.columnCount();
    }
}

const SettingsKey* SettingsKeySet::find(std::string_view key) const {
    auto it = std::lower_bound(keys_.begin(), keys_.end(), key,
                               [](const SettingsKey& r, std::string_view k) { return r.key < k; });
    if (it == keys_.end() || std::string_view(it->key) != key) return nullptr;
    return &*it;
}

const SettingsKeySet& databaseKeys() {
    static const SettingsKeySet keys = [] {
        std::vector<SettingsKey> rows(std::begin(kDatabaseKeys), std::end(kDatabaseKeys));
        for (int i = 0; i < kSettingsDefaultCount; ++i)
            rows.push_back({kDefaultKeys[i].key, F::Integer, kDbDefaultFirst + i, C::Int});
        return SettingsKeySet(std::move(rows));
    }();
    return keys;
}

const SettingsKeySet& environmentKeys() {
    static const SettingsKeySet keys(
        std::vector<SettingsKey>(std::begin(kEnvironmentKeys), std::end(kEnvironmentKeys)));
    return keys;
}
