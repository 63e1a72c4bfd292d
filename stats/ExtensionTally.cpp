#include "stats/ExtensionTally.h"

namespace foldwise {

std::string_view ExtensionTally::extensionOf(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot == 0) {
        return {};
    }
    return fileName.substr(dot + 1);
}

void ExtensionTally::add(std::string_view fileName) {
    const std::string_view extension = extensionOf(fileName);
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
