#pragma once

#include <QString>

#include <filesystem>
#include <optional>

class QWidget;

namespace foldwise {

// Asks the user for one folder. Tests put in a picker that answers at once.
class FolderPicker {
public:
    virtual ~FolderPicker() = default;

    // The folder chosen, or nothing when the user cancelled. `startFolder` is where the dialog opens.
    virtual std::optional<std::filesystem::path>
    pickFolder(QWidget* parent, const QString& title, const std::optional<std::filesystem::path>& startFolder) = 0;
};

// The desktop's folder dialog, opening at the start folder or, without one, at the home folder.
class DialogFolderPicker final : public FolderPicker {
public:
    std::optional<std::filesystem::path> pickFolder(QWidget* parent, const QString& title,
                                                    const std::optional<std::filesystem::path>& startFolder) override;
};

} // namespace foldwise
