#include "app/OptionParser.h"

#include "app/Entry.h"

#include "AppTestSupport.h"

#include <gtest/gtest.h>

using apptest::ArgVector;

namespace {

// What the parser makes of the arguments: each entry as "<kind> <name>=<value>;", the target,
// and after "|" the arguments left in argv.
std::string parsed(std::vector<std::string> args) {
    ArgVector a(std::move(args));
    int argc = a.argc();
    const OptionList list = parseOptions(argc, a.argv());
    std::string out;
    for (const OptionEntry& e : list.entries)
        out += std::to_string(e.kind) + " " + e.name + "=" + e.value + "; ";
    out += "target " + list.target + " |";
    for (int i = 1; i < argc; ++i)
        out += std::string(" ") + a.argv()[i];
    EXPECT_EQ(a.argv()[argc], nullptr);
    return out;
}

}  // namespace

TEST(OptionParser, ClassifiesArgumentsAndKeepsTheRest) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"-V"}, "1 =; target  |"},
        {{"-h"}, "11 =; target  |"},
        {{"-help"}, "11 =; target  |"},
        {{"-rxyz", "a"}, "2 =a; target  |"},  // only the first two characters count
        {{"-library", "a"}, "3 =a; target  |"},
        {{"-extension", "a"}, "5 =a; target  |"},  // before the -e prefix
        {{"-x", "a"}, "5 =a; target  |"},
        {{"-output", "\"my dir/o.sht\""}, "6 =my dir/o.sht; target  |"},
        {{"-o", "'x.smb'"}, "6 =x.smb; target  |"},
        {{"-o", "\"\""}, "6 =\"\"; target  |"},  // too short to unquote
        {{"-m", "new"}, "7 =new; target  |"},
        {{"-errfile", "e"}, "8 =e; target  |"},
        {{"-w", "w"}, "9 =w; target  |"},
        {{"-p:scale", "2"}, "10 scale=2; target  |"},
        {{"-parameter:scale", "2"}, "10 scale=2; target  |"},
        {{"-p", "2"}, "4 =2; target  |"},
        {{"-o", "-V"}, "6 =-V; target  |"},  // a value is taken whatever it looks like
        // Near misses of option spellings are no options: the first becomes the target, the
        // others stay, and so does a value-taking option at the end.
        {{"-xa", "-o", "a.smb", "-v", "-V", "-p:x", "'2.5'", "\"t\"", "-o"},
         "6 =a.smb; 1 =; 10 x=2.5; target -xa | -v \"t\" -o"},
    };
    for (const auto& [args, expected] : cases)
        EXPECT_EQ(parsed(args), expected) << args.front();
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

    apptest::DriverEnvironment env;
    testing::internal::CaptureStdout();
    EXPECT_EQ(runCommandLine("\t-V "), kExitVersion);  // split, then run as one argument
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Norvel\tV7.010\t03/04/30\tWINDOWS\ntrazon\tV7.010\t2003/02/28\n"
              "trazon is provided as is, without warranty of any kind.\n");
}
