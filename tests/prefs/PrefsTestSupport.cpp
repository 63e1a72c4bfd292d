#include "tests/prefs/PrefsTestSupport.h"

#include <QSettings>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

namespace foldwise::test {

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "foldwise-prefs-XXXXXX").native();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

fs::path TempFolder::makeFolder(const fs::path& name) const {
    fs::create_directories(path_ / name);
    return path_ / name;
}

namespace {

// Points file descriptor 1 at `file` until destroyed.
class StdoutRedirect {
public:
    explicit StdoutRedirect(const fs::path& file) : saved_(::dup(STDOUT_FILENO)) {
        std::fflush(stdout);
        const int capture = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        ::dup2(capture, STDOUT_FILENO);
        ::close(capture);
    }
    ~StdoutRedirect() {
        std::fflush(stdout);
        ::dup2(saved_, STDOUT_FILENO);
        ::close(saved_);
    }
    StdoutRedirect(const StdoutRedirect&) = delete;
    StdoutRedirect& operator=(const StdoutRedirect&) = delete;

private:
    int saved_;
};

} // namespace

std::string capturedStdout(const std::function<void()>& action) {
    const TempFolder folder;
    const fs::path file = folder.path() / "stdout";
    {
        const StdoutRedirect redirect(file);
        action();
    }
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void clearPreferences() {
    QSettings settings(QStringLiteral("Foldwise"), QStringLiteral("Foldwise"));
    settings.clear();
    settings.sync();
}

fs::path preferencesFile() {
    return fs::path(std::getenv("XDG_CONFIG_HOME")) / "Foldwise" / "Foldwise.conf";
}

UnwritablePreferences::UnwritablePreferences()
    : folder_(preferencesFile().parent_path()), aside_(folder_.native() + ".aside") {
    fs::create_directories(folder_);
    fs::rename(folder_, aside_);
    std::ofstream(folder_) << "not a folder";
}

UnwritablePreferences::~UnwritablePreferences() {
    fs::remove(folder_);
    fs::rename(aside_, folder_);
}

} // namespace foldwise::test
