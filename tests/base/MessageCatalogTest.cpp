#include "base/MessageCatalog.h"

#include <gtest/gtest.h>

#include <string>

#include "base/Language.h"
#include "base/PathUtil.h"
#include "base/SysEnv.h"
#include "support/TestSupport.h"

using testsupport::ScopedEnv;
using testsupport::TempDir;

namespace {

// An installation root with catalogue files below <root>/mess/<subdir>/<language>.
class Installation {
public:
    void add(const std::string& subdir, const std::string& language, const char* module,
             const std::string& text) {
        std::string dir = dir_.path();
        for (const std::string& part : {std::string("mess"), subdir, language}) {
            if (part.empty()) continue;
            pathAppend(dir, part);
            makeDirectory(dir);
        }
        ASSERT_TRUE(testsupport::writeFile(pathJoin(dir, module), text));
    }
    const std::string& root() const { return dir_.path(); }

private:
    TempDir dir_;
};

class MessageCatalogTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetSysEnv();
        resetCharsetKind();
    }
    void TearDown() override {
        resetSysEnv();
        resetCharsetKind();
    }
};

}  // namespace

TEST(MessageFormat, PlaceholdersAreFormattedByOwnCode) {
    EXPECT_EQ(formatMessage("Cannot open %s.", {"a.sht"}), "Cannot open a.sht.");
    EXPECT_EQ(formatMessage("%d of %s", {3, "pens"}), "3 of pens");
    EXPECT_EQ(formatMessage("100%% done", {}), "100% done");
    // Other conversions are never interpreted: they stand as written.
    EXPECT_EQ(formatMessage("%n%x%p%5d %.3f %", {"a"}), "%n%x%p%5d %.3f %");
    EXPECT_EQ(formatMessage("%s and %s", {"one"}), "one and ");
    EXPECT_EQ(formatMessage("%s%s", {"%s", "%d"}), "%s%d");  // arguments are not templates
    EXPECT_EQ(formatMessage("%d", {-2147483647 - 1}), "-2147483648");
    EXPECT_EQ(formatMessage("%s", {static_cast<const char*>(nullptr)}), "");
}

TEST(MessageModule, ParsesNumberTabTextLines) {
    auto module = MessageModule::parse(
        "# comment\n"
        "\n"
        "36701\tFirst text\r\n"
        "36702\t\n"
        "36703 missing tab\n"
        "x36704\tbad number\n"
        "99999999999\ttoo large\n"
        "36701\tsecond line of the same number\n"
        "7\ttab\tinside");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->size(), 3u);
    ASSERT_NE(module->find(36701), nullptr);
    EXPECT_EQ(*module->find(36701), "First text");
    ASSERT_NE(module->find(36702), nullptr);
    EXPECT_EQ(*module->find(36702), "");
    EXPECT_EQ(module->find(36703), nullptr);
    EXPECT_EQ(*module->find(7), "tab\tinside");
    EXPECT_EQ(MessageModule::load("/nonexistent/error.msg"), nullptr);
}

TEST_F(MessageCatalogTest, LanguageDirectoryAndJapaneseFallback) {
    Installation inst;
    inst.add("edif2qrx", "eng", "error.msg", "36710\tCannot read %s.\n36711\t\n");
    inst.add("edif2qrx", "eng", "guide.msg", "36752\tSaved %s.\n");
    inst.add("edif2qrx", "jpn", "error.msg", "36710\tJPN %s\n");
    ScopedEnv root("QRXROOT", inst.root());

    {
        ScopedEnv lang("QLANG", "C");
        MessageCatalog catalog;
        EXPECT_EQ(catalog.openCatalog("QRXROOT/edif2qrx"), 1);
        EXPECT_EQ(catalog.languageDirectory(), "eng");
        EXPECT_EQ(catalog.baseDirectory(), pathJoin(inst.root(), "mess/edif2qrx"));
        ASSERT_EQ(catalog.sourceCount(), 1u);
        EXPECT_STREQ(catalog.messageText(36710, kMessageError, {"x.plt"}), "Cannot read x.plt.");
        EXPECT_EQ(catalog.lastSource(), catalog.source(0));
        EXPECT_STREQ(catalog.messageText(36752, kMessageGuide, {"y.sht"}), "Saved y.sht.");
        // A guide number is not looked for in the error catalogue.
        EXPECT_STREQ(catalog.messageText(36752, kMessageError), "Message No.36752");
        EXPECT_EQ(catalog.lastSource(), nullptr);
        // A number with an empty text is found, and empty.
        EXPECT_STREQ(catalog.messageText(36711, kMessageError), "");
        EXPECT_NE(catalog.lastSource(), nullptr);
        EXPECT_STREQ(catalog.messageText(7, kMessageError), "Message No.7");
    }
    resetSysEnv();
    {
        // Korean is not installed: both modules come from the Japanese directory, and the
        // guide module, missing there too, stays absent.
        ScopedEnv lang("QLANG", "KOREAN");
        MessageCatalog catalog;
        EXPECT_EQ(catalog.openCatalog("QRXROOT/edif2qrx"), 1);
        EXPECT_EQ(catalog.languageDirectory(), "kor");
        ASSERT_EQ(catalog.sourceCount(), 1u);
        EXPECT_NE(catalog.source(0)->errors, nullptr);
        EXPECT_EQ(catalog.source(0)->guides, nullptr);
        EXPECT_STREQ(catalog.messageText(36710, kMessageError, {"p"}), "JPN p");
        EXPECT_STREQ(catalog.messageText(36752, kMessageGuide), "Message No.36752");
    }
}

TEST_F(MessageCatalogTest, SpecificationItemsAndFailures) {
    Installation inst;
    inst.add("sub", "jpn", "guide.msg", "1\tfrom sub\n");
    inst.add("", "jpn", "error.msg", "2\tfrom mess\n");
    ScopedEnv root("TRAZON_TEST_ROOT", inst.root());
    ScopedEnv unset("TRAZON_TEST_UNSET", std::nullopt);
    ScopedEnv noQlang("QLANG", std::nullopt);

    MessageCatalog catalog;
    // Without QLANG nothing is opened and every text is the number.
    EXPECT_EQ(catalog.openCatalog("TRAZON_TEST_ROOT/sub"), 1);
    EXPECT_EQ(catalog.sourceCount(), 0u);
    EXPECT_STREQ(catalog.messageText(1, kMessageGuide), "Message No.1");

    resetSysEnv();
    ScopedEnv lang("QLANG", "english");
    EXPECT_EQ(catalog.openCatalog(""), 1);
    // Unset variables are skipped; an item that opens nothing makes the result 0 but the
    // others are still opened.
    EXPECT_EQ(catalog.openCatalog("TRAZON_TEST_UNSET:TRAZON_TEST_ROOT/none:TRAZON_TEST_ROOT/sub:"
                                  "TRAZON_TEST_ROOT"),
              0);
    ASSERT_EQ(catalog.sourceCount(), 2u);
    EXPECT_EQ(catalog.source(0)->name, "TRAZON_TEST_ROOT/sub");
    EXPECT_EQ(catalog.source(1)->name, "TRAZON_TEST_ROOT");
    EXPECT_STREQ(catalog.messageText(1, kMessageGuide), "from sub");
    EXPECT_STREQ(catalog.messageText(2, kMessageError), "from mess");
    EXPECT_EQ(catalog.lastSource(), catalog.source(1));
    // Opening again closes the earlier sources first.
    EXPECT_EQ(catalog.openCatalog("TRAZON_TEST_ROOT"), 1);
    EXPECT_EQ(catalog.sourceCount(), 1u);
    EXPECT_STREQ(catalog.messageText(1, kMessageGuide), "Message No.1");
}

TEST_F(MessageCatalogTest, UnknownLanguageLooksInTheBaseDirectory) {
    EXPECT_STREQ(messageLanguageDirectory("Deutsch"), "ger");
    EXPECT_EQ(messageLanguageDirectory("en_US"), nullptr);
    Installation inst;
    inst.add("", "", "error.msg", "5\tflat\n");
    ScopedEnv root("TRAZON_TEST_ROOT", inst.root());
    ScopedEnv lang("QLANG", "esperanto");
    MessageCatalog catalog;
    EXPECT_EQ(catalog.openCatalog("TRAZON_TEST_ROOT"), 1);
    EXPECT_EQ(catalog.languageDirectory(), "");
    EXPECT_STREQ(catalog.messageText(5, kMessageError), "flat");
}

TEST(MessageCatalogOutput, WritesBothTextsAndEndsTheLine) {
    testing::internal::CaptureStdout();
    MessageCatalog plain;
    plain.output("usage:", " trazon");
    plain.output("alone");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "usage: trazon\nalone\n");
}

TEST_F(MessageCatalogTest, LongTextsAreCutWithoutSplittingDoubleByteCharacters) {
    ScopedEnv lang("QLANG", "japanese");
    // A single-byte lead-in that puts a two-byte character across the template's limit.
    std::string text = std::string(MessageCatalog::kTemplateSize - 2, 'a') + "\x82\xA0" + "tail";
    auto module = MessageModule::parse("1\t" + text + "\n");
    ASSERT_NE(module->find(1), nullptr);
    EXPECT_EQ(*module->find(1), std::string(MessageCatalog::kTemplateSize - 2, 'a'));
}
