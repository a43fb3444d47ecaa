#include "app/OptionParser.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// An argv built from strings, with the program name in front and the closing null slot.
struct Args {
    explicit Args(std::vector<std::string> args) : storage(std::move(args)) {
        storage.insert(storage.begin(), "trazon");
        for (auto& s : storage)
            pointers.push_back(s.data());
        pointers.push_back(nullptr);
        argc = static_cast<int>(storage.size());
    }
    std::vector<std::string> left() const {
        std::vector<std::string> out;
        for (int i = 0; i < argc; ++i)
            out.emplace_back(pointers[i]);
        return out;
    }
    std::vector<std::string> storage;
    std::vector<char*> pointers;
    int argc = 0;
};

OptionList parse(Args& a) {
    return parseOptions(a.argc, a.pointers.data());
}

}  // namespace

TEST(OptionParser, ClassifiesEachKind) {
    struct Case {
        std::vector<std::string> args;
        std::int32_t kind;
        std::string name;
        std::string value;
    };
    const Case cases[] = {
        {{"-V"}, kOptionVersion, "", ""},
        {{"-h"}, kOptionHelp, "", ""},
        {{"-help"}, kOptionHelp, "", ""},
        {{"-r", "pens.txt"}, kOptionReference, "", "pens.txt"},
        {{"-reference", "a"}, kOptionReference, "", "a"},
        {{"-rxyz", "a"}, kOptionReference, "", "a"},  // only the first two characters count
        {{"-l", "a"}, kOptionLibrary, "", "a"},
        {{"-library", "a"}, kOptionLibrary, "", "a"},
        {{"-x", "a"}, kOptionExtension, "", "a"},
        {{"-extension", "a"}, kOptionExtension, "", "a"},  // tested before the -e prefix
        {{"-o", "out.smb"}, kOptionOutput, "", "out.smb"},
        {{"-output", "out.smb"}, kOptionOutput, "", "out.smb"},
        {{"-m", "new"}, kOptionMode, "", "new"},
        {{"-errfile", "e"}, kOptionErrorFile, "", "e"},
        {{"-w", "w"}, kOptionWarningFile, "", "w"},
        {{"-p:scale", "2"}, kOptionNamedParameter, "scale", "2"},
        {{"-parameter:scale", "2"}, kOptionNamedParameter, "scale", "2"},
        {{"-p:", "2"}, kOptionNamedParameter, "", "2"},
        {{"-p", "2"}, kOptionParameter, "", "2"},
        {{"-parameter", "2"}, kOptionParameter, "", "2"},
        {{"-o", "\"my dir/out.sht\""}, kOptionOutput, "", "my dir/out.sht"},
        {{"-o", "'x.smb'"}, kOptionOutput, "", "x.smb"},
        {{"-o", "\"\""}, kOptionOutput, "", "\"\""},  // too short to unquote
        {{"-o", "\"a"}, kOptionOutput, "", "\"a"},
    };
    for (const Case& c : cases) {
        Args a(c.args);
        const OptionList list = parse(a);
        SCOPED_TRACE(c.args.front());
        ASSERT_EQ(list.entries.size(), 1u);
        EXPECT_EQ(list.entries[0].kind, c.kind);
        EXPECT_EQ(list.entries[0].name, c.name);
        EXPECT_EQ(list.entries[0].value, c.value);
        EXPECT_TRUE(list.target.empty());
        EXPECT_EQ(a.argc, 1);
        EXPECT_EQ(a.pointers[1], nullptr);
    }
}

TEST(OptionParser, CaseSensitiveAndNonOptionsBecomeTarget) {
    // Near misses of option spellings match nothing: the first becomes the target.
    for (const std::string arg : {"-xa", "-v", "-H", "-hx", "-P", "-px", "-", "", "plain"}) {
        Args a({arg, "second"});
        const OptionList list = parse(a);
        SCOPED_TRACE(arg);
        EXPECT_TRUE(list.entries.empty());
        EXPECT_EQ(list.target, arg);
        EXPECT_EQ(a.left(), (std::vector<std::string>{"trazon", "second"}));
    }
}

TEST(OptionParser, OrderTargetAndLeftoverArguments) {
    Args a({"first.plt", "-o", "a.smb", "second.plt", "-V", "-p:offsetx", "'2.5'", "third", "-o",
            "b.smb"});
    const OptionList list = parse(a);
    EXPECT_EQ(list.target, "first.plt");
    ASSERT_EQ(list.entries.size(), 4u);
    EXPECT_EQ(list.entries[0].value, "a.smb");
    EXPECT_EQ(list.entries[1].kind, kOptionVersion);
    EXPECT_EQ(list.entries[2].name, "offsetx");
    EXPECT_EQ(list.entries[2].value, "2.5");
    EXPECT_EQ(list.entries[3].value, "b.smb");
    EXPECT_EQ(a.left(), (std::vector<std::string>{"trazon", "second.plt", "third"}));
    EXPECT_EQ(a.pointers[3], nullptr);

    // A quoted target loses its quotes.
    Args q({"\"in file.plt\""});
    EXPECT_EQ(parse(q).target, "in file.plt");
}

TEST(OptionParser, ValueOptionAtTheEndIsDroppedAndStopsTheWalk) {
    Args a({"-V", "-o"});
    OptionList list = parse(a);
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.entries[0].kind, kOptionVersion);
    EXPECT_EQ(a.left(), (std::vector<std::string>{"trazon", "-o"}));

    // An option's value is taken even when it looks like an option itself.
    Args b({"-o", "-V", "in.plt"});
    list = parse(b);
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.entries[0].value, "-V");
    EXPECT_EQ(list.target, "in.plt");
}

TEST(OptionParser, ManyArguments) {
    std::vector<std::string> args;
    for (int i = 0; i < 5000; ++i) {
        args.push_back("-p:scale");
        args.push_back(std::to_string(i));
    }
    args.push_back("in.plt");
    args.push_back(std::string(100000, 'x'));
    Args a(args);
    const OptionList list = parse(a);
    EXPECT_EQ(list.entries.size(), 5000u);
    EXPECT_EQ(list.entries.back().value, "4999");
    EXPECT_EQ(list.target, "in.plt");
    EXPECT_EQ(a.argc, 2);
}

TEST(VersionBanner, ThreeTabSeparatedLines) {
    VersionInfo info;
    info.programName = "trazon";
    info.programDate = "2003/02/28";
    std::ostringstream out;
    printVersionBanner(info, out);
    const std::string text = out.str();
    const std::string head = "Norvel\tV7.010\t03/04/30\tWINDOWS\ntrazon\tV7.010\t2003/02/28\n";
    ASSERT_EQ(text.substr(0, head.size()), head);
    const std::string third = text.substr(head.size());
    EXPECT_GT(third.size(), 1u);
    EXPECT_EQ(third.find('\n'), third.size() - 1);  // exactly one more line
}
