#include "cli/JsonOutput.h"

#include "cli/Console.h"
#include "cli/NameText.h"

#include <QByteArray>
#include <QJsonDocument>

namespace foldwise {

void JsonOutput::putName(QJsonObject& object, const QString& key, std::string_view bytes) {
    const QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    object.insert(key, QString::fromUtf8(raw));
    if (!NameText::isValidUtf8(bytes)) {
        object.insert(key + QStringLiteral("Base64"), QString::fromLatin1(raw.toBase64()));
    }
}

void JsonOutput::print(const QJsonObject& document) {
    const QByteArray text = QJsonDocument(document).toJson(QJsonDocument::Indented);
    Console::printText(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
}

} // namespace foldwise
