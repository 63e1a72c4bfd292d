#include "cli/CommandLine.h"
#include "engine/OpenFileLimit.h"

// The entry point of the build without the window: the commands alone.
int main(int argc, char** argv) {
    foldwise::raiseOpenFileLimit();
    return foldwise::runWithoutWindow(argc, argv);
}
