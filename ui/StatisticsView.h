#pragma once

#include <QWidget>

#include <filesystem>
#include <optional>

namespace foldwise {

// The statistics tab: analyses the input folder and shows its files by category and by type.
class StatisticsView : public QWidget {
    Q_OBJECT

public:
    explicit StatisticsView(QWidget* parent = nullptr);

    // The folder whose statistics are shown, handed over anew whenever the window's input folder changes.
    void setInputFolderURL(const std::optional<std::filesystem::path>& folder);

private:
    std::optional<std::filesystem::path> inputFolderURL_;
};

} // namespace foldwise
