// The conversion report's text: strings escaped so that any byte gives valid JSON, and the
// tally's counts under their documented keys.
#include "app/ConversionReport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The text after "key": up to the end of its line (without a trailing comma).
std::string valueOf(const std::string& json, const std::string& key) {
    const std::size_t at = json.find("\"" + key + "\": ");
    if (at == std::string::npos) return "<missing>";
    const std::size_t start = at + key.size() + 4;
    std::string value = json.substr(start, json.find('\n', start) - start);
    if (!value.empty() && value.back() == ',') value.pop_back();
    return value;
}

}  // namespace

TEST(ConversionReport, StringsAreValidJsonForAnyBytes) {
    const struct {
        std::string bytes;
        const char* json;
    } cases[] = {
        {"PD", "\"PD\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {std::string("\0\n\x1f\x7f", 4), "\"\\u0000\\u000a\\u001f\\u007f\""},
        {"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80", "\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\""},
        {"\xff\xfe", "\"\\u00ff\\u00fe\""},
        {"\xc0\xaf", "\"\\u00c0\\u00af\""},                        // overlong "/"
        {"\xed\xa0\x80", "\"\\u00ed\\u00a0\\u0080\""},             // a surrogate
        {"\xf4\x90\x80\x80", "\"\\u00f4\\u0090\\u0080\\u0080\""},  // beyond U+10FFFF
        {"\xe2\x82", "\"\\u00e2\\u0082\""},                        // cut short at the end
        {"\xe2\x82x", "\"\\u00e2\\u0082x\""},                      // cut short by a letter
        {"\xc3", "\"\\u00c3\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(jsonString(c.bytes), c.json) << c.json;
}

TEST(ConversionReport, CountsWarningsAndExtent) {
    ReportFacts facts;
    facts.input = "/plots/a.plt";
    facts.output = "/out/a.smb";
    ConversionTally& t = facts.tally;
    t.statements.perCommand[0] = 3;
    t.statements.countIgnored("ZZ");
    t.statements.countIgnored("ZZ");
    t.statements.countIgnored("\x1b.I");
    t.statements.countIgnored("12");
    t.failures[{"PD", 54}] = 2;
    t.failures[{"PA", 54}] = 1;
    t.failures[{"PD", 23}] = 5;
    t.figures[static_cast<size_t>(FigureOutcome::kNotAdded)] = 4;
    t.figures[static_cast<size_t>(FigureOutcome::kOutOfRange)] = 6;
    t.objects = {7, 8, 9};
    t.extent = QsBox(-1500, 0, 1998500, 2000000);  // exactly 2 m wide and high

    std::string json = conversionReportJson(facts);
    // "total" first found is the statements' (ignored ones too); "warnings" is empty.
    for (const std::string field :
         {"bytes=null", "kind=\"symbol\"", "ZZ=2", "escapeSequences=1", "leadingParameters=1",
          "tooManyPoints=3", "outOfRange=6", "notAdded=4", "polylines=7", "polygons=8", "texts=9",
          "total=7", "xmin=-1500", "warnings=[]"}) {
        const std::string key = field.substr(0, field.find('='));
        EXPECT_EQ(key + "=" + valueOf(json, key), field);
    }
    EXPECT_NE(json.find("\"texts\": 9,\n    \"total\": 24\n"), std::string::npos) << json;
    EXPECT_NE(json.find("\"xmin\": -1.500,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"width\": 2000.000,"), std::string::npos) << json;

    // One unit more is more than 2 m; no object at all is nothing converted.
    t.extent->y1 = -1;
    t.objects = {0, 0, 0};
    json = conversionReportJson(facts);
    EXPECT_NE(json.find("\"code\": \"largeDrawing\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"code\": \"nothingConverted\""), std::string::npos) << json;
}
