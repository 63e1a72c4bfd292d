#include "ui/FolderSelection.h"

namespace foldwise {

void FolderSelection::setSelectedInputFolderURL(const std::optional<std::filesystem::path>& folder) {
    if (folder != input_) {
        input_ = folder;
        emit selectedInputFolderURLChanged();
    }
}

void FolderSelection::setSelectedOutputFolderURL(const std::optional<std::filesystem::path>& folder) {
    if (folder != output_) {
        output_ = folder;
        emit selectedOutputFolderURLChanged();
    }
}

} // namespace foldwise
