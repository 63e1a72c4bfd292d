#include "app/FoldwiseApp.h"

int main(int argc, char** argv) {
    return foldwise::FoldwiseApp::run(argc, argv);
}
