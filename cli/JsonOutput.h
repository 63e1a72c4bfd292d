#pragma once

#include <QJsonObject>
#include <QString>

#include <string_view>

namespace foldwise {

// The one JSON document a command prints with --json.
class JsonOutput {
public:
    JsonOutput() = delete;

    // Sets `key` to the name as text; a name that is not valid UTF-8 shows U+FFFD there, and its exact
    // bytes in base64 under `key` + "Base64" (e.g. "name" and "nameBase64").
    static void putName(QJsonObject& object, const QString& key, std::string_view bytes);

    // Prints the document to standard output.
    static void print(const QJsonObject& document);
};

} // namespace foldwise
