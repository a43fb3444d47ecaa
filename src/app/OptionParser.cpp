#include "app/OptionParser.h"

#include <iostream>
#include <string_view>

namespace {

// The result of classifying one argument: kind 0 when it is no option.
struct Classified {
    std::int32_t kind = 0;
    std::string_view name;  // kind 10 only
};

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// First matching row wins; all comparisons are case-sensitive.
Classified classify(std::string_view arg) {
    if (arg == "-V") return {kOptionVersion, {}};
    if (arg == "-h" || arg == "-help") return {kOptionHelp, {}};
    if (arg == "-reference" || startsWith(arg, "-r")) return {kOptionReference, {}};
    if (arg == "-library" || startsWith(arg, "-l")) return {kOptionLibrary, {}};
    if (arg == "-extension" || arg == "-x") return {kOptionExtension, {}};
    if (arg == "-output" || startsWith(arg, "-o")) return {kOptionOutput, {}};
    if (arg == "-mode" || startsWith(arg, "-m")) return {kOptionMode, {}};
    if (arg == "-errfile" || startsWith(arg, "-e")) return {kOptionErrorFile, {}};
    if (arg == "-wrnfile" || startsWith(arg, "-w")) return {kOptionWarningFile, {}};
    if (startsWith(arg, "-p:")) return {kOptionNamedParameter, arg.substr(3)};
    if (startsWith(arg, "-parameter:")) return {kOptionNamedParameter, arg.substr(11)};
    if (arg == "-parameter" || arg == "-p") return {kOptionParameter, {}};
    return {};
}

bool takesValue(std::int32_t kind) {
    return kind != kOptionVersion && kind != kOptionHelp;
}

bool isQuote(char c) {
    return c == '"' || c == '\'';
}

}  // namespace

std::string unquoteValue(const std::string& value) {
    if (value.size() >= 3 && isQuote(value.front()) && isQuote(value.back()))
        return value.substr(1, value.size() - 2);
    return value;
}

OptionList parseOptions(int& argc, char** argv) {
    OptionList list;
    if (argc < 1 || argv == nullptr) return list;
    std::vector<bool> consumed(static_cast<std::size_t>(argc), false);
    bool haveTarget = false;

    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i] ? std::string_view(argv[i]) : std::string_view();
        const Classified c = classify(arg);
        if (c.kind == 0) {
            if (!haveTarget) {
                list.target = unquoteValue(std::string(arg));
                haveTarget = true;
                consumed[i] = true;
            }
            continue;
        }
        if (!takesValue(c.kind)) {
            list.entries.push_back({c.kind, {}, {}});
            consumed[i] = true;
            continue;
        }
        // A value-taking option as the last argument is dropped and ends the walk.
        if (i + 1 >= argc) break;
        const char* value = argv[i + 1] ? argv[i + 1] : "";
        list.entries.push_back({c.kind, std::string(c.name), unquoteValue(value)});
        consumed[i] = true;
        consumed[i + 1] = true;
        ++i;
    }

    int kept = 1;
    for (int i = 1; i < argc; ++i)
        if (!consumed[i]) argv[kept++] = argv[i];
    argc = kept;
    argv[argc] = nullptr;
    return list;
}

std::string versionBannerText(const VersionInfo& info) {
    std::string text;
    text.append("Norvel\t")
        .append(info.productVersion)
        .append("\t")
        .append(info.productDate)
        .append("\tWINDOWS\n");
    text.append(info.programName)
        .append("\t")
        .append(info.programVersion)
        .append("\t")
        .append(info.programDate)
        .append("\n");
    text.append("trazon is provided as is, without warranty of any kind.\n");
    return text;
}

void printVersionBanner(const VersionInfo& info, std::ostream& out) {
    out << versionBannerText(info);
    out.flush();
}

void printVersionBanner(const VersionInfo& info) {
    printVersionBanner(info, std::cout);
}
