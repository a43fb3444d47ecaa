#include "app/Entry.h"

#include "app/HpglReaderApp.h"
#include "base/SysEnv.h"

#include <cstdio>
#include <vector>

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
        const std::string text = usageText() + "\n";
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
        return kExitUsage;
    }
    HpglReaderApp app;
    return app.run(count, args.data());
}
