#pragma once

#include "tests/support/TempFolder.h"

#include <filesystem>
#include <string>
#include <sys/types.h>

namespace foldwise::test {
namespace fs = std::filesystem;

// A file system mounted through FUSE in a temporary folder for as long as this lives: a fresh image
// formatted as FAT32 (fusefat), exFAT (exfat-fuse on a loop device) or NTFS (ntfs-3g), or bindfs
// showing a folder. The mounting tool runs in the foreground as a child of this process, so that an
// unmount waits until it has written the image and gone, and the same image can be mounted again.
// Every program runs from an argument list, with no shell to read a path.
class FuseMount {
public:
    enum class Format { Fat, ExFat, Ntfs, Bind };

    struct Options {
        bool windowsNames = false; // NTFS only: refuse the names Windows cannot open, as ntfs-3g can
        fs::path shown = {};       // Bind only: the folder to show
    };

    // What this machine lacks to mount `format` ("/dev/fuse", "the program fusefat", …), or "" when
    // nothing is missing. A test skips with it.
    static std::string missingFor(Format format);
    static std::string nameOf(Format format); // "Fat", "ExFat", "Ntfs", "Bind": for test names

    // Makes the image and mounts it; throws std::runtime_error, with the tool's own words, when it cannot.
    FuseMount(Format format, Options options);
    explicit FuseMount(Format format) : FuseMount(format, Options{}) {}
    ~FuseMount();
    FuseMount(const FuseMount&) = delete;
    FuseMount& operator=(const FuseMount&) = delete;

    // Where the file system is (an empty folder while unmounted).
    const fs::path& path() const { return mountPoint_; }

    void unmount(); // waits for the tool to end; for exFAT, detaches the loop device too
    void mount();   // the same image at the same place again

private:
    void makeImage();
    void startTool();
    void waitUntilMounted();

    TempFolder scratch_;
    Format format_;
    Options options_;
    fs::path image_;
    fs::path mountPoint_;
    fs::path log_;
    std::string loopDevice_;
    pid_t tool_ = -1;
};

} // namespace foldwise::test
