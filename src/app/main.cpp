// Program entry: hands the process's arguments to the converter's driver.
#include "app/Entry.h"

int main(int argc, char** argv) {
    return trazonMain(argc, argv);
}
