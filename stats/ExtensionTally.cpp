#include "stats/ExtensionTally.h"

#include "engine/FileSystem.h"

namespace foldwise {

void ExtensionTally::add(std::string_view fileName) {
    const std::string_view extension = FileSystem::nameExtension(fileName);
    // Most names share a few extensions: look up without making a string first.
    if (auto found = counts_.find(extension); found != counts_.end()) {
        ++found->second;
    } else {
        counts_.emplace(extension, 1);
    }
    ++total_;
}

void ExtensionTally::merge(const ExtensionTally& other) {
    for (const auto& [extension, count] : other.counts_) {
        counts_[extension] += count;
    }
    total_ += other.total_;
}

} // namespace foldwise
