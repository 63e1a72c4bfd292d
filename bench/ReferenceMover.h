#pragma once

#include <cstddef>
#include <filesystem>

namespace foldwise::bench {
namespace fs = std::filesystem;

// The least work a sort can do, as the yardstick for the engine: per top-level entry one fstatat
// and one renameat2(RENAME_NOREPLACE), relative to open folder descriptors, with one open
// descriptor per sub-folder. No error messages, no cross-device copies.
class ReferenceMover {
public:
    ReferenceMover() = delete;

    enum class Layout {
        ByExtension, // sub-folders named by lowercased ASCII extension, "other" for none
        ByCategory,  // sub-folders named by the engine's categories, each extension classified once
    };

    // Moves every visible file (links to files included) directly in `input` into a sub-folder of
    // `output`. Returns how many moved.
    static std::size_t sort(const fs::path& input, const fs::path& output, Layout layout);

    // Moves every visible file in the sub-folders of `output` back into `input` and removes the
    // emptied sub-folders. Returns how many moved.
    static std::size_t moveBack(const fs::path& input, const fs::path& output);
};

} // namespace foldwise::bench
