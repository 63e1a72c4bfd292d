#pragma once

#include "tests/cli/FoldwiseProcess.h"
#include "tests/engine/InputOutputFolders.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <set>
#include <string>
#include <utility>

namespace foldwise::test {

// An input and an output folder and a history of their own (see InputOutputFolders), and the commands run
// on them through the built executable.
class CommandLineTest : public InputOutputFolders {
protected:
    using Files = std::set<std::pair<std::string, std::string>>;

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

    // The name and sub-folder of each file of a JSON document's "files": all of a run's, a plan's moves.
    static Files filesIn(const QJsonObject& document) {
        Files files;
        for (const QJsonValue& value : document.value(QStringLiteral("files")).toArray()) {
            const QJsonObject file = value.toObject();
            if (file.value(QStringLiteral("verdict")).toString(QStringLiteral("move")) == QStringLiteral("move")) {
                files.emplace(nameIn(file, QStringLiteral("name")), nameIn(file, QStringLiteral("subFolder")));
            }
        }
        return files;
    }

    static std::int64_t countIn(const QJsonObject& document, const char* key) {
        return document.value(QString::fromLatin1(key)).toInteger(-1);
    }
};

} // namespace foldwise::test
