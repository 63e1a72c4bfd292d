#include "tests/support/FuseMount.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace foldwise::test {

namespace {

using namespace std::chrono_literals;

// The full path of `program` in PATH, or in the system folders that a user's PATH may leave out.
std::string programPath(const std::string& program) {
    std::string folders = std::getenv("PATH") ? std::getenv("PATH") : "";
    folders += ":/usr/sbin:/sbin:/usr/bin:/bin";
    for (size_t start = 0; start <= folders.size();) {
        const size_t end = std::min(folders.find(':', start), folders.size());
        const fs::path candidate = fs::path(folders.substr(start, end - start)) / program;
        if (end > start && ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return {};
}

std::vector<std::string> toolsFor(FuseMount::Format format) {
    switch (format) {
    case FuseMount::Format::Fat:
        return {"mkfs.fat", "fusefat"};
    case FuseMount::Format::ExFat:
        return {"mkfs.exfat", "losetup", "mount.exfat-fuse"};
    case FuseMount::Format::Ntfs:
        return {"mkntfs", "ntfs-3g"};
    case FuseMount::Format::Bind:
        return {"bindfs"};
    }
    return {};
}

// Starts `arguments` with its output going to the file `output`; returns the child's id.
pid_t start(const std::vector<std::string>& arguments, const fs::path& output) {
    const std::string program = programPath(arguments.front());
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t child = -1;
    const int error = ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        throw std::runtime_error("could not start " + arguments.front());
    }
    return child;
}

int exitCodeOf(pid_t child) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs `arguments` to its end; returns its exit code and leaves what it printed in `output`.
int run(const std::vector<std::string>& arguments, const fs::path& log, std::string& output) {
    const int code = exitCodeOf(start(arguments, log));
    output = readFile(log);
    return code;
}

void runOrThrow(const std::vector<std::string>& arguments, const fs::path& log) {
    std::string output;
    if (run(arguments, log, output) != 0) {
        throw std::runtime_error(arguments.front() + " failed: " + output);
    }
}

dev_t deviceOf(const fs::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_dev : 0;
}

} // namespace

std::string FuseMount::nameOf(Format format) {
    switch (format) {
    case Format::Fat:
        return "Fat";
    case Format::ExFat:
        return "ExFat";
    case Format::Ntfs:
        return "Ntfs";
    case Format::Bind:
        break;
    }
    return "Bind";
}

std::string FuseMount::missingFor(Format format) {
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        return "/dev/fuse is missing or cannot be opened here";
    }
    if (format == Format::ExFat && ::access("/dev/loop-control", R_OK | W_OK) != 0) {
        return "loop devices are missing here (/dev/loop-control)";
    }
    std::vector<std::string> tools = toolsFor(format);
    tools.push_back("fusermount");
    for (const std::string& tool : tools) {
        if (programPath(tool).empty()) {
            return "the program " + tool + " is not installed";
        }
    }
    return {};
}

FuseMount::FuseMount(Format format, Options options)
    : format_(format), options_(std::move(options)), image_(scratch_ / "volume.img"),
      mountPoint_(makeFolder(scratch_ / "mount")), log_(scratch_ / "tool.log") {
    makeImage();
    mount();
}

FuseMount::~FuseMount() {
    try {
        unmount();
    } catch (...) {
        // The scratch folder's removal says what is left.
    }
}

void FuseMount::makeImage() {
    if (format_ == Format::Bind) {
        return;
    }
    // Sparse: only what the format writes takes room.
    { std::ofstream(image_, std::ios::binary); }
    fs::resize_file(image_, std::uintmax_t{64} << 20);
    switch (format_) {
    case Format::Fat:
        runOrThrow({"mkfs.fat", "-F", "32", image_}, log_);
        break;
    case Format::ExFat:
        runOrThrow({"mkfs.exfat", image_}, log_);
        break;
    case Format::Ntfs:
        runOrThrow({"mkntfs", "-F", "-Q", image_}, log_);
        break;
    case Format::Bind:
        break;
    }
}

void FuseMount::mount() {
    if (tool_ > 0) {
        return;
    }
    startTool();
    waitUntilMounted();
}

// Each tool is asked to stay in the foreground: -f, or its own spelling of it.
void FuseMount::startTool() {
    switch (format_) {
    case Format::Fat:
        tool_ = start({"fusefat", "-f", "-o", "rw+", image_, mountPoint_}, log_);
        break;
    case Format::ExFat: {
        // exfat-fuse wants a block device, not an image file.
        std::string device;
        if (run({"losetup", "-f", "--show", image_}, log_, device) != 0) {
            throw std::runtime_error("losetup failed: " + device);
        }
        loopDevice_ = device.substr(0, device.find('\n'));
        tool_ = start({"mount.exfat-fuse", "-d", loopDevice_, mountPoint_}, log_); // -d: debug, in the foreground
        break;
    }
    case Format::Ntfs:
        tool_ = start(
            {"ntfs-3g", "-o", options_.windowsNames ? "no_detach,windows_names" : "no_detach", image_, mountPoint_},
            log_);
        break;
    case Format::Bind:
        tool_ = start({"bindfs", "-f", options_.shown, mountPoint_}, log_);
        break;
    }
}

// Mounted once the mount point lies on a device of its own; a tool that ends first has failed.
void FuseMount::waitUntilMounted() {
    const dev_t unmounted = deviceOf(scratch_.path());
    for (int attempt = 0; attempt < 2000; ++attempt) {
        if (deviceOf(mountPoint_) != unmounted) {
            return;
        }
        int status = 0;
        if (::waitpid(tool_, &status, WNOHANG) == tool_) {
            tool_ = -1;
            if (!loopDevice_.empty()) {
                std::string ignored;
                run({"losetup", "-d", loopDevice_}, scratch_ / "losetup.log", ignored);
                loopDevice_.clear();
            }
            throw std::runtime_error("could not mount " + mountPoint_.string() + ": " + readFile(log_));
        }
        std::this_thread::sleep_for(5ms);
    }
    throw std::runtime_error("the mount at " + mountPoint_.string() + " never appeared");
}

void FuseMount::unmount() {
    if (tool_ <= 0) {
        return;
    }
    // A file still open here, by this test or the kernel's last writes, keeps it busy for a moment.
    std::string output;
    for (int attempt = 0; run({"fusermount", "-u", mountPoint_}, scratch_ / "fusermount.log", output) != 0; ++attempt) {
        if (attempt == 100) {
            ::kill(tool_, SIGTERM);
            break;
        }
        std::this_thread::sleep_for(50ms);
    }
    exitCodeOf(std::exchange(tool_, -1));
    if (!loopDevice_.empty()) {
        runOrThrow({"losetup", "-d", std::exchange(loopDevice_, {})}, scratch_ / "losetup.log");
    }
}

} // namespace foldwise::test
