#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "base/ErrorRecord.h"
#include "base/PlatformFile.h"
#include "base/UserInfo.h"
#include "db/LexClassRegistry.h"
#include "db/LexDatabase.h"
#include "db/LexGrid.h"
#include "db/LexPolyline.h"
#include "db/LexSaveInfo.h"
#include "db/LexSheet.h"
#include "db/LexZone.h"
#include "db/ResourceSettings.h"
#include "geom/QsPolyline.h"
#include "support/SheetObjects.h"
#include "support/TestSupport.h"

using testsupport::directoryEntries;
using testsupport::readFile;
using testsupport::ScopedEnv;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

// 4 December 2026, 16:11:56 (UTC).
const char* const kEpoch = "1796400716";

// Every "$id N" line reads "$id #": identifiers are compared apart.
std::string withoutIds(const std::string& text) {
    return std::regex_replace(text, std::regex("\\$id [0-9]+\n"), "$id #\n");
}

// The value part of a property record for the user name of this machine.
std::string userValue() {
    std::string user = currentUserName();
    return user.empty() ? "0\n" : "1\n" + user + "\n";
}

std::string propertyRecord(const std::string& name, const std::string& valuePart) {
    return "LexProperty\n{\n$id #\n0 0\n" + name + "\n" + valuePart + "}\n";
}

// The six save-information records of a first save at kEpoch.
std::string saveInformation() {
    return propertyRecord("author", userValue()) + propertyRecord("date", "1\n26/12/04\n") +
           propertyRecord("time", "1\n16:11:56\n") + propertyRecord("updateUser", userValue()) +
           propertyRecord("updateDate", "1\n26/12/04\n") +
           propertyRecord("updateTime", "1\n16:11:56\n");
}

template <class T>
T* addChild(LexDatabase& db, const char* key, std::unique_ptr<T> child) {
    T* raw = child.get();
    std::unique_ptr<LexObject> object(child.release());
    EXPECT_EQ(db.add(key, object), 1);
    return raw;
}

LexSheetObject* addObject(LexSheet& sheet, std::unique_ptr<LexSheetObject> object) {
    LexSheetObject* raw = object.get();
    EXPECT_EQ(sheet.addObject(object), 1);
    return raw;
}

const std::string kDataDir = std::string(TRAZON_SOURCE_DIR) + "/tests/db/data/";

// A sheet file holding a record of every class, written as the writer writes it.
const std::string kEveryClass = testsupport::readFile(kDataDir + "every-class.sht");

class LexDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(initialiseDatabaseLayer(), 1);
        ErrorRecord::instance().clear();
    }

    // Writes text to a file and opens it.
    std::unique_ptr<LexDatabase> load(const std::string& text, int mode = LexDatabase::kModeUpdate,
                                      const std::string& name = "in.sht") {
        std::string path = dir_.file(name);
        EXPECT_TRUE(writeFile(path, text));
        return LexDatabase::open(path, &settings_, mode);
    }

    TempDir dir_;
    DatabaseSettings settings_{false};
    ScopedEnv epoch_{"SOURCE_DATE_EPOCH", std::string(kEpoch)};
};

}  // namespace

TEST_F(LexDatabaseTest, LaterSavesKeepIdentifiersAuthorAndCountSaves) {
    std::string path = dir_.file("sym.smb");
    std::unique_ptr<LexDatabase> db = LexDatabase::open(path, &settings_, LexDatabase::kModeCreate);
    ASSERT_NE(db, nullptr);
    addChild(*db, "Sheet", std::make_unique<LexSheet>(LexSheet::kKindSymbol));
    ASSERT_EQ(db->save(), 1);
    std::string first = readFile(path);
    ASSERT_EQ(LexDatabase::close(db, LexDatabase::kCloseDiscard), 1);

    ScopedEnv later("SOURCE_DATE_EPOCH", std::string("1796490716"));  // a day and an hour later
    db = LexDatabase::open(path, &settings_, LexDatabase::kModeUpdate);
    ASSERT_NE(db, nullptr);
    EXPECT_EQ(db->sheet()->name(), std::optional<std::string>(" "));  // written for no name
    QsPoint pts[2] = {{0, 0}, {5, 5}};
    std::unique_ptr<LexSheetObject> line(new LexPolyline(QsPolyline(pts, 2)));
    db->sheet()->addObject(line);
    ASSERT_EQ(LexDatabase::close(db, LexDatabase::kCloseSave), 1);
    EXPECT_EQ(db, nullptr);
    std::string second = readFile(path);

    EXPECT_EQ(second.substr(0, 35), "$Version 1.100 12/05 17:11:56 2026\n");
    // Identifiers read are kept; the new polyline takes the next one above them.
    for (int id = 1; id <= 7; ++id) {
        std::string line = "$id " + std::to_string(id) + "\n";
        EXPECT_NE(first.find(line), std::string::npos);
        EXPECT_NE(second.find(line), std::string::npos);
    }
    // The creation stamp stays, the update stamp and the count move on.
    for (const char* part :
         {"LexPolyline\n{\n$id 8\n", "\ndate\n1\n26/12/04\n", "\nupdateDate\n1\n26/12/05\n",
          "\nupdateTime\n1\n17:11:56\n", "\nsaveCount\n1\n2\n"})
        EXPECT_NE(second.find(part), std::string::npos) << part;
    EXPECT_EQ(second.find("\nsaveCount\n1\n1\n"), std::string::npos);

    // A counter that wraps around skips the identifiers of the file: the text loads again.
    std::string text = kEveryClass;
    text.replace(text.find("$id 20\n"), 7, "$id 4294967295\n");
    db = load(text, LexDatabase::kModeUpdate, "wrap.smb");
    ASSERT_NE(db, nullptr);
    ASSERT_EQ(db->save(), 1);
    std::string wrapped = readFile(db->path());
    EXPECT_NE(wrapped.find("$id 1\n0 0\nauthor\n"), std::string::npos);
    EXPECT_NE(load(wrapped, LexDatabase::kModeReadOnly, "wrap2.smb"), nullptr);
}

TEST_F(LexDatabaseTest, SaveStampsFollowTheDateAndTimePatterns) {
    std::tm t{};
    t.tm_year = 126;  // 4 December 2026, 16:11:56
    t.tm_mon = 11;
    t.tm_mday = 4;
    t.tm_hour = 16;
    t.tm_min = 11;
    t.tm_sec = 56;
    EXPECT_EQ(lexVersionLine(t), "$Version 1.100 12/04 16:11:56 2026");
    const std::pair<const char*, const char*> dates[] = {{"YY/MM/DD", "26/12/04"},
                                                         {"YYYY-MM-DD", "2026-12-04"},
                                                         {"DD.MM.YYYY", "04.12.2026"},
                                                         {"YYYYY", "2026Y"},
                                                         {"YYY", "26Y"},
                                                         {"", "2026/12/04"},
                                                         {"MMDD HH:SS", "1204 HH:SS"}};
    for (const auto& [pattern, text] : dates)
        EXPECT_EQ(formatSaveDate(pattern, t), text) << pattern;
    const std::pair<const char*, const char*> times[] = {
        {"HH:MM:SS", "16:11:56"}, {"", "16:11:56"},   {"HHMMSS", "161156"},
        {"SSS", "56S"},           {"H:M:S", "H:M:S"}, {"DD/YY", "DD/YY"}};
    for (const auto& [pattern, text] : times)
        EXPECT_EQ(formatSaveTime(pattern, t), text) << pattern;

    // Without settings the variables give the patterns; a save follows its settings' keys.
    ScopedEnv date("QRX_DATE_FORMAT", std::string("DD.MM.YYYY"));
    ScopedEnv time("QRX_TIME_FORMAT", std::string("HH-MM"));
    EXPECT_EQ(lexDatePattern(nullptr), "DD.MM.YYYY");
    EXPECT_EQ(lexTimePattern(nullptr), "HH-MM");
    DatabaseSettings settings;
    ASSERT_EQ(settings.read("dateFormat : \"YYYY MM DD\"\ntimeFormat : SS"), 1);
    std::unique_ptr<LexDatabase> db =
        LexDatabase::open(dir_.file("stamp.sht"), &settings, LexDatabase::kModeCreate);
    ASSERT_NE(db, nullptr);
    addChild(*db, "Sheet", std::make_unique<LexSheet>());
    ASSERT_EQ(db->save(), 1);
    std::string text = readFile(db->path());
    EXPECT_NE(text.find("\ndate\n1\n2026 12 04\n}\n"), std::string::npos);
    EXPECT_NE(text.find("\ntime\n1\n56\n}\n"), std::string::npos);
}

TEST_F(LexDatabaseTest, SheetsKeepFramesAndCarryNoSaveCount) {
    std::string path = dir_.file("a.sht");
    std::unique_ptr<LexDatabase> db = LexDatabase::open(path, &settings_, LexDatabase::kModeCreate);
    LexSheet* sheet = addChild(*db, "Sheet", std::make_unique<LexSheet>(LexSheet::kKindSchematic));
    addObject(*sheet, std::make_unique<LexFrame>());
    ASSERT_EQ(db->save(), 1);
    std::string text = readFile(path);
    EXPECT_EQ(text.find("saveCount"), std::string::npos);
    EXPECT_NE(text.find("$LexFrameList\n{\nLexFrame\n"), std::string::npos);

    sheet->setKind(LexSheet::kKindSymbol);
    ASSERT_EQ(db->save(), 1);
    text = readFile(path);
    EXPECT_NE(text.find("$LexFrameList\n{\n}\n"), std::string::npos);
    EXPECT_EQ(sheet->frames().size(), 1u);  // frames stay in memory
}

TEST_F(LexDatabaseTest, EveryClassSurvivesLoadAndSave) {
    std::unique_ptr<LexDatabase> db = load(kEveryClass, LexDatabase::kModeUpdate, "all.sht");
    ASSERT_NE(db, nullptr) << ErrorRecord::instance().code();
    LexSheet* sheet = db->sheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(std::tuple(sheet->objectCount(), *sheet->name(), sheet->rawColor()),
              std::tuple(10u, "top sheet", -1));
    const auto texts = listObjects<LexText>(*sheet, kLexListTexts);
    EXPECT_EQ(texts.front()->string(), "R1\nR2");
    EXPECT_EQ(texts.back()->string(), "");
    const auto lines = listObjects<LexPolyline>(*sheet, kLexListPolylines);
    EXPECT_EQ(lines.front()->geometry()->usedCount(), 6);
    EXPECT_TRUE(lines.front()->geometry()->record(1).isMarkedVertex());
    EXPECT_EQ(listObjects<LexPolygon>(*sheet, kLexListPolygons).front()->geometry()->holes().size(),
              1u);
    LexPropBox* box = sheet->propBoxes().head();
    ASSERT_NE(box->property(), nullptr);
    EXPECT_EQ(*box->property()->name(), "title");
    auto refs = sheet->componentReferences();
    EXPECT_EQ(refs, (std::vector<std::pair<std::string, std::string>>{{"R1", "RES 10k"}}));

    std::string input = kEveryClass;
    ASSERT_EQ(db->save(), 1);
    std::string output = readFile(db->path());
    // The text comes back unchanged apart from the header and the save information appended
    // to the sheet's properties.
    std::string expected = input;
    expected.replace(0, expected.find('\n'), "$Version 1.100 12/04 16:11:56 2026");
    std::size_t boxes = expected.find("}\n$LexPropBoxList");
    expected.insert(boxes, saveInformation());
    EXPECT_EQ(withoutIds(output), withoutIds(expected));
    // Identifiers of the file are kept; the new properties count on from the largest.
    EXPECT_EQ(output.substr(output.find("LexNet\n{\n"), 15), "LexNet\n{\n$id 50");
    EXPECT_NE(output.find("$id 53\n0 0\nauthor\n"), std::string::npos);

    // A second load and save is stable.
    std::unique_ptr<LexDatabase> again = load(output, LexDatabase::kModeUpdate, "again.sht");
    ASSERT_NE(again, nullptr);
    ASSERT_EQ(again->save(), 1);
    EXPECT_EQ(readFile(again->path()), output);
}

// A sheet whose arcs were written from centres that are not whole numbers: the angles that the
// arcs rebuilt from these values report differ from the written ones in the last digits. An
// orientation code with bit 2 set and a full circle with two different angles are kept too.
const std::string kLoadedArcs = testsupport::readFile(kDataDir + "loaded-arcs.sht");

TEST_F(LexDatabaseTest, LoadedArcsAreWrittenAsTheyWereRead) {
    std::unique_ptr<LexDatabase> db = load(kLoadedArcs);
    ASSERT_NE(db, nullptr) << ErrorRecord::instance().code();
    std::string expected = kLoadedArcs;
    expected.replace(0, expected.find('\n'), "$Version 1.100 12/04 16:11:56 2026");
    expected.insert(expected.find("}\n$LexPropBoxList"), saveInformation());
    // The first save and every later one write the arcs as they were read.
    ASSERT_EQ(db->save(), 1);
    const std::string first = readFile(db->path());
    EXPECT_EQ(withoutIds(first), withoutIds(expected));
    ASSERT_EQ(db->save(), 1);
    EXPECT_EQ(readFile(db->path()), first);
    std::unique_ptr<LexDatabase> again = load(first, LexDatabase::kModeUpdate, "again.sht");
    ASSERT_NE(again, nullptr);
    ASSERT_EQ(again->save(), 1);
    EXPECT_EQ(readFile(again->path()), first);

    // A moved arc is written from its own values; moved back, it is the arc read again.
    ASSERT_EQ(db->sheet()->moveObjects(QsPoint(10, 0)), 1);
    ASSERT_EQ(db->save(), 1);
    const std::string moved = readFile(db->path());
    EXPECT_NE(moved.find("$Arc -299289 -227304 28073 "), std::string::npos);
    EXPECT_EQ(moved.find("$Arc -299299 -227304 28073 "), std::string::npos);
    ASSERT_EQ(db->sheet()->moveObjects(QsPoint(-10, 0)), 1);
    ASSERT_EQ(db->save(), 1);
    EXPECT_EQ(readFile(db->path()), first);
}

TEST_F(LexDatabaseTest, PackedRecordsKeepTheListsOrderBesideObjectsWithProperties) {
    // Three polylines: a plain one, one with a property, a plain one.
    const std::string plain =
        "LexPolyline\n{\n$id 24\n1 0 5 2\n{\n2\n$Point 0 0 0\n"
        "$Point 5 5 0\n}\n}\n";
    const std::string withProperty =
        "LexPolyline\n{\n$id 140\n1 0 5 2\n{\n1\n$Point 1 1 0\n}\n$LexPropertyList\n{\n"
        "LexProperty\n{\n$id 141\n0 0\nnet\n1\nA1\n}\n}\n$LexPropBoxList\n{\n}\n}\n";
    std::string last = plain;
    last.replace(last.find("$id 24"), 6, "$id 142");
    std::string text = kEveryClass;
    const std::size_t from = text.find("LexPolyline\n");
    text.replace(from, text.find("}\n$LexPolygonList") - from, plain + withProperty + last);
    std::unique_ptr<LexDatabase> db = load(text);
    ASSERT_NE(db, nullptr) << ErrorRecord::instance().code();
    const LexSheet& sheet = *db->sheet();
    EXPECT_EQ(sheet.objectCount(kLexListPolylines), 3u);
    EXPECT_EQ(sheet.packed().count(kLexTypePolyline), 1u);  // only the one after the object
    EXPECT_EQ(sheet.packed().count(kLexTypePolygon), 1u);
    std::vector<std::uint32_t> ids;
    sheet.forEachInList(kLexListPolylines, [&ids](LexSheetObject& o) {
        ids.push_back(o.fileId());
        return false;
    });
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{24, 140, 142}));
    ASSERT_EQ(db->save(), 1);
    const std::string saved = readFile(db->path());
    auto polylineList = [](const std::string& t) {
        const std::size_t at = t.find("$LexPolylineList");
        return t.substr(at, t.find("$LexPolygonList") - at);
    };
    EXPECT_EQ(polylineList(saved), polylineList(text));
}

TEST_F(LexDatabaseTest, ReaderChecksRejectWithTheirCodes) {
    struct Case {
        const char* what;
        std::string text;
        int code;  // 0: the file loads
    };
    std::string full = kEveryClass;
    auto replaced = [&full](const std::string& from, const std::string& to) {
        std::string t = full;
        std::size_t at = t.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return t.replace(at, from.size(), to);
    };
    std::string crlf;
    for (char c : full)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const Case cases[] = {
        {"valid", full, 0},
        {"CR LF line ends", crlf, 0},
        {"no header line", full.substr(full.find('\n') + 1), 0},
        {"version inside the braces", replaced("{\nZone", "{\nVersion 1.100 a b c\nZone"), 0},
        {"missing closing brace at the end", full.substr(0, full.size() - 2), 0},
        {"empty file", "", 30006},
        {"empty first line", "\n" + full, 30006},
        {"80-byte first line", std::string(80, 'x') + "\n" + full, 30006},
        {"79-byte first line",
         "$Version 1.100 a b c LexDatabase" + std::string(47, ' ') + "\n{\n}\n", 0},
        // The first line is no text value: its carriage return counts.
        {"79-byte first line and CR",
         "$Version 1.100 a b c LexDatabase" + std::string(47, ' ') + "\r\n{\n}\n", 30006},
        {"78-byte first line and CR",
         "$Version 1.100 a b c LexDatabase" + std::string(46, ' ') + "\r\n{\n}\n", 0},
        {"a database as a child", replaced("Grid\nLexGrid", "Grid\nLexDatabase"), 30006},
        {"wrong class", replaced("\nLexDatabase\n", "\nLexDataBase\n"), 30006},
        {"missing brace", replaced("LexDatabase\n{", "LexDatabase\n"), 30006},
        {"zero identifier", replaced("$id 20\n", "$id 0\n"), 30006},
        {"duplicate identifier", replaced("$id 20\n", "$id 21\n"), 30006},
        {"missing identifier", replaced("$id 20\n", ""), 30006},
        {"vertex count too small", replaced("{\n6\n$Point", "{\n5\n$Point"), 30006},
        {"vertex count too large", replaced("{\n6\n$Point", "{\n7\n$Point"), 30006},
        {"vertex count beyond a polyline", replaced("{\n6\n$Point", "{\n70000\n$Point"), 30006},
        {"unknown vertex line", replaced("$Point 1600", "$Spot 1600"), 30006},
        {"unknown class", replaced("Grid\nLexGrid", "Grid\nLexGrille"), 30006},
        {"duplicate child key", replaced("Sheet\nLexSheet", "Grid\nLexSheet"), 30004},
        {"missing property list marker", replaced("$LexPropertyList\n", ""), 30006},
        {"coordinate out of range", replaced("$Point 1600", "$Point 2147483648"), 30006},
        {"truncated record", full.substr(0, full.find("$Point 1600")), 30006},
    };
    for (const Case& c : cases) {
        ErrorRecord::instance().clear();
        std::unique_ptr<LexDatabase> db = load(c.text, LexDatabase::kModeReadOnly);
        if (c.code == 0) {
            EXPECT_NE(db, nullptr) << c.what << ": code " << ErrorRecord::instance().code();
        } else {
            EXPECT_EQ(db, nullptr) << c.what;
            EXPECT_EQ(ErrorRecord::instance().code(), c.code) << c.what;
        }
    }
    // Failures without a code of their own: the sheet's opening brace, an unknown list marker.
    for (const std::string& text :
         {replaced("LexSheet\n{", "LexSheet\n"), replaced("$LexPolylineList", "$LexPolyList")}) {
        EXPECT_EQ(load(text, LexDatabase::kModeReadOnly), nullptr);
    }
    // A polyline record without geometry fails its check.
    LexPolyline bare;
    EXPECT_FALSE(bare.postLoadCheck());
}

TEST_F(LexDatabaseTest, ReaderRepairsValues) {
    // The sheet record's third line: display flag, sheet colour, sheet-size colour. Colours
    // outside 0-16 become 0; -1 is the default colour.
    struct Case {
        std::string colours;
        int color, sizeColor;
    };
    const Case cases[] = {
        {"1 16 16", 16, 16}, {"1 17 17", 0, 0},   {"1 0 15", 0, 15},
        {"1 -1 3", -1, 3},   {"1 255 256", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.colours);
        std::string text = kEveryClass;
        text.replace(text.find("1 -1 3\n0 0 420000"), 6, c.colours);
        std::unique_ptr<LexDatabase> db = load(text, LexDatabase::kModeReadOnly);
        ASSERT_NE(db, nullptr);
        EXPECT_EQ(std::tuple(db->sheet()->rawColor(), db->sheet()->sizeColor(), db->version()),
                  std::tuple(c.color, c.sizeColor, 1.1));
    }
    // A negative style is the default; a colour is masked to its field.
    std::string text = kEveryClass;
    text.replace(text.find("$id 24\n1 0 5 2"), 14, "$id 24\n0 -7 300 17");
    std::unique_ptr<LexDatabase> db = load(text, LexDatabase::kModeReadOnly);
    ASSERT_NE(db, nullptr);
    const auto lines = listObjects<LexPolyline>(*db->sheet(), kLexListPolylines);
    const LexPolyline* line = lines.front().get();
    EXPECT_EQ(
        std::tuple(line->isVisible(), line->rawLineStyle(), line->rawColor(), line->rawLineWidth()),
        std::tuple(false, -1, 300 & 0xFF, 17));

    // Files before version 1.1 (and files without a version) get the legacy repair.
    std::string old = kEveryClass;
    old = old.substr(old.find('\n') + 1);
    old.replace(old.find("$id 11\n1 0\n\n0\n"), 14, "$id 11\n0 0\ncomponentKind\n1\n12\n");
    old.replace(old.find("65541 1 131072"), 14, "786437 1 131072");
    db = load(old, LexDatabase::kModeReadOnly);
    ASSERT_NE(db, nullptr);
    EXPECT_EQ(db->version(), 0.0);
    LexProperty* type = findProperty(db->sheet()->properties(), "componentType", 0);
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(*type->value(), "powerBox");
    std::uint32_t kind = 0, number = 0, attr = 0;
    ASSERT_TRUE(db->sheet()->components().head()->headValues(kind, number, attr));
    EXPECT_EQ(kind, (12u << 16) | 0x400u);
}

TEST_F(LexDatabaseTest, OpenModesSayWhichFileFailedAndWhy) {
    ASSERT_TRUE(writeFile(dir_.file("in.sht"), kEveryClass));
    ASSERT_TRUE(writeFile(dir_.file("bad.sht"), "LexDatabase\n{\nSheet\nLexSheet\n}\n"));
    struct Case {
        std::string path;
        int mode, code, sysError;
    };
    const Case cases[] = {
        {dir_.file("in.sht"), LexDatabase::kModeCreate, 30016, 0},
        {dir_.file("none.sht"), LexDatabase::kModeReadOnly, 30017, ENOENT},
        {dir_.path(), LexDatabase::kModeUpdate, 30001, EISDIR},
        {dir_.file("bad.sht"), LexDatabase::kModeUpdate, 30006, 0},
        {dir_.file("in.sht"), 7, 30002, 0},
        {dir_.file("in.sht"), LexDatabase::kModeUpdate, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        ErrorRecord::instance().clear();
        Status status = Status::failure(-1, "stale");
        const bool opened = LexDatabase::open(c.path, &settings_, c.mode, &status) != nullptr;
        EXPECT_EQ(opened, c.code == 0);
        EXPECT_EQ(std::tuple(status.code, status.path, status.sysError),
                  std::tuple(c.code, c.code == 0 ? "" : c.path, c.sysError));
        // A file that cannot be read as a database leaves what its reader recorded.
        if (c.code != 30006) {
            EXPECT_EQ(ErrorRecord::instance().code(), c.code);
        }
    }

    // A read-only database refuses to save and to close with a save, and is never written.
    const std::string path = dir_.file("in.sht");
    std::unique_ptr<LexDatabase> db =
        LexDatabase::open(path, &settings_, LexDatabase::kModeReadOnly);
    ASSERT_NE(db, nullptr);
    EXPECT_EQ(db->sheet()->environment(), &settings_);
    EXPECT_EQ(db->save(), 0);
    EXPECT_EQ(ErrorRecord::instance().code(), 30005);
    EXPECT_EQ(LexDatabase::close(db, LexDatabase::kCloseSave), 0);
    EXPECT_EQ(ErrorRecord::instance().code(), 30002);
    ASSERT_NE(db, nullptr);  // refused: still open
    EXPECT_EQ(LexDatabase::close(db, LexDatabase::kCloseSaveUnlessReadOnly), 1);
    EXPECT_EQ(db, nullptr);
    EXPECT_EQ(readFile(path), kEveryClass);

    // A save that cannot begin names the file it was to write; the database stays open.
    const std::string lost = dir_.file("no/such/dir/x.sht");
    db = LexDatabase::open(lost, nullptr, LexDatabase::kModeCreate);
    ASSERT_NE(db, nullptr);
    addChild(*db, "Sheet", std::make_unique<LexSheet>());
    Status status;
    EXPECT_EQ(db->save(&status), 0);
    EXPECT_EQ(std::tuple(status.code, status.path, status.sysError),
              std::tuple(30001, lost, ENOENT));
    EXPECT_EQ(LexDatabase::close(db, LexDatabase::kCloseSave), 0);
    EXPECT_NE(db, nullptr);
    EXPECT_EQ(LexDatabase::close(db, LexDatabase::kCloseDiscard), 1);
}

TEST_F(LexDatabaseTest, AFaultAtAnyStepOfASaveKeepsTheOldFile) {
    // A numbered sheet of a circuit: its save also replaces the three reference logs.
    const std::string circuit = dir_.file("c.cir");
    std::filesystem::create_directories(circuit + "/log");
    const std::string path = circuit + "/top.1.sht";
    Status status;
    auto saveWithFault = [&](long n, int error) {
        writeFile(path, kEveryClass);
        writeFile(circuit + "/log/ref.log", "old\n");
        std::unique_ptr<LexDatabase> db =
            LexDatabase::open(path, &settings_, LexDatabase::kModeUpdate);
        EXPECT_NE(db, nullptr);
        ErrorRecord::instance().clear();
        platform::injectFileFault(n, error);
        const int saved = db ? db->save(&status) : -1;
        const long steps = platform::fileOperationCount();
        platform::injectFileFault(0, 0);
        return std::make_pair(saved, steps);
    };
    const auto [saved, steps] = saveWithFault(0, 0);
    EXPECT_TRUE(status.ok());
    ASSERT_EQ(saved, 1);
    const std::string written = readFile(path);
    const std::string references = readFile(circuit + "/log/ref.log");
    const int errors[] = {ENOSPC, EIO, EROFS, EFBIG};
    int failed = 0;
    for (long n = 1; n <= steps; ++n) {
        SCOPED_TRACE(n);
        const int error = errors[n % 4];
        if (saveWithFault(n, error).first == 0) {
            ++failed;
            EXPECT_EQ(ErrorRecord::instance().code(), 30001);
            EXPECT_EQ(status.code, 30001);
            EXPECT_EQ(status.path, path);
            EXPECT_EQ(status.sysError, error);  // the reason of the step that failed
            EXPECT_EQ(readFile(path), kEveryClass);
        } else {
            EXPECT_EQ(readFile(path), written);
        }
        // A reference log is the old one or the whole new one.
        const std::string ref = readFile(circuit + "/log/ref.log");
        EXPECT_TRUE(ref == "old\n" || ref == references) << ref;
        EXPECT_EQ(directoryEntries(circuit), (std::set<std::string>{"log", "top.1.sht"}));
        EXPECT_EQ(directoryEntries(circuit + "/log"),
                  (std::set<std::string>{"hcn.log", "ref.log", "scn.log"}));
    }
    // Only the sheet's own write, sync, close and rename fail the save: the reference logs are
    // a by-product, and after the rename the new file stands.
    EXPECT_EQ(failed, 4);
}
