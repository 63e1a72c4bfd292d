#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace foldwise {

// Counts file names and adds up their sizes by extension exactly as the names give it (case kept, bytes
// intact), so that each distinct extension is lowercased and classified once, after the counting.
class ExtensionTally {
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };

public:
    struct Sum {
        std::int64_t files = 0;
        std::int64_t bytes = 0;
    };
    using Counts = std::unordered_map<std::string, Sum, Hash, std::equal_to<>>; // by extension

    void add(std::string_view fileName, std::int64_t bytes);
    void merge(const ExtensionTally& other);

    std::int64_t total() const { return total_; }
    const Counts& counts() const { return counts_; }

private:
    Counts counts_;
    std::int64_t total_ = 0;
};

} // namespace foldwise
