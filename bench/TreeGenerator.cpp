#include "bench/TreeGenerator.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace foldwise::test {

namespace {

// splitmix64: tiny, fast, and the same sequence on every platform and standard library.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    std::size_t below(std::size_t bound) { return bound == 0 ? 0 : static_cast<std::size_t>(next() % bound); }

private:
    std::uint64_t state_;
};

struct WeightedSuffix {
    std::string_view suffix; // with its dot; empty for a name without extension
    unsigned weight;
};

// A messy download or desktop folder: many photos, documents and code, both cases, a few names
// with two extensions, some with none, some the type database does not know.
constexpr std::array suffixes{
    WeightedSuffix{".jpg", 12},   WeightedSuffix{".JPG", 6},   WeightedSuffix{".png", 6},  WeightedSuffix{".PNG", 1},
    WeightedSuffix{".heic", 3},   WeightedSuffix{".gif", 1},   WeightedSuffix{".svg", 1},  WeightedSuffix{".mp4", 3},
    WeightedSuffix{".MOV", 2},    WeightedSuffix{".mov", 1},   WeightedSuffix{".mkv", 1},  WeightedSuffix{".mp3", 3},
    WeightedSuffix{".flac", 1},   WeightedSuffix{".m4a", 1},   WeightedSuffix{".wav", 1},  WeightedSuffix{".pdf", 6},
    WeightedSuffix{".PDF", 1},    WeightedSuffix{".docx", 3},  WeightedSuffix{".doc", 1},  WeightedSuffix{".xlsx", 2},
    WeightedSuffix{".pptx", 1},   WeightedSuffix{".odt", 1},   WeightedSuffix{".txt", 5},  WeightedSuffix{".md", 2},
    WeightedSuffix{".csv", 2},    WeightedSuffix{".log", 2},   WeightedSuffix{".zip", 2},  WeightedSuffix{".tar.gz", 1},
    WeightedSuffix{".gz", 1},     WeightedSuffix{".tar", 1},   WeightedSuffix{".7z", 1},   WeightedSuffix{".rar", 1},
    WeightedSuffix{".cpp", 2},    WeightedSuffix{".h", 2},     WeightedSuffix{".py", 2},   WeightedSuffix{".js", 2},
    WeightedSuffix{".ts", 1},     WeightedSuffix{".rs", 1},    WeightedSuffix{".go", 1},   WeightedSuffix{".java", 1},
    WeightedSuffix{".sh", 1},     WeightedSuffix{".swift", 1}, WeightedSuffix{".json", 2}, WeightedSuffix{".html", 1},
    WeightedSuffix{".xml", 1},    WeightedSuffix{".yaml", 1},  WeightedSuffix{"", 3},      WeightedSuffix{".bak", 1},
    WeightedSuffix{".xyz123", 1},
};

constexpr std::array<std::string_view, 14> stems{
    "IMG_",
    "DSC",
    "Screenshot 2024-03-",
    "report-",
    "Invoice ",
    "notes_",
    "track ",
    "Résumé ",
    "Фото_",
    "写真",
    "backup-",
    "data-",
    "main",
    "Quarterly report v",
};

// Latin-1 and stray bytes, as copied from old disks: not valid UTF-8.
constexpr std::array<std::string_view, 3> brokenStems{"caf\xe9-", "\xff\xfe name-",
                                                      "bad\x80"
                                                      "byte-"};

constexpr std::array<std::string_view, 8> folderStems{
    "Projects", "Photos 2023", "Musique", "Archiv", "src", "Überweisungen", "docs", "Old stuff",
};

// One in this many files gets a name that is not valid UTF-8; one in this many is a link.
constexpr std::size_t brokenNameEvery = 200;
constexpr std::size_t fileLinkEvery = 100;
constexpr std::size_t filesPerFolder = 40;
constexpr std::size_t maxDepth = 6;

// What every hidden folder holds.
constexpr std::array<std::string_view, 4> hiddenFileNames{"index.db", "a.jpg", "README", "inner/b.txt"};

struct Folder {
    fs::path path;
    std::size_t depth;
    bool isPackage = false;
};

[[noreturn]] void fail(const char* what, const fs::path& path) {
    throw std::runtime_error(std::string("Could not ") + what + " " + path.string() + ": " + std::strerror(errno));
}

class Generator {
public:
    Generator(const fs::path& root, const TreeOptions& options)
        : options_(options), random_(options.seed), folders_{{root, 0, false}} {
        content_.resize(std::min<std::size_t>(options.maxFileBytes, 1 << 16));
        for (char& byte : content_) {
            byte = static_cast<char>(random_.next());
        }
    }

    TreeSummary run() {
        if (options_.shape == TreeShape::Nested) {
            makeFolders(std::max<std::size_t>(1, options_.fileCount / filesPerFolder));
        }
        makeHiddenFolders(options_.fileCount / 1000 + 1);
        makeFiles(options_.fileCount);
        makeHiddenFiles(options_.fileCount / 100 + 1);
        makeFolderLinks(options_.fileCount / 2000 + 2);
        makeDanglingLinks(options_.fileCount / 1000 + 1);
        return summary_;
    }

private:
    void makeFolders(std::size_t count) {
        for (std::size_t i = 1; i <= count; ++i) {
            // Packages stay leaves and depth stays bounded: either sends the new folder to the root.
            const Folder& parent = folders_[random_.below(folders_.size())];
            const bool underParent = !parent.isPackage && parent.depth < maxDepth;
            Folder folder{underParent ? parent.path : folders_.front().path, underParent ? parent.depth + 1 : 1};
            std::string name = std::string(folderStems[random_.below(folderStems.size())]) + " " + std::to_string(i);
            if (i % 25 == 1) {
                name += ".app"; // the analyzer may be asked to skip what is inside
                folder.isPackage = true;
                ++summary_.packages;
            } else if (i % 50 == 2) {
                name = std::string(brokenStems[0]) + name;
                ++summary_.nonUtf8Names;
            }
            folder.path /= name;
            makeFolder(folder.path);
            folders_.push_back(std::move(folder));
            ++summary_.folders;
        }
    }

    void makeHiddenFolders(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            // The first lies in the root, so that even a flat tree has one and links can point at it.
            const fs::path parent = i == 0 ? folders_.front().path : randomFolder();
            const fs::path hidden = parent / (".cache-" + std::to_string(i));
            makeFolder(hidden);
            makeFolder(hidden / "inner");
            for (const std::string_view name : hiddenFileNames) {
                makeRegularFile(hidden / name);
                ++summary_.hiddenFiles;
            }
            ++summary_.hiddenFolders;
            hiddenFolders_.push_back(hidden);
        }
    }

    void makeFiles(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            const fs::path folder = randomFolder();
            if (i % fileLinkEvery == fileLinkEvery / 2) {
                makeFileLink(folder / ("link to " + std::to_string(i) + std::string(randomSuffix())));
                continue;
            }
            const bool broken = i % brokenNameEvery == brokenNameEvery / 3;
            const std::string_view stem =
                broken ? brokenStems[random_.below(brokenStems.size())] : stems[random_.below(stems.size())];
            summary_.bytes +=
                makeRegularFile(folder / (std::string(stem) + std::to_string(i) + std::string(randomSuffix())));
            ++summary_.files;
            summary_.nonUtf8Names += broken ? 1 : 0;
        }
    }

    // The target is a file in the first hidden folder, by absolute path: a sort or an undo moves the
    // link but never its target, so the link stays a link to a file wherever it goes.
    void makeFileLink(const fs::path& link) {
        makeLink(hiddenFolders_.front() / hiddenFileNames[random_.below(hiddenFileNames.size())], link);
        ++summary_.fileLinks;
    }

    void makeHiddenFiles(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            makeRegularFile(randomFolder() / (".hidden-" + std::to_string(i) + std::string(randomSuffix())));
            ++summary_.hiddenFiles;
        }
    }

    void makeFolderLinks(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            const fs::path where = randomFolder();
            const fs::path link = where / ("folder link " + std::to_string(i));
            if (i == 0) {
                makeLink(options_.shape == TreeShape::Nested ? ".." : ".", link); // a loop for careless walkers
            } else {
                const fs::path target = i % 2 == 1 ? hiddenFolders_.front() : randomFolder();
                makeLink(target.lexically_relative(where), link);
            }
            ++summary_.folderLinks;
        }
    }

    void makeDanglingLinks(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            const std::string name = "dangling " + std::to_string(i);
            makeLink("gone/" + name + ".txt", randomFolder() / (name + ".txt"));
            ++summary_.danglingLinks;
        }
    }

    std::string_view randomSuffix() {
        static const unsigned totalWeight = [] {
            unsigned total = 0;
            for (const WeightedSuffix& s : suffixes) {
                total += s.weight;
            }
            return total;
        }();
        std::size_t pick = random_.below(totalWeight);
        for (const WeightedSuffix& s : suffixes) {
            if (pick < s.weight) {
                return s.suffix;
            }
            pick -= s.weight;
        }
        return suffixes.back().suffix;
    }

    const fs::path& randomFolder() { return folders_[random_.below(folders_.size())].path; }

    std::size_t makeRegularFile(const fs::path& path) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            fail("create", path);
        }
        const std::size_t size = options_.maxFileBytes == 0 ? 0 : random_.below(options_.maxFileBytes + 1);
        for (std::size_t written = 0; written < size;) {
            const std::size_t chunk = std::min(size - written, content_.size());
            const ssize_t n = ::write(fd, content_.data(), chunk);
            if (n < 0) {
                ::close(fd);
                fail("write", path);
            }
            written += static_cast<std::size_t>(n);
        }
        ::close(fd);
        return size;
    }

    static void makeFolder(const fs::path& path) {
        if (::mkdir(path.c_str(), 0755) != 0) {
            fail("create folder", path);
        }
    }

    static void makeLink(const fs::path& target, const fs::path& link) {
        if (::symlink(target.c_str(), link.c_str()) != 0) {
            fail("create link", link);
        }
    }

    TreeOptions options_;
    Random random_;
    std::vector<Folder> folders_; // the root first
    std::vector<fs::path> hiddenFolders_;
    std::string content_;
    TreeSummary summary_;
};

} // namespace

TreeSummary generateTree(const fs::path& root, const TreeOptions& options) {
    std::error_code error;
    fs::create_directories(root, error);
    if (error || !fs::is_directory(root) || !fs::is_empty(root)) {
        throw std::runtime_error("The tree needs an empty folder: " + root.string());
    }
    return Generator(fs::absolute(root), options).run();
}

} // namespace foldwise::test
