#pragma once

#include <QObject>

#include <filesystem>
#include <optional>

namespace foldwise {

// The window's input and output folders, held in memory only. The root view owns it and lends it to
// the screens, which read it, write it and follow its changes.
class FolderSelection : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    const std::optional<std::filesystem::path>& selectedInputFolderURL() const { return input_; }
    const std::optional<std::filesystem::path>& selectedOutputFolderURL() const { return output_; }
    bool hasBothFolders() const { return input_.has_value() && output_.has_value(); }

    // Each emits its signal only when the folder actually changes.
    void setSelectedInputFolderURL(const std::optional<std::filesystem::path>& folder);
    void setSelectedOutputFolderURL(const std::optional<std::filesystem::path>& folder);

signals:
    void selectedInputFolderURLChanged();
    void selectedOutputFolderURLChanged();

private:
    std::optional<std::filesystem::path> input_;
    std::optional<std::filesystem::path> output_;
};

} // namespace foldwise
