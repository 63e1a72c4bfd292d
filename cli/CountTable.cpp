#include "cli/CountTable.h"

#include "cli/Console.h"
#include "cli/NameText.h"

#include <algorithm>

namespace foldwise {
void CountTable::add(std::string label, std::int64_t count) {
    rows_.push_back({std::move(label), Console::number(count)});
}

std::string CountTable::text() const {
    std::size_t labelColumns = 0;
    std::size_t countColumns = 0;
    for (const Row& row : rows_) {
        labelColumns = std::max(labelColumns, NameText::columns(row.label));
        countColumns = std::max(countColumns, NameText::columns(row.count));
    }
    std::string text;
    for (const Row& row : rows_) {
        text += "  " + row.label + std::string(labelColumns - NameText::columns(row.label) + 2, ' ') +
                std::string(countColumns - NameText::columns(row.count), ' ') + row.count + "\n";
    }
    return text;
}

} // namespace foldwise
