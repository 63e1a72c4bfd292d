#include "engine/EmptyFolders.h"

#include "engine/TemporaryCopies.h"
#include "engine/TreeWalk.h"

#include <fcntl.h>
#include <unistd.h>

namespace foldwise {

namespace {

constexpr TreeWalk::Options kEverything{.includeHidden = true, .skipPackageContents = false};

bool holdsOnlyEmptyFolders(const Folder& folder, const std::optional<FileIdentity>& kept) {
    bool empty = true;
    const TreeWalk::Visitor check{
        .entry =
            [](const Folder& holder, const std::string& name) {
                if (isTemporaryCopyName(name)) {
                    removeAbandonedCopies(holder.fd());
                    return !holder.isAnything(name);
                }
                return false;
            },
        .leftFolder =
            [&](const Folder& holder, const std::string& name) {
                if (kept && holder.identityOf(name) == kept) {
                    empty = false;
                }
            },
        .unreadable = [&](const FileError&) { empty = false; },
    };
    return TreeWalk::run(folder, kEverything, check) && empty;
}

} // namespace

bool removeEmptyFolders(const Folder& parent, const std::string& name,
                        const std::optional<FileIdentity>& kept) noexcept {
    try {
        if (!parent.isRealFolder(name)) {
            return false;
        }
        {
            const Folder folder(parent, name);
            if ((kept && folder.identity() == *kept) || !holdsOnlyEmptyFolders(folder, kept)) {
                return false;
            }
            const TreeWalk::Visitor remove{
                .entry = {},
                .leftFolder = [](const Folder& holder,
                                 const std::string& child) { ::unlinkat(holder.fd(), child.c_str(), AT_REMOVEDIR); },
                .unreadable = {},
            };
            TreeWalk::run(folder, kEverything, remove);
        }
        return ::unlinkat(parent.fd(), name.c_str(), AT_REMOVEDIR) == 0;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace foldwise
