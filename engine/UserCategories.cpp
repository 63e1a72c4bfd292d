#include "engine/UserCategories.h"

#include "engine/Categories.h"
#include "engine/FileError.h"
#include "engine/Lowercase.h"

#include <QStandardPaths>
#include <QString>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace foldwise {

namespace {

constexpr std::size_t kLongestFolder = 100; // bytes

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r';
    };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool isUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toUtf8() ==
           QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::string inQuotes(std::string_view text) {
    return "“" + std::string(text) + "”";
}

std::atomic<std::shared_ptr<const UserCategories>>& installedRules() {
    static std::atomic<std::shared_ptr<const UserCategories>> rules{std::make_shared<const UserCategories>()};
    return rules;
}

} // namespace

fs::path UserCategories::defaultFile() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return fs::path(config.toStdString()) / "Foldwise" / "categories.ini";
}

std::optional<std::string> UserCategories::folderProblem(std::string_view folder) {
    if (folder.empty()) {
        return "a folder name is missing";
    }
    if (folder == "." || folder == ".." || folder.find('/') != std::string_view::npos ||
        folder.find('\0') != std::string_view::npos || !isUtf8(folder)) {
        return inQuotes(folder) + " is not a folder name";
    }
    if (folder.size() > kLongestFolder) {
        return inQuotes(folder) + " is longer than " + std::to_string(kLongestFolder) + " bytes";
    }
    return std::nullopt;
}

std::string UserCategories::canonicalFolder(std::string_view folder) {
    const std::string lower = lowercased(folder);
    for (std::string_view category : kCategoryNames) {
        if (lowercased(category) == lower) {
            return std::string(category);
        }
    }
    return std::string(folder);
}

std::optional<std::string> UserCategories::canonicalExtension(std::string_view extension) {
    if (extension.starts_with('.')) {
        extension.remove_prefix(1);
    }
    const bool usable = !extension.empty() && isUtf8(extension) &&
                        std::ranges::none_of(extension, [](char c) { return c == '.' || c == '/' || c == ' '; });
    return usable ? std::optional(lowercased(extension)) : std::nullopt;
}

UserCategories UserCategories::load(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    std::string text;
    int error = fd < 0 ? errno : 0;
    char buffer[16384];
    while (fd >= 0 && error == 0) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            error = errno;
        }
    }
    if (fd >= 0) {
        ::close(fd);
    }
    if (error == ENOENT) {
        return {};
    }
    if (error != 0) {
        UserCategories none;
        none.problems_.push_back("Could not read " + inQuotes(file.string()) + ": " + std::strerror(error) +
                                 "; none of its rules apply.");
        return none;
    }
    return parse(text, file.filename().string());
}

UserCategories UserCategories::parse(std::string_view text, std::string_view fileName) {
    UserCategories result;
    if (text.find('\0') != std::string_view::npos || !isUtf8(text)) {
        result.problems_.push_back(std::string(fileName) + " is not a text file; none of its rules apply.");
        return result;
    }
    std::string section;
    int number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = trimmed(text.substr(start, end - start));
        start = end + 1;
        ++number;
        if (line.empty() || line.starts_with('#') || line.starts_with(';')) {
            continue;
        }
        if (line.starts_with('[') && line.ends_with(']')) {
            section = std::string(trimmed(line.substr(1, line.size() - 2)));
            continue;
        }
        if (!section.empty() && section != "Extensions") {
            continue; // another program's or a later version's section
        }
        const auto leftOut = [&](const std::string& why) {
            result.problems_.push_back(std::string(fileName) + ", line " + std::to_string(number) + ": " + why +
                                       "; the line is left out.");
        };
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            leftOut(inQuotes(line) + " is not an “extension = folder” line");
            continue;
        }
        if (section.empty()) {
            leftOut("it comes before the [Extensions] line");
            continue;
        }
        const std::string_view key = trimmed(line.substr(0, equals));
        std::string_view value = trimmed(line.substr(equals + 1));
        if (value.size() >= 2 && value.starts_with('"') && value.ends_with('"')) {
            value = value.substr(1, value.size() - 2);
        }
        const std::optional<std::string> extension = canonicalExtension(key);
        if (!extension) {
            leftOut(inQuotes(key) + " is not an extension");
            continue;
        }
        if (const std::optional<std::string> problem = folderProblem(value)) {
            leftOut(*problem);
            continue;
        }
        if (const auto earlier = result.byExtension_.find(*extension); earlier != result.byExtension_.end()) {
            leftOut(inQuotes(*extension) + " has a rule on line " +
                    std::to_string(result.rules_[earlier->second].line) + " already");
            continue;
        }
        result.byExtension_.emplace(*extension, result.rules_.size());
        result.rules_.push_back({*extension, canonicalFolder(value), number});
    }
    return result;
}

std::optional<std::string_view> UserCategories::folderFor(std::string_view extension) const {
    if (rules_.empty() || extension.empty()) {
        return std::nullopt;
    }
    const auto found = byExtension_.find(lowercased(extension));
    if (found == byExtension_.end()) {
        return std::nullopt;
    }
    return rules_[found->second].folder;
}

std::string UserCategories::withRules(std::string_view text, const std::vector<Rule>& rules) {
    std::string ruleLines;
    for (const Rule& rule : rules) {
        ruleLines += rule.extension + " = " + rule.folder + "\n";
    }
    std::string result;
    bool inSection = false;
    bool written = false;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        const std::string_view bare = trimmed(line);
        start = end + 1;
        const bool isHeader = bare.starts_with('[') && bare.ends_with(']');
        if (isHeader && inSection && !written) {
            result += ruleLines; // the section had no rules: they go at its end
            written = true;
        }
        if (isHeader) {
            inSection = trimmed(bare.substr(1, bare.size() - 2)) == "Extensions";
        }
        const bool isRule = inSection && !isHeader && bare.find('=') != std::string_view::npos &&
                            !bare.starts_with('#') && !bare.starts_with(';');
        if (isRule) {
            if (!written) {
                result += ruleLines; // in place of the first rule
                written = true;
            }
            continue;
        }
        result += std::string(line) + "\n";
    }
    if (!written) {
        if (!inSection) {
            result += result.empty() ? "[Extensions]\n" : "\n[Extensions]\n";
        }
        result += ruleLines;
    }
    return result;
}

void UserCategories::save(const fs::path& file, const std::vector<Rule>& rules) {
    const std::string shown = inQuotes(file.string());
    std::string oldText;
    if (std::ifstream old{file, std::ios::binary}) {
        oldText.assign(std::istreambuf_iterator<char>(old), {});
    }
    const std::string text = withRules(oldText, rules);

    std::error_code made;
    fs::create_directories(file.parent_path(), made);
    std::string temporary = (file.parent_path() / ("." + file.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        throw FileError::fromErrno("Could not save " + shown, errno);
    }
    const auto fail = [&](int error) {
        ::close(fd);
        ::unlink(temporary.c_str());
        throw FileError::fromErrno("Could not save " + shown, error);
    };
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno != EINTR) {
            fail(errno);
        }
        done += wrote > 0 ? static_cast<std::size_t>(wrote) : 0;
    }
    if (::fchmod(fd, 0644) != 0 || ::fsync(fd) != 0) {
        fail(errno);
    }
    if (::rename(temporary.c_str(), file.c_str()) != 0) {
        fail(errno);
    }
    ::close(fd);
    if (const int folder = ::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); folder >= 0) {
        ::fsync(folder); // the rename itself lasts
        ::close(folder);
    }
}

void UserCategories::install(UserCategories categories) {
    installedRules().store(std::make_shared<const UserCategories>(std::move(categories)));
}

std::shared_ptr<const UserCategories> UserCategories::installed() {
    return installedRules().load();
}

} // namespace foldwise
