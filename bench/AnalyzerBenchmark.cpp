// foldwise-bench-analyzer: times the folder analyzer on large nested trees, side by side with a find
// pipeline, an fd pipeline and a minimal single-thread reference walker. See README.md.
#include "bench/Measurement.h"
#include "bench/TreeGenerator.h"
#include "stats/FileAnalyzer.h"

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

extern char** environ;

namespace foldwise::bench {
using namespace test; // the scratch folders and the test tree
namespace {

struct Options {
    std::vector<std::size_t> sizes{100'000, 1'000'000};
    std::size_t depth = 10'000; // levels of the deep tree; 0 leaves it out
    std::size_t repetitions = 5;
    fs::path dataFolder = "/tmp/foldwise-bench-analyzer"; // trees are kept here for the next run
    bool isRemovingTrees = false;
    std::uint64_t seed = 1;
    fs::path baseline; // another build of this benchmark whose count-only analyzer runs alongside
};

// The least a counting walk can do, on one thread: getdents64 with the entry type into one large
// buffer, fstatat only for links and unknown types, hidden names and packages skipped, files counted by
// raw extension.
class ReferenceWalker {
public:
    std::size_t files = 0;

    std::size_t types() const { return extensions_.size(); }

    void walk(int parentFd, const char* name) {
        const int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            return;
        }
        std::vector<std::string> folders;
        for (ssize_t size = 0; (size = ::getdents64(fd, buffer_.data(), buffer_.size())) > 0;) {
            for (ssize_t offset = 0; offset < size;) {
                const auto* entry = reinterpret_cast<const dirent64*>(buffer_.data() + offset);
                offset += entry->d_reclen;
                if (entry->d_name[0] != '.') {
                    visit(fd, entry->d_name, entry->d_type, folders);
                }
            }
        }
        // The buffer is shared by every level, so sub-folders wait until this folder has been read.
        for (const std::string& folder : folders) {
            walk(fd, folder.c_str());
        }
        ::close(fd);
    }

private:
    void visit(int fd, const char* name, unsigned char type, std::vector<std::string>& folders) {
        if (type == DT_LNK || type == DT_UNKNOWN) {
            struct stat status {};
            if (::fstatat(fd, name, &status, 0) != 0 || (type == DT_LNK && S_ISDIR(status.st_mode))) {
                return;
            }
            type = S_ISDIR(status.st_mode) ? DT_DIR : DT_REG;
        }
        const std::string_view extension = extensionOf(name);
        if (type != DT_DIR) {
            ++files;
            const auto found = extensions_.find(extension);
            if (found != extensions_.end()) {
                ++found->second;
            } else {
                extensions_.emplace(extension, 1);
            }
        } else if (!isPackage(extension)) {
            folders.emplace_back(name);
        }
    }

    static std::string_view extensionOf(std::string_view name) {
        const auto dot = name.rfind('.');
        return dot == std::string_view::npos || dot == 0 ? std::string_view() : name.substr(dot + 1);
    }

    static bool isPackage(std::string_view extension) {
        std::string lower(extension);
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
        return lower == "app" || lower == "bundle" || lower == "framework" || lower == "plugin" || lower == "kext";
    }

    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    std::vector<char> buffer_ = std::vector<char>(64 * 1024);
    std::unordered_map<std::string, std::size_t, Hash, std::equal_to<>> extensions_;
};

// What one timed child process reported, with what the kernel measured of it.
struct Run {
    double wall = 0;          // seconds
    double cpu = 0;           // user + system seconds, the child and everything it waited for
    double peakMegabytes = 0; // largest resident set of the child or any process it waited for
    std::size_t files = 0;
    std::size_t types = 0;
};

// Runs `argv` with standard output read back; the last line "RESULT <seconds> <files> <types>" carries
// the result, with seconds 0 when the wall-clock time from start to exit is the one to take.
Run runChild(const std::vector<std::string>& argv) {
    int output[2];
    if (::pipe(output) != 0) {
        throw std::runtime_error("Could not make a pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> arguments;
    for (const std::string& argument : argv) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawnError = ::posix_spawn(&child, arguments[0], &actions, nullptr, arguments.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(output[1]);
    if (spawnError != 0) {
        ::close(output[0]);
        throw std::runtime_error("Could not start " + argv[0] + ": " + std::strerror(spawnError));
    }
    std::string text;
    char buffer[4096];
    for (ssize_t n = 0; (n = ::read(output[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(output[0]);
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const auto result = text.rfind("RESULT ");
    if (result == std::string::npos) {
        throw std::runtime_error(argv[0] + " reported no result");
    }
    Run run;
    std::istringstream(text.substr(result + 7)) >> run.wall >> run.files >> run.types;
    run.wall = run.wall > 0 ? run.wall : wall;
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6;
    };
    run.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    run.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return run;
}

// The child's side: one timed run of an in-process method, reported on the last line.
int runInChild(std::string_view method, const fs::path& tree) {
    const auto start = std::chrono::steady_clock::now();
    std::size_t files = 0;
    std::size_t types = 0;
    if (method == "analyzer" || method == "analyzer-sizes") {
        const auto sizes = method == "analyzer" ? FileAnalyzer::Sizes::Skipped : FileAnalyzer::Sizes::Added;
        const FileStatistics statistics = FileAnalyzer::analyzeFolder(tree, {}, sizes);
        for (const FileTypeCount& type : statistics.types) {
            files += static_cast<std::size_t>(type.count());
        }
        types = statistics.types.size();
    } else {
        ReferenceWalker walker;
        walker.walk(AT_FDCWD, tree.c_str());
        files = walker.files;
        types = walker.types();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("RESULT %.6f %zu %zu\n", seconds, files, types);
    return 0;
}

struct Method {
    std::string name;
    std::vector<std::string> argv;
};

std::string quoted(const fs::path& path) {
    std::string text = "'";
    for (const char c : path.native()) {
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return text + "'";
}

std::vector<Method> methodsFor(const fs::path& tree, const Options& options) {
    // Counts by lowercased extension, as the analyzer does; file names are the last path component.
    const std::string awk = " | awk -F/ '{ n = $NF; i = match(n, /\\.[^.]*$/); "
                            "t = (i > 1 && RLENGTH > 1) ? tolower(substr(n, i + 1)) : \"No Extension\"; "
                            "c[t]++; f++ } END { k = 0; for (t in c) k++; print \"RESULT 0\", f + 0, k }'";
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    std::vector<Method> methods{
        {"analyzeFolder", {self, "--child", "analyzer", tree.string()}},
        {"reference walker, 1 thread", {self, "--child", "reference", tree.string()}},
        {"find -L | awk", {"/bin/sh", "-c", "find -L " + quoted(tree) + " -name '.*' -prune -o -type f -print" + awk}},
    };
    if (::access("/usr/bin/fdfind", X_OK) == 0) {
        methods.push_back({"fdfind -L -t f | awk", {"/bin/sh", "-c", "fdfind -L -t f . " + quoted(tree) + awk}});
    }
    methods.push_back({"analyzeFolder, sizes", {self, "--child", "analyzer-sizes", tree.string()}});
    if (!options.baseline.empty()) {
        methods.push_back(
            {"analyzeFolder, baseline", {options.baseline.string(), "--child", "analyzer", tree.string()}});
    }
    return methods;
}

// The tree of `files` files for this run, made once and kept (with a marker once complete) for later runs.
fs::path treeOf(std::size_t files, const Options& options) {
    const fs::path tree =
        options.dataFolder / ("tree-" + std::to_string(files) + "-seed-" + std::to_string(options.seed));
    const fs::path marker = fs::path(tree.string() + ".complete");
    if (!fs::exists(marker)) {
        fs::remove_all(tree);
        std::printf("Making a tree of %zu files in %s …\n", files, tree.c_str());
        std::fflush(stdout);
        generateTree(tree, {files, TreeShape::Nested, options.seed, 0});
        std::ofstream(marker) << "complete\n";
    }
    return tree;
}

void benchmark(std::size_t size, const Options& options) {
    const fs::path tree = treeOf(size, options);
    const std::vector<Method> methods = methodsFor(tree, options);
    std::vector<std::vector<Run>> runs(methods.size());
    for (const Method& method : methods) {
        runChild(method.argv); // warms the cache and the page tables
    }
    for (std::size_t round = 0; round < options.repetitions; ++round) {
        for (std::size_t i = 0; i < methods.size(); ++i) {
            const std::size_t m = (i + round) % methods.size(); // rotated so no method always goes first
            runs[m].push_back(runChild(methods[m].argv));
        }
    }

    std::vector<double> medians;
    for (const auto& methodRuns : runs) {
        std::vector<double> walls;
        for (const Run& run : methodRuns) {
            walls.push_back(run.wall);
        }
        medians.push_back(median(walls));
    }
    std::printf("\n%zu files requested (%s), warm cache, median of %zu runs\n", size, tree.c_str(),
                options.repetitions);
    std::printf("%-28s %10s %10s %10s %8s %12s %12s\n", "method", "wall s", "cpu s", "peak MB", "types", "files",
                "vs analyzer");
    for (std::size_t m = 0; m < methods.size(); ++m) {
        std::vector<double> cpus;
        double peak = 0;
        for (const Run& run : runs[m]) {
            cpus.push_back(run.cpu);
            peak = std::max(peak, run.peakMegabytes);
        }
        const Run& last = runs[m].back();
        std::printf("%-28s %10.3f %10.3f %10.1f %8zu %12zu %11.2fx\n", methods[m].name.c_str(), medians[m],
                    median(cpus), peak, last.types, last.files, medians[m] / medians[0]);
    }
    double analyzerPeak = 0;
    for (const Run& run : runs[0]) {
        analyzerPeak = std::max(analyzerPeak, run.peakMegabytes);
    }
    std::printf("targets: find pipeline / analyzeFolder = %.2f (>= 2), analyzeFolder / reference walker = %.2f "
                "(<= 1), analyzeFolder peak %.1f MB (< 100)\n",
                medians[2] / medians[0], medians[0] / medians[1], analyzerPeak);
    const std::size_t withSizes = methods.size() - (options.baseline.empty() ? 1 : 2);
    std::printf("target: analyzeFolder with sizes / count-only = %.2f (<= 1.15)", medians[withSizes] / medians[0]);
    if (!options.baseline.empty()) {
        std::printf(", / baseline = %.2f", medians[withSizes] / medians.back());
    }
    std::printf("\nfiles: find and fd follow links into folders and enter packages, so they count more\n");
    if (options.isRemovingTrees) {
        fs::remove_all(tree);
        fs::remove(fs::path(tree.string() + ".complete"));
    }
}

// A chain of `levels` folders with one file in each, made relative to open descriptors: its paths are
// far longer than any path the system accepts.
void makeDeepTree(const fs::path& tree, std::size_t levels) {
    fs::create_directories(tree);
    int fd = ::open(tree.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (std::size_t level = 0; fd >= 0 && level < levels; ++level) {
        const int file = ::openat(fd, "file.txt", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        const bool isMade = file >= 0 && ::close(file) == 0 && ::mkdirat(fd, "d", 0755) == 0;
        const int next = isMade ? ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
        ::close(fd);
        fd = next;
    }
    if (fd < 0) {
        throw std::runtime_error("Could not make the deep tree in " + tree.string());
    }
    ::close(fd);
}

// Removes a tree of any depth: std::filesystem gives up on paths longer than the system accepts.
void removeDeepTree(const fs::path& tree) {
    const std::vector<std::string> argv{"/bin/rm", "-rf", tree.string()};
    std::vector<char*> arguments;
    for (const std::string& argument : argv) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    pid_t child = 0;
    int status = 0;
    if (::posix_spawn(&child, arguments[0], nullptr, nullptr, arguments.data(), environ) != 0 ||
        ::waitpid(child, &status, 0) != child || status != 0) {
        throw std::runtime_error("Could not remove " + tree.string());
    }
}

// The analyzer alone on a chain of folders one file each, deeper than descriptors could be kept open
// for every level.
void benchmarkDeepTree(const Options& options) {
    const fs::path tree = options.dataFolder / ("deep-" + std::to_string(options.depth));
    const fs::path marker = fs::path(tree.string() + ".complete");
    if (!fs::exists(marker)) {
        removeDeepTree(tree);
        std::printf("Making a tree %zu folders deep in %s …\n", options.depth, tree.c_str());
        std::fflush(stdout);
        makeDeepTree(tree, options.depth);
        std::ofstream(marker) << "complete\n";
    }
    const std::vector<std::string> argv{fs::read_symlink("/proc/self/exe").string(), "--child", "analyzer",
                                        tree.string()};
    runChild(argv); // warms the cache
    std::vector<double> walls, cpus;
    double peak = 0;
    std::size_t files = 0;
    for (std::size_t round = 0; round < options.repetitions; ++round) {
        const Run run = runChild(argv);
        walls.push_back(run.wall);
        cpus.push_back(run.cpu);
        peak = std::max(peak, run.peakMegabytes);
        files = run.files;
    }
    std::printf("\n%zu levels of one folder and one file (%s), warm cache, median of %zu runs\n", options.depth,
                tree.c_str(), options.repetitions);
    std::printf("%-28s %10s %10s %10s %12s\n", "method", "wall s", "cpu s", "peak MB", "files");
    std::printf("%-28s %10.3f %10.3f %10.1f %12zu\n", "analyzeFolder", median(walls), median(cpus), peak, files);
    std::printf("targets: wall %.3f s (< 1), peak %.1f MB (< 64), files %zu (= %zu)\n", median(walls), peak, files,
                options.depth);
    if (options.isRemovingTrees) {
        removeDeepTree(tree);
        fs::remove(marker);
    }
}

std::vector<std::size_t> sizesFrom(const std::string& text) {
    std::vector<std::size_t> sizes;
    std::istringstream list(text);
    for (std::string item; std::getline(list, item, ',');) {
        sizes.push_back(std::stoul(item));
    }
    return sizes;
}

constexpr const char* usage =
    "usage: foldwise-bench-analyzer [--files 100000,1000000] [--depth 10000] [--repeat 5] [--data DIR] [--remove]\n"
    "                               [--seed 1] [--baseline BENCHMARK]\n"
    "  --files   sizes of the nested trees; --files '' leaves them out\n"
    "  --depth   levels of the deep tree; 0 leaves it out\n"
    "  --data    where the trees are made and kept for later runs (default /tmp/foldwise-bench-analyzer)\n"
    "  --remove  remove the trees at the end\n"
    "  --baseline another build of this benchmark (today's main, say): its count-only analyzer runs alongside\n";

} // namespace
} // namespace foldwise::bench

int main(int argc, char** argv) {
    using namespace foldwise::bench;
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "--child") {
        return runInChild(args[1], std::string(args[2]));
    }
    Options options;
    try {
        for (std::size_t i = 0; i < args.size(); ++i) {
            const bool hasValue = i + 1 < args.size();
            if (args[i] == "--files" && hasValue) {
                options.sizes = sizesFrom(std::string(args[++i]));
            } else if (args[i] == "--depth" && hasValue) {
                options.depth = std::stoul(std::string(args[++i]));
            } else if (args[i] == "--repeat" && hasValue) {
                options.repetitions = std::max<std::size_t>(1, std::stoul(std::string(args[++i])));
            } else if (args[i] == "--data" && hasValue) {
                options.dataFolder = std::string(args[++i]);
            } else if (args[i] == "--seed" && hasValue) {
                options.seed = std::stoull(std::string(args[++i]));
            } else if (args[i] == "--baseline" && hasValue) {
                options.baseline = std::string(args[++i]);
            } else if (args[i] == "--remove") {
                options.isRemovingTrees = true;
            } else {
                throw std::invalid_argument(std::string(args[i]));
            }
        }
    } catch (const std::exception&) {
        std::fputs(usage, stderr);
        return 2;
    }
    try {
        for (const std::size_t size : options.sizes) {
            benchmark(size, options);
        }
        if (options.depth > 0) {
            benchmarkDeepTree(options);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "foldwise-bench-analyzer: %s\n", error.what());
        return 1;
    }
    return 0;
}
