#include "app/FoldwiseApp.h"
#include "engine/OpenFileLimit.h"

int main(int argc, char** argv) {
    foldwise::raiseOpenFileLimit();
    return foldwise::FoldwiseApp::run(argc, argv);
}
