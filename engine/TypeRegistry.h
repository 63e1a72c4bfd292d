#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace foldwise {

// A content type of the freedesktop MIME database, with its lineage: the type itself followed
// by every type it inherits from (aliases resolved).
struct ContentType {
    std::string name;                 // e.g. "image/jpeg"
    std::vector<std::string> lineage; // name first, then all ancestors
};

// The system's MIME database as a type registry keyed by file-name extension. Thread-safe.
class TypeRegistry {
public:
    TypeRegistry() = delete;

    // The type for files with this extension (case as given), or nothing when the database has no
    // specific type for it (an empty extension, an unknown one, or only application/octet-stream).
    static std::optional<ContentType> typeForExtension(std::string_view extension);
};

} // namespace foldwise
