#include "ui/StatisticsView.h"

namespace foldwise {

StatisticsView::StatisticsView(QWidget* parent) : QWidget(parent) {}

void StatisticsView::setInputFolderURL(const std::optional<std::filesystem::path>& folder) {
    inputFolderURL_ = folder;
}

} // namespace foldwise
