#include "app/FoldwiseApp.h"
#include "cli/CommandLine.h"
#include "engine/OpenFileLimit.h"

#include <optional>

int main(int argc, char** argv) {
    foldwise::raiseOpenFileLimit();
    if (const std::optional<int> status = foldwise::runCommandLine(argc, argv)) {
        return *status;
    }
    return foldwise::FoldwiseApp::run(argc, argv);
}
