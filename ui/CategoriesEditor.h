#pragma once

#include <QDialog>

#include <filesystem>

class QLabel;
class QTableWidget;

namespace foldwise {

// A small table of the user's own categories, one row per extension and its folder (one of the seven,
// picked, or a name typed in). "Save" checks every row with the rules the sort reads the file by, writes
// the file atomically, and makes its rules the ones every later run uses; a row that cannot be used is
// told and nothing is written.
class CategoriesEditor : public QDialog {
    Q_OBJECT

public:
    explicit CategoriesEditor(std::filesystem::path file, QWidget* parent = nullptr);

    void addRule(const QString& extension, const QString& folder);

private:
    void addEmptyRow();
    void removeSelectedRows();
    void save();
    void showProblem(const QString& problem, int row);

    std::filesystem::path file_;
    QTableWidget* table_ = nullptr;
    QLabel* problem_ = nullptr;
};

} // namespace foldwise
