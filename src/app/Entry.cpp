#include "app/Entry.h"

#include "app/HpglReaderApp.h"
#include "base/SysEnv.h"

#include <cstdio>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

void platformUsageBox(const char* text, const char* title) {
#if defined(_WIN32)
    ::MessageBoxA(nullptr, text, title, MB_OK);
#else
    (void)text;
    (void)title;
#endif
}

UsageBox gUsageBox = platformUsageBox;

// The usage text goes to a box and then to standard output. TRAZON_NO_MESSAGE_BOX set to a
// non-empty value leaves the box out, for scripts run without anyone to close it.
void showUsage() {
    const std::string text = usageText();
    const char* noBox = getSysEnv("TRAZON_NO_MESSAGE_BOX");
    if (noBox == nullptr || *noBox == '\0') gUsageBox(text.c_str(), kUsageBoxTitle);
    const std::string shown = text + "\n";
    std::fwrite(shown.data(), 1, shown.size(), stdout);
    std::fflush(stdout);
}

}  // namespace

void setUsageBox(UsageBox box) {
    gUsageBox = box ? box : platformUsageBox;
}

std::string usageText() {
    return "Usage    : trazon.sh(exe) options target\n"
           " options :\n"
           "   [-p:scale xxx ]    : Scale factor (default 1.6)\n"
           "   [-p:offsetx xxx ]  : X offset\n"
           "   [-p:offsety xxx ]  : Y offset\n"
           "   [-r file ]         : Pen map file.\n"
           "   [-o file(.smb) or (.sht) ] : Output Symbol or Schematic sheet.\n"
           " target  : HP-GL file\n";
}

int trazonMain(int argc, char** argv) {
    const char* root = getSysEnv("QRXROOT");
    if (root == nullptr) return kExitFailed;
    const std::string rootValue = root;  // the lookup owns its text: copy it at once
    setSysEnv("QSYSROOT", rootValue.c_str());

    // The option parser rearranges the vector, so it works on a copy with the fixed program
    // name in front and the closing null slot.
    std::string programName = "trazon";
    std::vector<char*> args;
    args.reserve(static_cast<std::size_t>(argc > 0 ? argc : 0) + 2);
    args.push_back(programName.data());
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i]);
    const int count = static_cast<int>(args.size());
    args.push_back(nullptr);

    if (count < 2) {
        showUsage();
        return kExitUsage;
    }
    HpglReaderApp app;
    return app.run(count, args.data());
}

std::vector<std::string> splitCommandLine(std::string_view commandLine) {
    std::vector<std::string> pieces;
    std::size_t i = 0;
    while (i < commandLine.size()) {
        const std::size_t start = commandLine.find_first_not_of(" \t", i);
        if (start == std::string_view::npos) break;
        std::size_t end = commandLine.find_first_of(" \t", start);
        if (end == std::string_view::npos) end = commandLine.size();
        pieces.emplace_back(commandLine.substr(start, end - start));
        i = end;
    }
    return pieces;
}

int runCommandLine(const char* commandLine) {
    std::vector<std::string> pieces = splitCommandLine(commandLine ? commandLine : "");
    std::string programName = "trazon.exe";
    std::vector<char*> args;
    args.reserve(pieces.size() + 2);
    args.push_back(programName.data());
    for (std::string& piece : pieces)
        args.push_back(piece.data());
    const int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    return trazonMain(count, args.data());
}
