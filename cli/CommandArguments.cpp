#include "cli/CommandArguments.h"

#include "cli/Console.h"
#include "cli/NameText.h"
#include "cli/UsageError.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace foldwise {
namespace {

// An argument as the parser sees it, and as errors quote it: its bytes that are not UTF-8 shown as \xNN, as
// names are everywhere, rather than replaced by U+FFFD.
QString decoded(const std::string& argument) {
    return QString::fromStdString(NameText::escaped(argument));
}

// The parser prints the description as it is given: wrapped here at 79 columns, as it wraps the options.
QString wrapped(const QString& text) {
    QString lines;
    qsizetype lineLength = 0;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (lineLength > 0 && lineLength + 1 + word.size() > 79) {
            lines += u'\n';
            lineLength = 0;
        } else if (lineLength > 0) {
            lines += u' ';
            ++lineLength;
        }
        lines += word;
        lineLength += word.size();
    }
    return lines;
}

} // namespace

CommandArguments::CommandArguments(const QString& usage, const QString& description)
    : help_({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help and exits.")),
      usage_(usage) {
    parser_.setApplicationDescription(wrapped(description));
    addOption(help_);
}

void CommandArguments::addOption(const QCommandLineOption& option) {
    parser_.addOption(option);
    options_.push_back(option);
}

void CommandArguments::addPositionalArgument(const QString& name, const QString& description) {
    parser_.addPositionalArgument(name, description);
}

bool CommandArguments::parse(const std::vector<std::string>& arguments) {
    QStringList decodedArguments{QStringLiteral("foldwise")}; // the parser skips the program's name
    for (const std::string& argument : arguments) {
        decodedArguments << decoded(argument);
    }
    if (!parser_.parse(decodedArguments)) {
        // The parser quotes as in "Unknown option 'x'."; every message of ours as in “x”.
        static const QRegularExpression quoted(QStringLiteral("'([^']*)'"));
        throw UsageError(parser_.errorText().replace(quoted, QStringLiteral("“\\1”")).toStdString());
    }
    if (parser_.isSet(help_)) {
        Console::printText(helpText().toStdString());
        return false;
    }
    positional_ = positionalBytes(arguments);
    const QStringList parsed = parser_.positionalArguments();
    const bool agrees = std::equal(positional_.begin(), positional_.end(), parsed.begin(), parsed.end(),
                                   [](const std::string& raw, const QString& text) { return decoded(raw) == text; });
    if (!agrees) {
        throw UsageError("the folders given could not be told apart from the options; put “--” before them");
    }
    return true;
}

const std::vector<std::string>& CommandArguments::positional(std::size_t most) const {
    if (positional_.size() > most) {
        throw UsageError("unexpected argument " + NameText::quotedPath(positional_[most]));
    }
    return positional_;
}

QString CommandArguments::helpText() const {
    // The parser's own first line names the executable as it was started; ours names the command.
    const QString text = parser_.helpText();
    return QStringLiteral("Usage: foldwise ") + usage_ + text.mid(text.indexOf(u'\n'));
}

// The entries of argv that the parser takes as positional arguments, walked by the parser's own rules:
// "--" ends the options, "--name=value" carries its value, "--name value" and "-n value" take the next
// entry when the option has a value, "-abc" is three short options, and "-" alone is an argument.
std::vector<std::string> CommandArguments::positionalBytes(const std::vector<std::string>& arguments) const {
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            positional.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument.starts_with("--")) {
            const std::string name = argument.substr(2, argument.find('=') - 2);
            if (argument.find('=') == std::string::npos && takesValue(decoded(name))) {
                ++index;
            }
        } else {
            for (std::size_t letter = 1; letter < argument.size(); ++letter) {
                if (takesValue(decoded(argument.substr(letter, 1)))) {
                    index += letter + 1 == argument.size() ? 1 : 0; // "-n5" carries its value, "-n 5" does not
                    break;
                }
            }
        }
    }
    return positional;
}

bool CommandArguments::takesValue(const QString& name) const {
    return std::any_of(options_.begin(), options_.end(), [&](const QCommandLineOption& option) {
        return !option.valueName().isEmpty() && option.names().contains(name);
    });
}

QCommandLineOption CommandArguments::byOption() {
    return QCommandLineOption(QStringLiteral("by"),
                              QStringLiteral("Name the sub-folders after each file's category (Images, Documents …) "
                                             "or its lowercased extension."),
                              QStringLiteral("category|extension"));
}

QCommandLineOption CommandArguments::ifTakenOption() {
    return QCommandLineOption(QStringLiteral("if-taken"),
                              QStringLiteral("When a file's name is taken in its sub-folder, leave the file where it "
                                             "is, or keep both: move it under the first free name, as "
                                             "“report (2).pdf”."),
                              QStringLiteral("leave|keep-both"));
}

} // namespace foldwise
