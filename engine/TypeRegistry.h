#pragma once

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

    // Every type the database gives files with this extension (case as given), in no promised order;
    // none when it has no specific type (an empty extension, an unknown one, or only
    // application/octet-stream). Most extensions have one type, a few have several (otf, ogg, ts).
    static std::vector<ContentType> typesForExtension(std::string_view extension);
};

} // namespace foldwise
