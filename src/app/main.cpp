// Program entry: hands the process's arguments to the converter's driver. Windows hands over the
// command line as one string, which the driver splits itself.
#include "app/Entry.h"

#if defined(_WIN32)
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    return runCommandLine(commandLine);
}
#else
int main(int argc, char** argv) {
    return trazonMain(argc, argv);
}
#endif
