#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>

#include <string>
#include <vector>

namespace foldwise {

// The arguments of one command (`foldwise sort …`), read by its own QCommandLineParser. The folders among
// them keep the exact bytes they were given: a name that is not valid UTF-8 does not survive a trip
// through QString, so each positional argument is taken from argv itself.
class CommandArguments {
public:
    // `usage` follows "Usage: foldwise": e.g. "sort [INPUT OUTPUT] [options]".
    CommandArguments(const QString& usage, const QString& description);

    void addOption(const QCommandLineOption& option);
    void addPositionalArgument(const QString& name, const QString& description);

    // Reads `arguments` (argv after the command's own word). Returns false when --help was asked for and
    // the help is printed; throws UsageError when the arguments are wrong.
    bool parse(const std::vector<std::string>& arguments);

    bool isSet(const QCommandLineOption& option) const { return parser_.isSet(option); }
    QString value(const QCommandLineOption& option) const { return parser_.value(option); }
    // The positional arguments, as bytes; throws UsageError when there are more than `most`.
    const std::vector<std::string>& positional(std::size_t most) const;

    QString helpText() const;

    // --by category|extension, as sort and watch take it.
    static QCommandLineOption byOption();
    // --if-taken leave|keep-both, as sort and watch take it.
    static QCommandLineOption ifTakenOption();

private:
    std::vector<std::string> positionalBytes(const std::vector<std::string>& arguments) const;
    bool takesValue(const QString& name) const;

    QCommandLineParser parser_;
    QCommandLineOption help_;
    QString usage_;
    std::vector<QCommandLineOption> options_;
    std::vector<std::string> positional_;
};

} // namespace foldwise
