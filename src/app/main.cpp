// Program entry: hands the process's arguments to the converter's driver. Windows hands over the
// command line as one string, which the driver splits itself.
#include "app/Entry.h"

#if defined(_WIN32)
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    return runCommandLine(commandLine);
}
#else
#include "base/PlatformFile.h"

int main(int argc, char** argv) {
    // A save beyond the file-size limit is a failed save, not the end of the process.
    platform::ignoreFileSizeLimitSignal();
    return trazonMain(argc, argv);
}
#endif
