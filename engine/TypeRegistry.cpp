#include "engine/TypeRegistry.h"

#include <QList>
#include <QMimeDatabase>
#include <QMimeType>
#include <QString>
#include <QStringList>

namespace foldwise {

namespace {

ContentType contentType(const QMimeType& type) {
    ContentType result{type.name().toStdString(), {}};
    const QStringList ancestors = type.allAncestors();
    result.lineage.reserve(static_cast<std::size_t>(ancestors.size()) + 1);
    result.lineage.push_back(result.name);
    for (const QString& ancestor : ancestors) {
        result.lineage.push_back(ancestor.toStdString());
    }
    return result;
}

} // namespace

std::vector<ContentType> TypeRegistry::typesForExtension(std::string_view extension) {
    if (extension.empty()) {
        return {};
    }
    // The extension is looked up alone, behind a neutral stem, so that only the database's
    // extension globs can match. QMimeDatabase serialises lookups internally: safe from any thread.
    const QString fileName =
        QStringLiteral("x.") + QString::fromUtf8(extension.data(), static_cast<qsizetype>(extension.size()));
    std::vector<ContentType> types;
    for (const QMimeType& type : QMimeDatabase().mimeTypesForFileName(fileName)) {
        if (type.isValid() && !type.isDefault()) {
            types.push_back(contentType(type));
        }
    }
    return types;
}

} // namespace foldwise
