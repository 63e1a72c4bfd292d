#include "engine/TreeWalk.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <vector>

namespace foldwise {

namespace {

// Enough for any ordinary tree to stay open all the way down; deeper levels close the shallowest.
constexpr std::size_t kMostOpenFolders = 48;

struct Level {
    std::string name; // in the level above
    FileIdentity identity;
    std::optional<Folder> open;          // closed when too many are open; reopened on the way back up
    std::vector<std::string> subFolders; // still to enter, the next one last
};

class Walk {
public:
    Walk(const Folder& root, const TreeWalk::Options& options, const TreeWalk::Visitor& visitor)
        : root_(root), options_(options), visitor_(visitor) {}

    bool run() {
        levels_.push_back(Level{{}, root_.identity(), std::nullopt, {}});
        if (!handOut(0)) {
            return false;
        }
        while (!levels_.empty()) {
            Level& top = levels_.back();
            if (!top.subFolders.empty()) {
                std::string name = std::move(top.subFolders.back());
                top.subFolders.pop_back();
                if (!enter(std::move(name))) {
                    return false;
                }
            } else if (levels_.size() > 1) {
                leave();
            } else {
                break;
            }
        }
        return true;
    }

private:
    const Folder& folderAt(std::size_t depth) const { return depth == 0 ? root_ : *levels_[depth].open; }

    bool enter(std::string name) {
        std::optional<Folder> folder = openChild(folderAt(levels_.size() - 1), name);
        if (!folder) {
            return true;
        }
        const FileIdentity identity = folder->identity();
        levels_.push_back(Level{std::move(name), identity, std::move(folder), {}});
        if (++openCount_ > kMostOpenFolders) {
            closeShallowest();
        }
        return handOut(levels_.size() - 1);
    }

    void leave() {
        Level finished = std::move(levels_.back());
        levels_.pop_back();
        const std::size_t depth = levels_.size() - 1;
        if (depth > 0 && !levels_[depth].open) {
            reopen(depth, *finished.open);
        }
        finished.open.reset();
        --openCount_;
        if (visitor_.leftFolder) {
            visitor_.leftFolder(folderAt(depth), finished.name);
        }
    }

    // Hands out the entries of the folder at `depth` and notes its sub-folders to enter.
    bool handOut(std::size_t depth) {
        std::vector<Folder::Entry> entries;
        try {
            entries = folderAt(depth).entries(options_.includeHidden);
        } catch (const FileError& error) {
            if (depth == 0) {
                throw;
            }
            reportUnreadable(error);
            return true;
        }
        std::vector<std::string>& subFolders = levels_[depth].subFolders;
        for (Folder::Entry& entry : entries) {
            if (!entry.isRealFolder) {
                if (visitor_.entry && !visitor_.entry(folderAt(depth), entry.name)) {
                    return false;
                }
            } else if (!options_.skipPackageContents || !FileSystem::isPackageName(entry.name)) {
                subFolders.push_back(std::move(entry.name));
            }
        }
        std::reverse(subFolders.begin(), subFolders.end());
        return true;
    }

    std::optional<Folder> openChild(const Folder& parent, const std::string& name) {
        for (;;) {
            try {
                return Folder(parent, name);
            } catch (const FileError& error) {
                switch (error.errorNumber()) {
                case ENOENT:
                case ENOTDIR:
                case ELOOP:
                    return std::nullopt; // gone, or replaced by a file or a link since it was listed
                case EMFILE:
                case ENFILE:
                    if (closeShallowest()) {
                        continue;
                    }
                    break;
                default:
                    break;
                }
                reportUnreadable(error);
                return std::nullopt;
            }
        }
    }

    // Reopens the closed level at `depth` from its open child, through "..", and makes sure it is
    // still the folder it was; one moved meanwhile is looked up again from the nearest open level.
    void reopen(std::size_t depth, const Folder& child) {
        Folder parent = Folder::parentOf(child);
        if (parent.identity() == levels_[depth].identity) {
            levels_[depth].open.emplace(std::move(parent));
        } else {
            reopenFromAbove(depth);
        }
        firstOpen_ = std::min(firstOpen_, depth);
        if (++openCount_ > kMostOpenFolders) {
            closeShallowest();
        }
    }

    void reopenFromAbove(std::size_t depth) {
        std::size_t open = depth - 1;
        while (open > 0 && !levels_[open].open) {
            --open;
        }
        std::optional<Folder> folder;
        for (std::size_t next = open + 1; next <= depth; ++next) {
            Folder inner(folder ? *folder : folderAt(open), levels_[next].name);
            if (inner.identity() != levels_[next].identity) {
                throw FileError("Could not go on reading " + FileSystem::quoted(inner.path()) +
                                ": it was moved while it was read");
            }
            folder.emplace(std::move(inner));
        }
        levels_[depth].open.emplace(std::move(*folder));
    }

    // Closes the open level nearest the root (never the root, never the deepest); false if none is.
    bool closeShallowest() {
        for (std::size_t depth = std::max<std::size_t>(firstOpen_, 1); depth + 1 < levels_.size(); ++depth) {
            if (levels_[depth].open) {
                levels_[depth].open.reset();
                --openCount_;
                firstOpen_ = depth + 1;
                return true;
            }
        }
        return false;
    }

    void reportUnreadable(const FileError& error) const {
        if (visitor_.unreadable) {
            visitor_.unreadable(error);
        }
    }

    const Folder& root_;
    const TreeWalk::Options& options_;
    const TreeWalk::Visitor& visitor_;
    std::vector<Level> levels_; // levels_[0] stands for the root, which the caller keeps open
    std::size_t openCount_ = 0;
    std::size_t firstOpen_ = 1;
};

} // namespace

bool TreeWalk::run(const Folder& root, const Options& options, const Visitor& visitor) {
    return Walk(root, options, visitor).run();
}

} // namespace foldwise
