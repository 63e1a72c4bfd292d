// foldwise-bench-organizer: times sort and undo on one folder of many files, side by side with a
// minimal reference mover and a naive shell loop, plus a sort across file systems. See README.md.
#include "bench/CommandLine.h"
#include "bench/Measurement.h"
#include "bench/ReferenceMover.h"
#include "bench/TreeGenerator.h"
#include "engine/Organizer.h"
#include "engine/Reverter.h"
#include "tests/support/IsolatedUserFolders.h"
#include "tests/support/ScratchFolder.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace foldwise::bench {
using namespace test; // the scratch folders and the test tree
namespace {

struct Options {
    std::size_t files = 100'000;
    std::size_t shellFiles = 10'000;
    std::size_t crossDeviceFiles = 1'000;
    std::size_t depth = 10'000;          // levels of the deep tree that undo walks
    std::uint64_t sparseBytes = 1 << 30; // size of the sparse file moved across file systems
    std::size_t repetitions = 5;
    fs::path workParent = "/tmp"; // on the real disk: tmpfs would hide the file system's cost
    fs::path crossDeviceParent = "/dev/shm";
    std::uint64_t seed = 1;
};

// Visible entries directly in `folder` that a sort would move (links to files included).
std::size_t countFiles(const fs::path& folder) {
    std::size_t count = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        std::error_code error;
        const bool isFolder = fs::is_directory(entry.path(), error);
        count += (entry.path().filename().native()[0] != '.' && fs::exists(entry.path(), error) && !isFolder) ? 1 : 0;
    }
    return count;
}

// Times one run of `operation`, after flushing what earlier runs left for the disk to write.
Sample timed(const std::function<void()>& operation) {
    ::sync();
    const Stopwatch stopwatch;
    operation();
    return stopwatch.elapsed();
}

struct Row {
    std::string name;
    std::size_t files = 0; // moved per run
    std::vector<Sample> samples;

    double wall() const { return medianOf(&Sample::wall); }
    double cpu() const { return medianOf(&Sample::cpu); }
    double medianOf(double Sample::*field) const {
        std::vector<double> values;
        for (const Sample& sample : samples) {
            values.push_back(sample.*field);
        }
        return median(values);
    }
};

constexpr const char* referenceRow = "reference mover, by extension";
constexpr const char* referenceBackRow = "reference mover, by extension, back";

class Benchmark {
public:
    explicit Benchmark(const Options& options)
        : options_(options), isolated_(options.workParent), work_(options.workParent) {}

    void run() {
        measureSortAndUndo();
        measureShellLoop();
        measureCrossDevice();
        printTable();
        printHistorySize();
        measureSparseMove();
    }

private:
    fs::path input() const { return work_.path() / "input"; }
    fs::path output() const { return work_.path() / "output"; }

    void measureSortAndUndo() {
        std::printf("Making %zu files in %s ...\n", options_.files, input().c_str());
        generateTree(input(), TreeOptions{options_.files, TreeShape::Flat, options_.seed, 0});
        expected_ = countFiles(input());
        ReferenceMover::sort(input(), output(), ReferenceMover::Layout::ByExtension); // warms the caches
        ReferenceMover::moveBack(input(), output());

        const std::vector<std::function<void()>> groups{
            [&] { measureReference(ReferenceMover::Layout::ByExtension, referenceRow); },
            [&] { measureEngine(false, "extension"); },
            [&] { measureReference(ReferenceMover::Layout::ByCategory, "reference mover, by category"); },
            [&] { measureEngine(true, "category"); },
        };
        for (std::size_t repetition = 0; repetition < options_.repetitions; ++repetition) {
            std::printf("Repetition %zu of %zu\n", repetition + 1, options_.repetitions);
            for (std::size_t i = 0; i < groups.size(); ++i) {
                groups[(i + repetition) % groups.size()](); // rotated, so that no group always goes first
            }
        }
    }

    void measureReference(ReferenceMover::Layout layout, const std::string& name) {
        std::size_t moved = 0;
        const Sample sort = timed([&] { moved = ReferenceMover::sort(input(), output(), layout); });
        record(name, sort, moved);
        const Sample back = timed([&] { moved = ReferenceMover::moveBack(input(), output()); });
        record(name + ", back", back, moved);
        checkRestored(name);
    }

    void measureEngine(bool useSmartCategories, const std::string& mode) {
        const Sample sort = timed([&] { organizeFiles(input(), output(), useSmartCategories); });
        record("sort, " + mode + " mode", sort, expected_ - countFiles(input()));
        const Sample undo = timed([&] { revertFiles(input(), output()); });
        record("undo, " + mode + " mode", undo, countFiles(input()));
        checkRestored(mode + " mode");
    }

    void measureShellLoop() {
        const fs::path in = work_.path() / "shell-input";
        const fs::path out = work_.path() / "shell-output";
        generateTree(in, TreeOptions{options_.shellFiles, TreeShape::Flat, options_.seed, 0});
        const std::size_t before = countFiles(in);
        std::printf("Shell loop on %zu files ...\n", before);
        const Sample sample = timed([&] { runShellLoop(in, out); });
        record("shell loop (mkdir -p + mv -n)", sample, before - countFiles(in));
        fs::remove_all(in);
        fs::remove_all(out);
    }

    void runShellLoop(const fs::path& in, const fs::path& out) {
        static constexpr const char* script = R"(cd -- "$1" || exit 1
for f in *; do
  [ -f "$f" ] || continue
  case "$f" in *?.*) e=${f##*.}; e=${e,,} ;; *) e=other ;; esac
  mkdir -p -- "$2/$e" && mv -n -- "$f" "$2/$e/"
done)";
        const char* argv[] = {"bash", "-c", script, "shell-loop", in.c_str(), out.c_str(), nullptr};
        pid_t child = 0;
        if (::posix_spawnp(&child, "bash", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) {
            throw std::runtime_error("Could not start bash");
        }
        int status = 0;
        ::waitpid(child, &status, 0);
    }

    void measureCrossDevice() {
        const ScratchFolder shm(options_.crossDeviceParent);
        const fs::path in = shm.path() / "input";
        const fs::path out = work_.path() / "cross-device-output";
        std::printf("Sort across file systems: %zu files from %s ...\n", options_.crossDeviceFiles, in.c_str());
        for (std::size_t repetition = 0; repetition < options_.repetitions; ++repetition) {
            const TreeOptions tree{options_.crossDeviceFiles, TreeShape::Flat, options_.seed + repetition, 16'384};
            crossDeviceBytes_ = generateTree(in, tree).bytes;
            const std::size_t before = countFiles(in);
            const Sample sample = timed([&] { organizeFiles(in, out, false); });
            record("cross-device sort (shm -> disk)", sample, before - countFiles(in));
            fs::remove_all(in);
            fs::remove_all(out);
        }
    }

    // What the history of sorts costs on disk: every engine sort above recorded each of its moves.
    void printHistorySize() const {
        const fs::path history = isolated_.dataHome() / "Foldwise/history.sqlite3";
        const auto sizeOf = [](const fs::path& file) {
            std::error_code missing;
            const std::uintmax_t bytes = fs::file_size(file, missing);
            return missing ? 0 : bytes;
        };
        const auto bytes = sizeOf(history) + sizeOf(history.string() + "-wal");
        const std::size_t moves = expected_ * options_.repetitions * 2;
        std::printf("\nHistory of sorts: %.1f MB for %zu recorded moves, %.0f bytes a move\n",
                    static_cast<double>(bytes) / 1e6, moves, moves > 0 ? static_cast<double>(bytes) / moves : 0.0);
    }

    // A sparse file moved from the disk to tmpfs: the copy must take no more room than the source.
    void measureSparseMove() const {
        const fs::path in = work_.path() / "sparse-input";
        const ScratchFolder shm(options_.crossDeviceParent);
        fs::create_directories(in);
        const fs::path file = in / "disk.img";
        {
            std::ofstream stream(file, std::ios::binary);
            const std::string data(1 << 20, 'x');
            stream.write(data.data(), static_cast<std::streamsize>(data.size()));
            stream.seekp(static_cast<std::streamoff>(options_.sparseBytes / 2));
            stream.write(data.data(), static_cast<std::streamsize>(data.size()));
        }
        fs::resize_file(file, options_.sparseBytes);
        struct stat before {};
        ::stat(file.c_str(), &before);
        std::printf("\nA sparse file of %.0f MiB moved from %s to %s ...\n",
                    static_cast<double>(options_.sparseBytes) / (1 << 20), in.c_str(), shm.path().c_str());
        const Sample sample = timed([&] { organizeFiles(in, shm.path(), false); });
        struct stat after {};
        const bool moved = ::stat((shm.path() / "img/disk.img").c_str(), &after) == 0;
        std::printf("  %s: wall %.3f s, on disk before %.1f MiB, after %.1f MiB (target: no more than before)\n",
                    moved && after.st_size == before.st_size ? "moved" : "NOT MOVED", sample.wall,
                    static_cast<double>(before.st_blocks) * 512 / (1 << 20),
                    static_cast<double>(after.st_blocks) * 512 / (1 << 20));
    }

    void record(const std::string& name, Sample sample, std::size_t moved) {
        auto found = std::find_if(rows_.begin(), rows_.end(), [&](const Row& row) { return row.name == name; });
        if (found == rows_.end()) {
            rows_.push_back({name, moved, {}});
            found = std::prev(rows_.end());
        }
        found->samples.push_back(sample);
        found->files = moved;
    }

    void checkRestored(const std::string& what) const {
        const std::size_t now = countFiles(input());
        if (now != expected_) {
            std::printf("  note: after %s the input folder holds %zu files, not %zu\n", what.c_str(), now, expected_);
        }
    }

    const Row& row(std::string_view name) const {
        return *std::find_if(rows_.begin(), rows_.end(), [&](const Row& r) { return r.name == name; });
    }

    void printTable() const;

    Options options_;
    IsolatedUserFolders isolated_; // the system's MIME types alone, and a history of this run only
    ScratchFolder work_;
    std::size_t expected_ = 0;
    std::size_t crossDeviceBytes_ = 0; // in the last run
    std::vector<Row> rows_;
};

void Benchmark::printTable() const {
    // Each row's cost per file against the reference's, so that runs on fewer files compare too.
    const Row& reference = row(referenceRow);
    const auto perFile = [](double seconds, std::size_t files) {
        return files > 0 ? seconds / files : 0.0;
    };
    std::printf("\nMedians; \"x ref\" is the cost per file against the %s\n", referenceRow);
    std::printf("%-34s %7s %4s %9s %9s %6s %9s %6s\n", "operation", "files", "runs", "wall (s)", "files/s", "x ref",
                "cpu (s)", "x ref");
    for (const Row& r : rows_) {
        std::printf("%-34s %7zu %4zu %9.3f %9.0f %6.2f %9.3f %6.2f\n", r.name.c_str(), r.files, r.samples.size(),
                    r.wall(), r.wall() > 0 ? r.files / r.wall() : 0.0,
                    perFile(r.wall(), r.files) / perFile(reference.wall(), reference.files), r.cpu(),
                    perFile(r.cpu(), r.files) / perFile(reference.cpu(), reference.files));
    }
    std::printf("(cross-device files hold 0 to 16 KiB, %zu bytes in all in the last run; each is copied and flushed)\n",
                crossDeviceBytes_);

    std::printf("\nRatios of medians                          wall    cpu   target\n");
    const auto line = [&](const char* name, std::string_view a, std::string_view b, double target) {
        const double wall = row(a).wall() / row(b).wall();
        const double cpu = row(a).cpu() / row(b).cpu();
        std::printf("  %-38s %6.3f %6.3f", name, wall, cpu);
        if (target > 0) {
            std::printf("  <= %.2f %s", target, wall <= target ? "met" : "MISSED");
        }
        std::printf("\n");
    };
    line("sort / reference (extension mode)", "sort, extension mode", referenceRow, 1.25);
    line("undo / reference (extension mode)", "undo, extension mode", referenceRow, 1.25);
    line("undo / reference back (extension mode)", "undo, extension mode", referenceBackRow, 1.25);
    line("sort / reference (category mode)", "sort, category mode", referenceRow, 1.25);
    line("undo / reference (category mode)", "undo, category mode", referenceRow, 1.25);
    line("undo / reference back (category mode)", "undo, category mode", "reference mover, by category, back", 1.25);
    line("sort, category / reference by category", "sort, category mode", "reference mover, by category", 0);
    line("category / extension (sort)", "sort, category mode", "sort, extension mode", 1.10);
    line("category / extension (undo)", "undo, category mode", "undo, extension mode", 1.10);
}

Options parse(int argc, char** argv) {
    Options options;
    takeOptions(argc, argv,
                {{"--files", &options.files},
                 {"--shell-files", &options.shellFiles},
                 {"--cross-device-files", &options.crossDeviceFiles},
                 {"--repeat", &options.repetitions},
                 {"--dir", &options.workParent},
                 {"--shm", &options.crossDeviceParent},
                 {"--seed", &options.seed}});
    options.repetitions = std::max<std::size_t>(1, options.repetitions);
    return options;
}

} // namespace
} // namespace foldwise::bench

int main(int argc, char** argv) {
    using namespace foldwise::bench;
    Options options;
    try {
        options = parse(argc, argv);
    } catch (const std::exception&) {
        std::fputs("usage: foldwise-bench-organizer [--files N] [--shell-files N] [--cross-device-files N]\n"
                   "                                [--repeat R] [--dir FOLDER] [--shm FOLDER] [--seed S]\n",
                   stderr);
        return 2;
    }
    try {
        Benchmark(options).run();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "foldwise-bench-organizer: %s\n", error.what());
        return 1;
    }
    return 0;
}
