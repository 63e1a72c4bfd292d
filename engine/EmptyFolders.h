#pragma once

#include "engine/Folder.h"

#include <optional>
#include <string>

namespace foldwise {

// Removes the entry `name` of `parent` when it is a real folder (not a link) holding nothing but
// empty folders, at any depth, none of which is the folder `kept`. Copies left behind by moves whose
// process is gone count as nothing and are removed first. Folders are removed with rmdir only, so
// a file that appears meanwhile is never deleted. Returns whether the folder is gone.
bool removeEmptyFolders(const Folder& parent, const std::string& name,
                        const std::optional<FileIdentity>& kept) noexcept;

} // namespace foldwise
