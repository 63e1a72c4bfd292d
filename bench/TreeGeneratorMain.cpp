// foldwise-gentree DIR N [--flat|--tree] [--seed S] [--bytes MAX]: makes a deterministic test tree.
#include "bench/CommandLine.h"
#include "bench/TreeGenerator.h"

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

namespace {

constexpr const char* usage = "usage: foldwise-gentree DIR N [--flat|--tree] [--seed S] [--bytes MAX]\n"
                              "  Fills the empty (or missing) folder DIR with N visible files, links to files\n"
                              "  included, plus hidden files and folders, links to folders and dangling links.\n"
                              "  --flat  every file directly in DIR (the default)\n"
                              "  --tree  files spread over nested folders\n"
                              "  --seed  the pseudo-random seed (default 1): the same arguments give the same tree\n"
                              "  --bytes each file holds 0 to MAX bytes (default 0)\n";

} // namespace

int main(int argc, char** argv) {
    using namespace foldwise::bench;
    using namespace foldwise::test;
    if (argc < 3) {
        std::fputs(usage, stderr);
        return 2;
    }
    TreeOptions options;
    try {
        options.fileCount = parseCount(argv[2]);
        for (int i = 3; i < argc; ++i) {
            const std::string_view argument = argv[i];
            if (argument == "--flat") {
                options.shape = TreeShape::Flat;
            } else if (argument == "--tree") {
                options.shape = TreeShape::Nested;
            } else if (argument == "--seed" && i + 1 < argc) {
                options.seed = parseCount(argv[++i]);
            } else if (argument == "--bytes" && i + 1 < argc) {
                options.maxFileBytes = parseCount(argv[++i]);
            } else {
                throw std::invalid_argument(argv[i]);
            }
        }
    } catch (const std::exception&) {
        std::fputs(usage, stderr);
        return 2;
    }

    try {
        const TreeSummary s = generateTree(argv[1], options);
        std::printf("%zu files, %zu links to files, %zu links to folders, %zu dangling links\n"
                    "%zu hidden files, %zu folders (%zu packages), %zu hidden folders\n"
                    "%zu names not valid UTF-8, %zu bytes\n",
                    s.files, s.fileLinks, s.folderLinks, s.danglingLinks, s.hiddenFiles, s.folders, s.packages,
                    s.hiddenFolders, s.nonUtf8Names, s.bytes);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "foldwise-gentree: %s\n", error.what());
        return 1;
    }
    return 0;
}
