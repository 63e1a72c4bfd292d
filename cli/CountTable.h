#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace foldwise {

// Labels with counts, one per line, indented, the counts right-aligned in one column:
//   Documents     1,234
//   Images          567
class CountTable {
public:
    void add(std::string label, std::int64_t count); // `label` already escaped for display
    std::string text() const;                        // every line ends in a line feed

private:
    struct Row {
        std::string label;
        std::string count;
    };
    std::vector<Row> rows_;
};

} // namespace foldwise
