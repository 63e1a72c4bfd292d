#pragma once

#include "engine/TypeRegistry.h"

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

namespace foldwise {
namespace fs = std::filesystem;

// One of "Images", "Video", "Audio", "Documents", "Archives", "Code", "Other", decided by the table of
// overrides, else by the types that the registry gives the file's extension (case kept). Never throws;
// thread-safe.
std::string categoryForFile(const fs::path& file);
std::string categoryForExtension(std::string_view extension);

// The category that the registry's types for one extension give, whatever order they come in;
// "Other" for none.
std::string categoryForTypes(std::span<const ContentType> types);

// Classifies each distinct extension once; for callers that classify many files in one run.
// Not thread-safe: one cache per thread or per run.
class CategoryCache {
public:
    const std::string& categoryForExtension(const std::string& extension);

private:
    std::unordered_map<std::string, std::string> categories_;
};

} // namespace foldwise
