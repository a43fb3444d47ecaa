// Entry of the preview program: hands the process's arguments to the preview.
#include "view/ViewApp.h"

int main(int argc, char** argv) {
    return trazonViewMain(argc, argv);
}
