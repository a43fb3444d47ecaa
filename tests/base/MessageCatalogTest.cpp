#include "base/MessageCatalog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/Language.h"
#include "base/SysEnv.h"
#include "support/CatalogueModule.h"
#include "support/TestSupport.h"

using testsupport::ScopedEnv;
using testsupport::TempDir;

namespace {

// Writes a catalogue module below <root>/mess/<dir>.
void addModule(const std::string& root, const std::string& dir, const char* module,
               const std::string& text) {
    ASSERT_TRUE(testsupport::writeCatalogueModule(root + "/mess/" + dir, module, text));
}

class MessageCatalogTest : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override {
        resetSysEnv();
        resetCharsetKind();
    }
};

}  // namespace

TEST(MessageFormat, PlaceholdersAreFormattedByOwnCode) {
    EXPECT_EQ(formatMessage("%d of %s", {3, "pens"}), "3 of pens");
    EXPECT_EQ(formatMessage("100%% done", {}), "100% done");
    // Other conversions are never interpreted: they stand as written.
    EXPECT_EQ(formatMessage("%n%x%p%5d %.3f %", {"a"}), "%n%x%p%5d %.3f %");
    EXPECT_EQ(formatMessage("%s and %s", {"one"}), "one and ");
    EXPECT_EQ(formatMessage("%s%s", {"%s", "%d"}), "%s%d");  // arguments are not templates
    EXPECT_EQ(formatMessage("%d", {-2147483647 - 1}), "-2147483648");
}

TEST_F(MessageCatalogTest, ParsesNumberTabTextLinesAndSkipsHostileOnes) {
    const std::string nul("9\tbefore\0after\n\0\t12\n", 20);
    auto module = MessageTable::parse(
        "# comment\n\n36701\tFirst text\r\n36702\t\n36703 missing tab\nx36704\tbad number\n"
        "-5\tsigned\n2147483648\tjust too large\n99999999999999999999999999\tfar too large\n"
        "36701\tsecond line of the same number\n0000007\ttab\tinside\n" +
        nul);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->size(), 4u);
    EXPECT_EQ(*module->find(36701), "First text");
    EXPECT_EQ(*module->find(36702), "");
    EXPECT_EQ(*module->find(7), "tab\tinside");
    EXPECT_EQ(*module->find(9), std::string("before\0after", 12));
    EXPECT_EQ(module->find(36703), nullptr);
    EXPECT_EQ(MessageModule::load("/nonexistent/error.msg"), nullptr);

    // A text longer than the template is cut, never through a double-byte character.
    ScopedEnv lang("QLANG", "japanese");
    const std::string lead(MessageCatalog::kTemplateSize - 2, 'a');
    module = MessageTable::parse("1\t" + lead + "\x82\xA0" + std::string(100000, 'b') + "\n");
    EXPECT_EQ(*module->find(1), lead);
}

TEST_F(MessageCatalogTest, LanguageDirectoryAndJapaneseFallback) {
    TempDir inst;
    addModule(inst.path(), "edif2qrx/eng", kErrorModuleFile, "36710\tCannot read %s.\n36711\t\n");
    addModule(inst.path(), "edif2qrx/eng", kGuideModuleFile, "36752\tSaved %s.\n");
    addModule(inst.path(), "edif2qrx/jpn", kErrorModuleFile, "36710\tJPN %s\n");
    ScopedEnv root("QRXROOT", inst.path());
    {
        ScopedEnv lang("QLANG", "C");
        MessageCatalog catalog;
        EXPECT_EQ(catalog.openCatalog("QRXROOT/edif2qrx"), 1);
        EXPECT_EQ(catalog.languageDirectory(), "eng");
        EXPECT_EQ(catalog.baseDirectory(), inst.path() + "/mess/edif2qrx");
        EXPECT_STREQ(catalog.messageText(36710, kMessageError, {"x.plt"}), "Cannot read x.plt.");
        EXPECT_STREQ(catalog.messageText(36752, kMessageGuide, {"y.sht"}), "Saved y.sht.");
        // A guide number is not looked for in the error catalogue.
        EXPECT_STREQ(catalog.messageText(36752, kMessageError), "Message No.36752");
        EXPECT_EQ(catalog.lastSource(), nullptr);
#if defined(_WIN32)
        // An empty string resource cannot be told from a missing one.
        EXPECT_STREQ(catalog.messageText(36711, kMessageError), "Message No.36711");
        EXPECT_EQ(catalog.lastSource(), nullptr);
#else
        // A number with an empty text is found, and empty.
        EXPECT_STREQ(catalog.messageText(36711, kMessageError), "");
        EXPECT_NE(catalog.lastSource(), nullptr);
#endif
    }
    resetSysEnv();
    {
        // Korean is not installed: the error module comes from the Japanese directory, and the
        // guide module, missing there too, stays absent.
        ScopedEnv lang("QLANG", "KOREAN");
        MessageCatalog catalog;
        EXPECT_EQ(catalog.openCatalog("QRXROOT/edif2qrx"), 1);
        EXPECT_EQ(catalog.languageDirectory(), "kor");
        EXPECT_STREQ(catalog.messageText(36710, kMessageError, {"p"}), "JPN p");
        EXPECT_STREQ(catalog.messageText(36752, kMessageGuide), "Message No.36752");
    }
}

TEST_F(MessageCatalogTest, CatalogueItemsAndFailures) {
    TempDir inst;
    addModule(inst.path(), "sub/jpn", kGuideModuleFile, "1\tfrom sub\n");
    addModule(inst.path(), "jpn", kErrorModuleFile, "2\tfrom mess\n");
    addModule(inst.path(), "flat", kErrorModuleFile, "5\tflat\n");
    ScopedEnv root("TRAZON_TEST_ROOT", inst.path());
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
    EXPECT_STREQ(catalog.messageText(1, kMessageGuide), "from sub");
    EXPECT_STREQ(catalog.messageText(2, kMessageError), "from mess");
    EXPECT_EQ(catalog.lastSource(), catalog.source(1));
    // Opening again closes the earlier sources first.
    EXPECT_EQ(catalog.openCatalog("TRAZON_TEST_ROOT"), 1);
    EXPECT_STREQ(catalog.messageText(1, kMessageGuide), "Message No.1");

    // A language without a directory name keeps the directory it had (none at first): the
    // modules are then looked for in the base directory itself.
    resetSysEnv();
    ScopedEnv other("QLANG", "esperanto");
    MessageCatalog fresh;
    EXPECT_EQ(fresh.openCatalog("TRAZON_TEST_ROOT/flat"), 1);
    EXPECT_EQ(fresh.languageDirectory(), "");
    EXPECT_STREQ(fresh.messageText(5, kMessageError), "flat");
    EXPECT_STREQ(messageLanguageDirectory("Deutsch"), "ger");
}

// Modules hold exactly the texts of the catalogue files they are made from: the bundled
// installation's, and a catalogue of texts that try the quoting of the resource scripts (on
// Windows the build makes the modules from the files; elsewhere they are those files).
TEST_F(MessageCatalogTest, ModulesHoldTheTextsOfTheirCatalogueFiles) {
    const std::string source = testsupport::sourceDir();
    const std::string built = testsupport::bundledRoot() + "/mess/edif2qrx/eng/";
#if defined(_WIN32)
    const std::string awkward = std::string(TRAZON_BINARY_DIR) + "/tests/catalogue/catalogue.dll";
#else
    const std::string awkward = source + "/tests/base/data/catalogue.msg";
#endif
    const std::pair<std::string, std::string> modules[] = {
        {source + "/share/qrxroot/mess/edif2qrx/eng/error.msg", built + kErrorModuleFile},
        {source + "/share/qrxroot/mess/edif2qrx/eng/guide.msg", built + kGuideModuleFile},
        {source + "/tests/base/data/catalogue.msg", awkward},
    };
    for (const auto& [text, module] : modules) {
        SCOPED_TRACE(module);
        const auto table = MessageTable::parse(testsupport::readFile(text));
        const auto loaded = MessageModule::load(module);
        ASSERT_NE(loaded, nullptr);
        ASSERT_GT(table->size(), 0u);
        for (const auto& [number, message] : table->texts()) {
            const std::string* found = loaded->find(number);
            ASSERT_NE(found, nullptr) << number;
            EXPECT_EQ(*found, message) << number;
        }
        // Numbers that no line gives, and numbers no string resource can have.
        for (int number : {8, 10, 36700, 36753, 65534, 65536 + 36710, -36710}) {
            if (table->find(number) == nullptr) {
                EXPECT_EQ(loaded->find(number), nullptr) << number;
            }
        }
    }
}
