#include "cli/CategoriesCommand.h"

#include "cli/Console.h"
#include "cli/NameText.h"
#include "cli/UsageError.h"
#include "engine/Categories.h"
#include "engine/CategoryOverrides.h"
#include "engine/FileSystem.h"
#include "engine/LinguistExtensions.h"
#include "engine/UserCategories.h"

#include <algorithm>

namespace foldwise {
namespace {

constexpr std::string_view kUsage = "Usage: foldwise categories [--explain FILE…]\n"
                                    "Lists your own rules (from categories.ini) and the built-in groups; with\n"
                                    "--explain, tells for each file the folder a sort by category puts it in, "
                                    "and why.\n"
                                    "  -h, --help  Shows this help and exits.\n";

std::string padded(std::string_view text, std::size_t width) {
    const std::size_t columns = NameText::columns(text);
    return std::string(text) + std::string(width > columns ? width - columns : 0, ' ');
}

void listRules() {
    const std::shared_ptr<const UserCategories> user = UserCategories::installed();
    Console::printLine("Your rules, from " + NameText::quotedPath(UserCategories::defaultFile()) + ":");
    if (user->rules().empty()) {
        Console::printLine("  none");
    }
    for (const UserCategories::Rule& rule : user->rules()) {
        Console::printLine("  " + padded(rule.extension, 12) + " → " + rule.folder);
    }
    Console::printLine("");
    Console::printLine("Built-in groups:");
    for (const CategoryOverride& group : categoryOverrides()) {
        const std::string_view category = group.category.empty() ? "(MIME type)" : group.category;
        Console::printLine("  " + padded(category, 12) + std::string(group.reason) + ": " +
                           std::string(group.extensions));
    }
    Console::printLine("  " + padded("Code", 12) + "programming and markup languages known to Linguist: " +
                       Console::number(static_cast<std::int64_t>(linguistExtensions().size())) +
                       " extensions (“foldwise categories --explain FILE” tells which)");
    Console::printLine("  " + padded("", 12) + "every other extension by its MIME type; none known: Other");
}

} // namespace

void CategoriesCommand::installUserCategories() {
    UserCategories categories = UserCategories::load(UserCategories::defaultFile());
    for (const std::string& problem : categories.problems()) {
        Console::printError("foldwise: " + problem);
    }
    UserCategories::install(std::move(categories));
}

ExitStatus CategoriesCommand::run(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        listRules();
        return ExitStatus::Success;
    }
    if (arguments.front() == "-h" || arguments.front() == "--help") {
        Console::printText(kUsage);
        return ExitStatus::Success;
    }
    if (arguments.front() != "--explain") {
        throw UsageError("unknown option “" + arguments.front() + "”");
    }
    if (arguments.size() < 2) {
        throw UsageError("--explain takes one or more files");
    }
    for (auto file = arguments.begin() + 1; file != arguments.end(); ++file) {
        const CategoryExplanation explained = explainCategory(FileSystem::pathExtension(*file));
        Console::printLine(NameText::quotedName(*file) + ": " + explained.category + ", " + explained.reason);
    }
    return ExitStatus::Success;
}

} // namespace foldwise
