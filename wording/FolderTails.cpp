#include "wording/FolderTails.h"

#include "engine/FileSystem.h"

#include <vector>

namespace foldwise {
namespace {

// The path's components, last first, a trailing separator ignored; the root is the last of them.
std::vector<std::filesystem::path> componentsFromTheEnd(const std::filesystem::path& path) {
    std::vector<std::filesystem::path> components;
    for (const std::filesystem::path& component : path.lexically_normal()) {
        if (!component.empty()) {
            components.push_back(component);
        }
    }
    return {components.rbegin(), components.rend()};
}

// The last `count` components (all where it has fewer), for display.
QString tail(const std::vector<std::filesystem::path>& fromTheEnd, std::size_t count) {
    std::filesystem::path tail;
    for (std::size_t index = std::min(count, fromTheEnd.size()); index > 0; --index) {
        tail /= fromTheEnd[index - 1];
    }
    return QString::fromStdString(FileSystem::displayPath(tail));
}

} // namespace

FolderTails FolderTails::of(const std::filesystem::path& first, const std::filesystem::path& second) {
    const auto a = componentsFromTheEnd(first);
    const auto b = componentsFromTheEnd(second);
    for (std::size_t count = 1; count <= std::max(a.size(), b.size()); ++count) {
        const bool differs = count > a.size() || count > b.size() || a[count - 1] != b[count - 1];
        if (differs) {
            return {tail(a, count), tail(b, count)};
        }
    }
    return {tail(a, 1), tail(b, 1)}; // the same folder
}

} // namespace foldwise
