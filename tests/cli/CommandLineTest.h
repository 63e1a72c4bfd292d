#pragma once

#include "tests/cli/FoldwiseProcess.h"
#include "tests/engine/InputOutputFolders.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <set>
#include <string>
#include <tuple>

namespace foldwise::test {

// An input and an output folder and a history of their own (see InputOutputFolders), and the commands run
// on them through the built executable.
class CommandLineTest : public InputOutputFolders {
protected:
    static QJsonObject jsonOf(const Finished& finished) {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(finished.out), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << finished.out;
        return document.object();
    }

    // A name from the JSON output, exact: from its base64 field where it has one.
    static std::string nameIn(const QJsonObject& object, const QString& key) {
        const QJsonValue base64 = object.value(key + QStringLiteral("Base64"));
        if (base64.isString()) {
            return QByteArray::fromBase64(base64.toString().toLatin1()).toStdString();
        }
        return object.value(key).toString().toStdString();
    }

    // Each file of a JSON document's "files": its name, its sub-folder and its verdict ("" for a run).
    static std::set<std::tuple<std::string, std::string, std::string>> filesIn(const QJsonObject& document) {
        std::set<std::tuple<std::string, std::string, std::string>> files;
        for (const QJsonValue& file : document.value(QStringLiteral("files")).toArray()) {
            files.emplace(nameIn(file.toObject(), QStringLiteral("name")),
                          nameIn(file.toObject(), QStringLiteral("subFolder")),
                          file.toObject().value(QStringLiteral("verdict")).toString().toStdString());
        }
        return files;
    }

    // The files a plan would move, in the form filesIn gives a run's files.
    static std::set<std::tuple<std::string, std::string, std::string>> movesIn(const QJsonObject& plan) {
        std::set<std::tuple<std::string, std::string, std::string>> moves;
        for (const auto& [name, subFolder, verdict] : filesIn(plan)) {
            if (verdict == "move") {
                moves.emplace(name, subFolder, "");
            }
        }
        return moves;
    }

    static std::int64_t countIn(const QJsonObject& document, const char* key) {
        return document.value(QString::fromLatin1(key)).toInteger(-1);
    }
};

} // namespace foldwise::test
