#include "stats/ExtensionTally.h"

#include "engine/FileSystem.h"

namespace foldwise {

void ExtensionTally::add(std::string_view fileName, std::int64_t bytes) {
    const std::string_view extension = FileSystem::nameExtension(fileName);
    // Most names share a few extensions: look up without making a string first.
    auto found = counts_.find(extension);
    if (found == counts_.end()) {
        found = counts_.emplace(extension, Sum{}).first;
    }
    ++found->second.files;
    found->second.bytes += bytes;
    ++total_;
}

void ExtensionTally::merge(const ExtensionTally& other) {
    for (const auto& [extension, sum] : other.counts_) {
        Sum& into = counts_[extension];
        into.files += sum.files;
        into.bytes += sum.bytes;
    }
    total_ += other.total_;
}

} // namespace foldwise
