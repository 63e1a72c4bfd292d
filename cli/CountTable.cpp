#include "cli/CountTable.h"

#include "cli/Console.h"
#include "cli/NameText.h"

#include <algorithm>

namespace foldwise {
void CountTable::add(std::string label, std::int64_t count, std::string detail) {
    rows_.push_back({std::move(label), Console::number(count), std::move(detail)});
}

std::string CountTable::text() const {
    std::size_t labelColumns = 0;
    std::size_t countColumns = 0;
    std::size_t detailColumns = 0;
    for (const Row& row : rows_) {
        labelColumns = std::max(labelColumns, NameText::columns(row.label));
        countColumns = std::max(countColumns, NameText::columns(row.count));
        detailColumns = std::max(detailColumns, NameText::columns(row.detail));
    }
    std::string text;
    for (const Row& row : rows_) {
        text += "  " + row.label + std::string(labelColumns - NameText::columns(row.label) + 2, ' ') +
                std::string(countColumns - NameText::columns(row.count), ' ') + row.count;
        if (detailColumns > 0) {
            text += std::string(detailColumns - NameText::columns(row.detail) + 2, ' ') + row.detail;
        }
        text += "\n";
    }
    return text;
}

} // namespace foldwise
