#include "app/OptionParser.h"

#include "app/Entry.h"

#include "AppTestSupport.h"

#include <gtest/gtest.h>

using apptest::ArgVector;

TEST(OptionParser, ClassifiesEachKind) {
    struct Case {
        std::vector<std::string> args;
        std::int32_t kind;
        std::string name, value;
    };
    const Case cases[] = {
        {{"-V"}, kOptionVersion, "", ""},
        {{"-h"}, kOptionHelp, "", ""},
        {{"-help"}, kOptionHelp, "", ""},
        {{"-rxyz", "a"}, kOptionReference, "", "a"},  // only the first two characters count
        {{"-library", "a"}, kOptionLibrary, "", "a"},
        {{"-extension", "a"}, kOptionExtension, "", "a"},  // before the -e prefix
        {{"-x", "a"}, kOptionExtension, "", "a"},
        {{"-output", "\"my dir/o.sht\""}, kOptionOutput, "", "my dir/o.sht"},
        {{"-o", "'x.smb'"}, kOptionOutput, "", "x.smb"},
        {{"-o", "\"\""}, kOptionOutput, "", "\"\""},  // too short to unquote
        {{"-m", "new"}, kOptionMode, "", "new"},
        {{"-errfile", "e"}, kOptionErrorFile, "", "e"},
        {{"-w", "w"}, kOptionWarningFile, "", "w"},
        {{"-p:scale", "2"}, kOptionNamedParameter, "scale", "2"},
        {{"-parameter:scale", "2"}, kOptionNamedParameter, "scale", "2"},
        {{"-p", "2"}, kOptionParameter, "", "2"},
        {{"-o", "-V"}, kOptionOutput, "", "-V"},  // a value is taken whatever it looks like
    };
    for (const Case& c : cases) {
        ArgVector a(c.args);
        int argc = a.argc();
        const OptionList list = parseOptions(argc, a.argv());
        SCOPED_TRACE(c.args.front());
        ASSERT_EQ(list.entries.size(), 1u);
        EXPECT_EQ(list.entries[0].kind, c.kind);
        EXPECT_EQ(list.entries[0].name, c.name);
        EXPECT_EQ(list.entries[0].value, c.value);
        EXPECT_EQ(argc, 1);
        EXPECT_EQ(a.argv()[1], nullptr);
    }
}

TEST(OptionParser, TargetLeftoversAndDroppedLastOption) {
    // Near misses of option spellings are no options: the first becomes the target.
    ArgVector a({"-xa", "-o", "a.smb", "-v", "-V", "-p:x", "'2.5'", "\"t\"", "-o"});
    int argc = a.argc();
    const OptionList list = parseOptions(argc, a.argv());
    EXPECT_EQ(list.target, "-xa");
    ASSERT_EQ(list.entries.size(), 3u);
    EXPECT_EQ(list.entries[2].value, "2.5");
    ASSERT_EQ(argc, 4);  // "-v" and the quoted third stay; the lone "-o" at the end too
    EXPECT_STREQ(a.argv()[1], "-v");
    EXPECT_STREQ(a.argv()[2], "\"t\"");
    EXPECT_STREQ(a.argv()[3], "-o");
    EXPECT_EQ(a.argv()[4], nullptr);

    std::vector<std::string> many(20000, "-p:scale");
    many.push_back(std::string(100000, 'x'));
    ArgVector big(many);
    argc = big.argc();
    EXPECT_EQ(parseOptions(argc, big.argv()).entries.size(), 10000u);
    EXPECT_EQ(argc, 1);
}

TEST(OptionParser, CommandLineStringSplitsAtBlanksAndTabs) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"", {}},
        {" \t ", {}},
        {"-o out.sht plot.hgl", {"-o", "out.sht", "plot.hgl"}},
        {"\t -p:scale\t\t2   a ", {"-p:scale", "2", "a"}},
    };
    for (const auto& [line, pieces] : cases)
        EXPECT_EQ(splitCommandLine(line), pieces) << line;

    testsupport::ScopedEnv noRoot("QRXROOT", std::nullopt);
    resetSysEnv();
    EXPECT_EQ(runCommandLine("-V"), kExitFailed);  // no installation
    apptest::DriverEnvironment env;
    testing::internal::CaptureStdout();
    EXPECT_EQ(runCommandLine(" \t"), kExitUsage);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), usageText() + "\n");
    testing::internal::CaptureStdout();
    EXPECT_EQ(runCommandLine("\t-V "), kExitVersion);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Norvel\tV7.010\t03/04/30\tWINDOWS\ntrazon\tV7.010\t2003/02/28\n"
              "trazon is provided as is, without warranty of any kind.\n");
}
