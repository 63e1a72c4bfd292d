#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace foldwise {

// Labels with counts, one per line, indented, the counts right-aligned in one column, and a detail
// right-aligned in a second column when rows have one:
//   Documents     1,234  12.5 MB
//   Images          567   1.2 GB
class CountTable {
public:
    void add(std::string label, std::int64_t count, std::string detail = {}); // `label` already escaped
    std::string text() const;                                                 // every line ends in a line feed

private:
    struct Row {
        std::string label;
        std::string count;
        std::string detail;
    };
    std::vector<Row> rows_;
};

} // namespace foldwise
