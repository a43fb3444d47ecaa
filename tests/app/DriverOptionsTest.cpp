#include "app/DriverOptions.h"

#include "app/Entry.h"
#include "base/PathUtil.h"
#include "base/PlatformFile.h"

#include "AppTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using apptest::ArgVector;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

std::variant<DriverConfig, DriverExit> interpreted(std::vector<std::string> args) {
    ArgVector a(std::move(args));
    int argc = a.argc();
    return interpretOptions(parseOptions(argc, a.argv()));
}

// The configuration the options give, or a failed expectation.
DriverConfig configOf(const std::vector<std::string>& args) {
    auto result = interpreted(args);
    if (const DriverExit* exit = std::get_if<DriverExit>(&result)) {
        ADD_FAILURE() << "ended with exit code " << exit->code;
        return DriverConfig();
    }
    return std::get<DriverConfig>(result);
}

// How the options end the run, or a failed expectation.
DriverExit exitOf(const std::vector<std::string>& args) {
    auto result = interpreted(args);
    if (const DriverExit* exit = std::get_if<DriverExit>(&result)) return *exit;
    ADD_FAILURE() << "no exit";
    return DriverExit{};
}

}  // namespace

TEST(DriverOptions, ScaleOffsetsAndMode) {
    const struct {
        const char* args;
        double scale;
        std::int32_t offsetX, offsetY;
        bool keepExisting;
    } cases[] = {
        {"-p:scale 0.005", 1.6, 0, 0, true},
        {"-p:scale 100", 100.0, 0, 0, true},
        {"-p:scale 100.000001", 1.6, 0, 0, true},
        {"-p:SCALE 0.01", 0.01, 0, 0, true},
        // A later option wins; an ignored one keeps the earlier.
        {"-p:scale 2 -p:scale 3", 3.0, 0, 0, true},
        {"-p:scale 2 -p:scale 200", 2.0, 0, 0, true},
        {"-p:scale inf -p:offsetx 0x10", 1.6, 0, 0, true},  // decimal numbers only
        {"-parameter:Scale 3xyz", 3.0, 0, 0, true},
        {"-p:offsetx 2.5 -p:offsety letters", 1.6, 2500, 0, true},
        {"-p:offsetx .5 -p:depth 9", 1.6, 500, 0, true},
        // Thousandths truncated toward zero, on either axis and either side of zero.
        {"-p:offsetx -1.0019 -p:OffsetY -2.0009", 1.6, -1001, -2000, true},
        {"-p:offsetx 1.0019 -p:offsety 0.0009", 1.6, 1001, 0, true},
        {"-p:offsetx -0.0009 -p:offsety -3.9999", 1.6, 0, -3999, true},
        // The 32-bit edge: a value whose thousandths fit is taken, one beyond is ignored.
        {"-p:offsetx 2147483.647 -p:offsety -2147483.648", 1.6, 2147483647, -2147483647 - 1, true},
        {"-p:offsetx 4 -p:offsetx 2147483.648", 1.6, 4000, 0, true},
        {"-p:offsety 4 -p:offsety -2147483.649", 1.6, 0, 4000, true},
        {"-p:offsety 4 -p:offsety 1e999", 1.6, 0, 4000, true},
        {"-m NeW", 1.6, 0, 0, false},
        {"-m new -m old", 1.6, 0, 0, false},  // other values change nothing
        {"-m newer", 1.6, 0, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const DriverConfig config = configOf(testsupport::words(c.args + std::string(" plot.hgl")));
        EXPECT_DOUBLE_EQ(config.placement.scale, c.scale);
        EXPECT_EQ(config.placement.offsetX, c.offsetX);
        EXPECT_EQ(config.placement.offsetY, c.offsetY);
        EXPECT_EQ(config.keepExisting, c.keepExisting);
    }
}

TEST(DriverOptions, RunsThatEndBeforeAnyFileIsLookedAt) {
    // The first option that decides wins: -V before a rejected option or value gives the banner.
    const std::pair<const char*, int> cases[] = {
        {"-V -x a plot.hgl", kExitVersion}, {"-V -p:fit 1 plot.hgl", kExitVersion},
        {"-o x.txt -V", kExitVersion},  // no target needed, no name checked
        {"-x a -V plot.hgl", kExitUsage},   {"-h plot.hgl", kExitUsage},
        {"-l a plot.hgl", kExitUsage},      {"-p 1 plot.hgl", kExitUsage},
        {"-e a plot.hgl", kExitUsage},      {"-w a plot.hgl", kExitUsage},
        {"-o a.smb", kExitUsage},           {"-o", kExitUsage},
    };
    for (const auto& [args, code] : cases) {
        const DriverExit exit = exitOf(testsupport::words(args));
        EXPECT_EQ(exit.code, code) << args;
        EXPECT_EQ(exit.message, 0) << args;  // nothing for the log
    }
}

TEST(DriverOptions, OutputKindFromTheName) {
    struct Case {
        std::string output;
        std::int32_t kind;
    };
    const Case cases[] = {
        {"", kOutputSymbol},  // derived from the target later
        {"a.smb", kOutputSymbol},   {"A.SMB", kOutputSymbol},     {"c.cir/s.Sht", kOutputSheet},
        {"x.txt", kOutputNone},     {"noextension", kOutputNone}, {"d.smb/none", kOutputNone},
        {"a.smb.bak", kOutputNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        std::vector<std::string> args = {"plot.hgl"};
        if (!c.output.empty()) args = {"-o", c.output, "-r", "pens", "plot.hgl"};
        const DriverConfig config = configOf(args);
        EXPECT_EQ(config.outputKind, c.kind);
        EXPECT_EQ(config.output, c.output);
        EXPECT_EQ(config.target, "plot.hgl");  // as given: nothing is looked up yet
    }
}

TEST(DriverOptions, ChecksAgainstTheFilesInTheOrderOfTheMessages) {
    TempDir dir;
    writeFile(dir.file("plot.hgl"), "IN;");
    writeFile(dir.file("plot.smb"), "IN;");
    writeFile(dir.file("pens"), "1 2 1\n");
    std::filesystem::create_directories(dir.file("board.cir"));
    const std::string plot = dir.file("plot.hgl"), missing = dir.file("missing.hgl");
    struct Case {
        std::vector<std::string> args;
        int message;  // 0: the configuration is complete
        std::string argument;
        int sysError;
        std::int32_t kind;
    };
    const Case cases[] = {
        // A missing target is reported before a bad output name and an unreadable pen map.
        {{"-o", "x.txt", "-r", "nopens", missing}, kMsgNoInput, missing, 0, 0},
        {{"-o", "x.txt", "-r", "nopens", plot}, kMsgBadOutputName, "x.txt", 0, 0},
        {{"-r", "nopens", dir.file("plot.smb")}, kMsgBadOutputName, dir.file("plot.smb"), 0, 0},
        {{"-r", dir.file("nopens"), plot}, kMsgUnreadable, dir.file("nopens"), ENOENT, 0},
        {{"-r", dir.path(), "-o", "o.smb", plot}, kMsgUnreadable, dir.path(), EISDIR, 0},
        {{"-r", "/dev/null", plot}, kMsgUnreadable, "/dev/null", platform::kErrorNotAFile, 0},
        {{"-r", dir.file("pens"), plot}, 0, "", 0, kOutputSymbol},
        {{"-o", dir.file("board.cir/s.sht"), plot}, 0, "", 0, kOutputSheet},
        {{"-o", dir.file("new.cir/s.sht"), plot}, 0, "", 0, kOutputNewSheet},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[1]);
        DriverConfig config = configOf(c.args);
        const std::optional<DriverExit> exit = checkAgainstFiles(config);
        if (c.message != 0) {
            ASSERT_TRUE(exit.has_value());
            EXPECT_EQ(exit->code, kExitFailed);
            EXPECT_EQ(exit->message, c.message);
            EXPECT_EQ(exit->argument, c.argument);
            EXPECT_EQ(exit->sysError, c.sysError);
            continue;
        }
        ASSERT_FALSE(exit.has_value());
        EXPECT_EQ(config.target, plot);
        EXPECT_EQ(config.outputKind, c.kind);
        if (c.args[0] != "-o") {
            EXPECT_EQ(config.output, dir.file("plot.smb"));
        }
    }

    // A relative target is made absolute before it is checked and reported.
    const std::string cwd = platform::currentDirectory();
    std::filesystem::current_path(dir.path());
    DriverConfig relative = configOf({"gone/../missing.hgl"});
    const std::optional<DriverExit> exit = checkAgainstFiles(relative);
    std::filesystem::current_path(cwd);
    ASSERT_TRUE(exit.has_value());
    EXPECT_EQ(exit->argument, missing);
}

TEST(DriverOptions, LockWait) {
    using std::chrono::milliseconds;
    const std::pair<const char*, milliseconds> cases[] = {
        {nullptr, milliseconds(600000)}, {"0.3", milliseconds(300)}, {".25", milliseconds(250)},
        {"0", milliseconds(0)},          {"7s", milliseconds(7000)}, {"-1", milliseconds(600000)},
        {"x", milliseconds(600000)},     {"", milliseconds(600000)}, {"2e9", milliseconds(600000)},
    };
    for (const auto& [value, wait] : cases)
        EXPECT_EQ(lockWaitFrom(value), wait) << (value ? value : "(unset)");
}

TEST(DriverOptions, SizingExtensions) {
    const struct {
        const char* args;
        bool userScale;
        std::int32_t fitWidth, fitHeight;
    } cases[] = {
        {"", false, 0, 0},
        {"-p:userscale 1", true, 0, 0},
        {"-p:userscale 1 -p:userscale 0", false, 0, 0},  // a later one wins
        {"-p:fit 100x60", false, 100000, 60000},
        {"-p:FIT 12.5X7.0009", false, 12500, 7000},  // thousandths, truncated
        {"-p:fit 1e2x6e1 -p:UserScale 1", true, 100000, 60000},
        {"-p:fit 100x60 -p:fit 0.001x2147483.647", false, 1, 2147483647},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const DriverConfig config = configOf(testsupport::words(c.args + std::string(" plot.hgl")));
        EXPECT_EQ(config.placement.userScale, c.userScale);
        EXPECT_EQ(config.placement.fitWidth, c.fitWidth);
        EXPECT_EQ(config.placement.fitHeight, c.fitHeight);
        EXPECT_DOUBLE_EQ(config.placement.scale, 1.6);  // the scale is left alone
    }
    // A value with blanks around it.
    EXPECT_TRUE(configOf({"-p:userscale", " 1 ", "plot.hgl"}).placement.userScale);
}

TEST(DriverOptions, BadSizingValuesEndTheRunAsAUsageError) {
    // An extension asked for but not taken is said on standard error; nothing goes to the log.
    const char* fitNote =
        "-p:fit takes WIDTHxHEIGHT in millimetres, both above 0 (100x60, say), not ";
    const char* userNote = "-p:userscale takes 1 (on) or 0 (off), not ";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"-p:userscale", "yes"}, userNote}, {{"-p:userscale", "2"}, userNote},
        {{"-p:userscale", "1x"}, userNote},  {{"-p:userscale", ""}, userNote},
        {{"-p:fit", "100"}, fitNote},        {{"-p:fit", "x"}, fitNote},
        {{"-p:fit", "0x60"}, fitNote},       {{"-p:fit", "100x-5"}, fitNote},
        {{"-p:fit", "0.0009x60"}, fitNote},  {{"-p:fit", "100x2147483.648"}, fitNote},
        {{"-p:fit", "100x60mm"}, fitNote},   {{"-p:fit", "100x60x5"}, fitNote},
        {{"-p:fit", "infx60"}, fitNote},     {{"-p:fit", "1e999x60"}, fitNote},
    };
    for (const auto& [options, note] : cases) {
        std::vector<std::string> args = options;
        args.insert(args.begin(), {"-p:fit", "50x50"});  // a good value before does not save it
        args.push_back("plot.hgl");
        SCOPED_TRACE(options[0] + " " + options[1]);
        const DriverExit exit = exitOf(args);
        EXPECT_EQ(exit.code, kExitUsage);
        EXPECT_EQ(exit.message, 0);
        EXPECT_EQ(exit.usageNote, note + ("\"" + options[1] + "\""));
    }
}
